// Light samples, shadows, irradiance and the environment. Expected values
// are hand-derived from the inverse-square law, the geometry of the ball
// on the ground, and E = pi * L for a constant environment.

#include <cmath>

#include <gtest/gtest.h>

#include "kernel/environment.h"
#include "kernel/lights.h"
#include "kernel/scene.h"
#include "kernel/shadingServices.h"
#include "testing/placeholderShader.h"

namespace fp = flakecoat::preview;

namespace {

constexpr float kPi = 3.14159265358979f;

fp::Light point(const fp::Vec3& position, float intensity) {
    fp::Light light;
    light.position = position;
    light.intensity = intensity;
    return light;
}

// A constant environment of radiance L: a 2 x 1 image of one colour.
fp::Environment constantEnvironment(float L) {
    fp::LatLongImage image;
    image.width = 2;
    image.height = 1;
    image.rgb.assign(6, L);
    return fp::Environment(image);
}

// Services for a scene outside a render (the worker is never reached
// unless a traced ray hits the ball).
struct ServicesFixture {
    explicit ServicesFixture(fp::Scene s) : scene(std::move(s)), worker(shader.makeWorker()) {}
    fp::ShadingServices services() { return fp::ShadingServices(scene, *worker, random); }
    fp::Scene scene;
    fp::testing::PlaceholderShader shader;
    std::unique_ptr<fp::SurfaceWorker> worker;
    fp::SampleRandom random{1, 0, 0};
};

}  // namespace

TEST(LightSample, PointFallsOffWithTheSquareOfTheDistance) {
    const fp::LightSample sample = fp::sampleLight(point({0, 3, 0}, 9.0f), {0, 0, 0}, 0.5f, 0.5f);
    EXPECT_EQ(sample.towardsLight, fp::Vec3(0, 1, 0));
    EXPECT_FLOAT_EQ(sample.distance, 3.0f);
    EXPECT_FLOAT_EQ(sample.intensity.x, 1.0f);  // 9 / 3^2
}

TEST(LightSample, DirectionalPointsAgainstItsTravelAndDoesNotFallOff) {
    fp::Light sun;
    sun.kind = fp::LightKind::Directional;
    sun.direction = {0, -2, 0};
    sun.intensity = 0.7f;
    const fp::LightSample sample = fp::sampleLight(sun, {100, 0, 0}, 0.5f, 0.5f);
    EXPECT_EQ(sample.towardsLight, fp::Vec3(0, 1, 0));
    EXPECT_TRUE(std::isinf(sample.distance));
    EXPECT_FLOAT_EQ(sample.intensity.y, 0.7f);
}

TEST(LightSample, AreaIsOneSidedAndWeightedByItsCosine) {
    fp::Light panel;
    panel.kind = fp::LightKind::Area;
    panel.position = {0, 2, 0};
    panel.edgeU = {1, 0, 0};
    panel.edgeV = {0, 0, -1};  // cross(edgeU, edgeV) = (0, 1, 0): emits upwards
    panel.intensity = 8.0f;
    panel.samples = 9;
    EXPECT_EQ(fp::lightSampleCount(panel), 9);
    // Below it: behind the emitting side, nothing.
    EXPECT_EQ(fp::sampleLight(panel, {0, 0, 0}, 0.5f, 0.5f).intensity, fp::Color());
    // Above its centre at distance 2: 8 / 2^2 with cosine 1.
    const fp::LightSample above = fp::sampleLight(panel, {0, 4, 0}, 0.5f, 0.5f);
    EXPECT_FLOAT_EQ(above.intensity.x, 2.0f);
    // The corner (su, sv) = (0, 0) is at (-0.5, 2, 0.5).
    const fp::LightSample corner = fp::sampleLight(panel, {0, 4, 0}, 0.0f, 0.0f);
    const float d2 = 0.25f + 4.0f + 0.25f;
    EXPECT_NEAR(corner.intensity.x, 8.0f * (2.0f / std::sqrt(d2)) / d2, 1e-5f);
}

TEST(LightSample, CountsPerKind) {
    fp::Light light;
    EXPECT_EQ(fp::lightSampleCount(light), 1);
    light.kind = fp::LightKind::Directional;
    EXPECT_EQ(fp::lightSampleCount(light), 1);
    light.kind = fp::LightKind::Ambient;
    EXPECT_EQ(fp::lightSampleCount(light), 0);
}

TEST(Shadows, TheBallShadowsTheGroundBelowIt) {
    ServicesFixture fixture(fp::shaderBallScene(1.0f, {point({0, 6, 0}, 36.0f), point({4, 6, 0}, 36.0f)},
                                                fp::Environment()));
    fp::ShadingServices services = fixture.services();
    const fp::Vec3 up(0, 1, 0);
    // The contact point under a light straight above the ball is shadowed.
    const fp::ShadowedLightSample below = services.sampleShadowedLight(0, {0, 0, 0}, up, 0, 1);
    EXPECT_TRUE(below.shadowed);
    EXPECT_EQ(below.light.intensity, fp::Color());
    // The point under the second light, four units aside, is lit: 36 / 6^2.
    const fp::ShadowedLightSample aside = services.sampleShadowedLight(1, {4, 0, 0}, up, 0, 1);
    EXPECT_FALSE(aside.shadowed);
    EXPECT_FLOAT_EQ(aside.light.intensity.x, 1.0f);
    // The ball's top does not shadow itself.
    EXPECT_FALSE(services.sampleShadowedLight(0, {0, 2, 0}, up, 0, 1).shadowed);
}

TEST(Shadows, AnAreaLightHalfHiddenGivesAPenumbra) {
    fp::Light panel;
    panel.kind = fp::LightKind::Area;
    panel.position = {0, 6, 0};
    panel.edgeU = {6, 0, 0};
    panel.edgeV = {0, 0, 6};  // emits downwards
    panel.intensity = 36.0f;
    panel.samples = 64;
    ServicesFixture fixture(fp::shaderBallScene(1.0f, {panel}, fp::Environment()));
    fp::ShadingServices services = fixture.services();
    // At the edge of the umbra part of the light is seen: strictly between
    // fully shadowed and fully lit.
    const float lit = fp::sampleLight(panel, {1.4f, 0, 0}, 0.5f, 0.5f).intensity.x;
    const float seen = services.averagedLight(0, {1.4f, 0, 0}, {0, 1, 0}).intensity.x;
    EXPECT_GT(seen, 0.05f * lit);
    EXPECT_LT(seen, 0.95f * lit);
    // The averaged element points at the panel's centre.
    const fp::LightSample element = services.averagedLight(0, {0, 0, 3}, {0, 1, 0});
    EXPECT_NEAR(element.towardsLight.y, 6.0f / std::sqrt(45.0f), 1e-5f);
}

TEST(Irradiance, ConstantSkyGivesPiTimesRadianceUnlessBlocked) {
    fp::Scene open = fp::shaderBallScene(1.0f, {}, constantEnvironment(0.5f));
    open.hasGround = false;
    open.ball.center = {0, -100, 0};  // out of sight of the upper hemisphere
    ServicesFixture clear(std::move(open));
    fp::ShadingServices services = clear.services();
    EXPECT_NEAR(services.irradiance({0, 0, 0}, {0, 1, 0}, 16).x, kPi * 0.5f, 1e-5f);

    // At the ball's contact point every upward direction meets the ball.
    ServicesFixture contact(fp::shaderBallScene(1.0f, {}, constantEnvironment(0.5f)));
    fp::ShadingServices contactServices = contact.services();
    EXPECT_EQ(contactServices.irradiance({0, 0, 0}, {0, 1, 0}, 16), fp::Color());
    // Far from the ball almost nothing is blocked.
    EXPECT_NEAR(contactServices.irradiance({60, 0, 0}, {0, 1, 0}, 64).x, kPi * 0.5f, 0.02f);
}

TEST(Environment, SkyIsContinuousAtTheHorizonAndBrighterThere) {
    const fp::Environment sky;
    const fp::Color above = sky.lookup(fp::normalize({0, 1e-4f, 1}));
    const fp::Color below = sky.lookup(fp::normalize({0, -1e-4f, 1}));
    EXPECT_NEAR(above.x, below.x, 0.01f);
    EXPECT_NEAR(above.z, below.z, 0.01f);
    const fp::Color zenith = sky.lookup({0, 1, 0});
    EXPECT_GT(zenith.z, zenith.x);  // blue overhead
    EXPECT_GT(above.x, zenith.x);   // paler at the horizon
}

TEST(Environment, LatLongLookupIsBilinearAndWrapsInLongitude) {
    // 4 x 2 image; red = column, green = row.
    fp::LatLongImage image;
    image.width = 4;
    image.height = 2;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) image.rgb.insert(image.rgb.end(), {float(x), float(y), 1.0f});
    const fp::Environment environment(image);
    // Along +z: u = 0.5, v = 0.5, halfway between columns 1 and 2 and rows 0 and 1.
    fp::Color c = environment.lookup({0, 0, 1});
    EXPECT_FLOAT_EQ(c.x, 1.5f);
    EXPECT_FLOAT_EQ(c.y, 0.5f);
    // Straight up: the top row.
    c = environment.lookup({0, 1, 0});
    EXPECT_FLOAT_EQ(c.y, 0.0f);
    // Along -z (u = 1): halfway between the last column and the first.
    c = environment.lookup({0, 0, -1});
    EXPECT_FLOAT_EQ(c.x, 1.5f);  // (3 + 0) / 2
    // Along +x (u = 0.75): pixel coordinate 2.5, halfway between 2 and 3.
    c = environment.lookup({1, 0, 0});
    EXPECT_NEAR(c.x, 2.5f, 1e-5f);
}
