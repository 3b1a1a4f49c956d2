// What the mental ray stand-in renderer fills in for a sample on the ball and
// how it answers the renderer functions, seen by a probe shader library
// loaded under tarn_flakeCoat's exports. Expected values come from the
// scene's geometry, worked out by hand in the comments.

#include <dlfcn.h>

#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "kernel/shadingServices.h"
#include "kernel/shapes.h"
#include "mentalray/declaredInputs.h"
#include "mentalray/mentalrayAdapter.h"
#include "mentalrayProbe.h"

namespace fp = flakecoat::preview;

namespace {

constexpr float kPi = 3.14159265358979f;

// Ball at (0, 1, 0), radius 1, on the ground y = 0; the eye at (0, 1, 5).
// Lights: 0 a point light 3 in front of the ball's front point (0, 1, 1);
// 1 an ambient light; 2 a 1 x 1 panel 5 in front of that point, facing it.
fp::Scene probeScene(fp::Environment environment = fp::Environment()) {
    fp::Light point;
    point.position = {0, 1, 4};
    point.intensity = 9.0f;  // 1 at distance 3
    fp::Light ambient;
    ambient.kind = fp::LightKind::Ambient;
    fp::Light panel;
    panel.kind = fp::LightKind::Area;
    panel.position = {0, 1, 6};
    panel.edgeU = {1, 0, 0};
    panel.edgeV = {0, -1, 0};  // cross(edgeU, edgeV) = (0, 0, -1): towards the ball
    panel.intensity = 25.0f;   // 1 at distance 5 head-on
    panel.samples = 4;
    return fp::Scene{fp::Camera({0, 1, 5}, {0, 1, 0}, {0, 1, 0}, 30.0f, 1.0f),
                     fp::Sphere{{0, 1, 0}, 1.0f},
                     true,
                     fp::Plane{},
                     {point, ambient, panel},
                     std::move(environment),
                     nullptr,
                     fp::kRayEpsilon,
                     1.0f,
                     {},
                     false};
}

class MentalrayAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        host = fp::mentalray::loadMentalrayHostFrom(PROBE_SHADER_PATH, RENDERER_MODULE_PATH, DECLARATION_PATH, error);
        ASSERT_TRUE(host) << error;
        void* library = dlopen(PROBE_SHADER_PATH, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_TRUE(library);
        record = reinterpret_cast<ProbeRecordFunction>(dlsym(library, "probeRecord"))();
        dlclose(library);
        *record = ProbeRecord();
    }

    // Shades the ball where the ray meets it, at the given depth.
    fp::TraceResult shadeAlong(const fp::Scene& scene, const fp::Ray& ray, int depth = 0) {
        const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(scene, look);
        std::unique_ptr<fp::SurfaceWorker> worker = shader->makeWorker();
        fp::SampleRandom random(1, 0, 0);
        fp::ShadingServices services(scene, *worker, random);
        return services.trace(ray, depth);
    }

    std::unique_ptr<fp::RenderHost> host;
    fp::Look look;
    ProbeRecord* record = nullptr;
};

void expectVector(const miVector& actual, const fp::Vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace

TEST_F(MentalrayAdapter, EyeRayStateIsInWorldSpaceWithTheBallsUv) {
    const fp::Scene scene = probeScene();
    const fp::TraceResult traced = shadeAlong(scene, fp::Ray{{0, 1, 5}, {0, 0, -1}});
    ASSERT_TRUE(traced.hitPainted);
    const ProbeCall& call = record->level[0];
    ASSERT_EQ(call.calls, 1);
    expectVector(call.state.org, {0, 1, 5});
    expectVector(call.state.dir, {0, 0, -1});  // towards the surface
    expectVector(call.state.point, {0, 1, 1});
    EXPECT_NEAR(call.state.dist, 4.0f, 1e-5f);
    expectVector(call.state.normal, {0, 0, 1});  // outward, facing the ray
    expectVector(call.state.normal_geom, {0, 0, 1});
    EXPECT_EQ(call.state.reflection_level, 0);
    // The front of the ball: u 0.5, on the equator: v 0.5.
    EXPECT_NEAR(call.texture0.x, 0.5f, 1e-6f);
    EXPECT_NEAR(call.texture0.y, 0.5f, 1e-6f);
    // The probe's (u, v, level) came back as the sample's colour.
    EXPECT_NEAR(traced.color.x, 0.5f, 1e-6f);
    EXPECT_EQ(traced.color.z, 0.0f);
}

TEST_F(MentalrayAdapter, LightListSkipsAmbientAndSamplesPerKind) {
    shadeAlong(probeScene(), fp::Ray{{0, 1, 5}, {0, 0, -1}});
    const ProbeCall& call = record->level[0];
    // Tags are light index + 1; the ambient light (index 1) has none.
    ASSERT_EQ(call.parameters.n_light, 2);
    EXPECT_EQ(call.lightTags[0], 1u);
    EXPECT_EQ(call.lightTags[1], 3u);
    // The point light: one sample of 9 / 3^2 = 1, straight ahead.
    EXPECT_EQ(call.lightSamples[0], 1);
    EXPECT_NEAR(call.lightColourSum[0].r, 1.0f, 1e-5f);
    expectVector(call.lightDirection[0], {0, 0, 1});
    // The panel: four samples, each 25 cos / d^2 with d^2 from 25 to 25.5,
    // so each between 25 * 5 / 25.5^1.5 = 0.9707 and 1.
    EXPECT_EQ(call.lightSamples[1], 4);
    EXPECT_GT(call.lightColourSum[1].g, 4 * 0.9707f);
    EXPECT_LE(call.lightColourSum[1].g, 4.0f);
}

TEST_F(MentalrayAdapter, LightsBehindOrShadowedGiveNothing) {
    // The ball's back (0, 1, -1), reached from behind: both lights are in
    // front of the ball, so behind this point's surface.
    shadeAlong(probeScene(), fp::Ray{{0, 1, -5}, {0, 0, 1}});
    const ProbeCall& call = record->level[0];
    expectVector(call.state.normal, {0, 0, -1});
    EXPECT_EQ(call.lightSamples[0], 0);  // a point light behind: no sample
    EXPECT_EQ(call.lightSamples[1], 4);  // an area light's samples all count, black
    EXPECT_EQ(call.lightColourSum[1].r, 0.0f);
}

TEST_F(MentalrayAdapter, ReflectionMissFallsBackToTheEnvironment) {
    const fp::Scene scene = probeScene();
    shadeAlong(scene, fp::Ray{{0, 1, 5}, {0, 0, -1}});
    const ProbeCall& call = record->level[0];
    // Straight back out towards the eye: nothing there.
    expectVector(call.reflectionDirection, {0, 0, 1});
    EXPECT_FALSE(call.reflected);
    EXPECT_TRUE(call.environmentFound);
    const fp::Color sky = scene.environment.lookup({0, 0, 1});
    EXPECT_FLOAT_EQ(call.environmentColour.r, sky.x);
    EXPECT_FLOAT_EQ(call.environmentColour.b, sky.z);
}

TEST_F(MentalrayAdapter, ReflectionTowardsTheGroundHitsUpToTheDepthLimit) {
    // The point 45 degrees below the front, p = (0, 1 - s, s) with
    // s = sqrt(1/2): seen from the eye its mirror ray heads down.
    const float s = std::sqrt(0.5f);
    const fp::Vec3 p(0, 1 - s, s);
    const fp::Vec3 eye(0, 1, 5);
    const fp::Ray ray{eye, fp::normalize(p - eye)};
    shadeAlong(probeScene(), ray);
    ProbeCall call = record->level[0];
    expectVector(call.state.point, p, 1e-4f);
    EXPECT_LT(call.reflectionDirection.y, 0.0f);
    EXPECT_TRUE(call.reflected);
    EXPECT_GT(call.reflectionColour.r, 0.0f);  // the lit grey floor

    // At the renderer's reflection limit the same trace is refused.
    shadeAlong(probeScene(), ray, fp::mentalray::kMaxReflectionLevel);
    call = record->level[fp::mentalray::kMaxReflectionLevel];
    EXPECT_EQ(call.state.reflection_level, fp::mentalray::kMaxReflectionLevel);
    EXPECT_FALSE(call.reflected);
    EXPECT_TRUE(call.environmentFound);
}

TEST_F(MentalrayAdapter, IrradianceOfAConstantSkyIsPiTimesItsRadiance) {
    fp::LatLongImage grey;
    grey.width = 2;
    grey.height = 1;
    grey.rgb.assign(6, 0.5f);
    const fp::Scene scene = probeScene(fp::Environment(grey));
    // The ball's top faces an open sky: E = pi * 0.5 exactly.
    shadeAlong(scene, fp::Ray{{0, 5, 0}, {0, -1, 0}});
    const ProbeCall& call = record->level[0];
    EXPECT_TRUE(call.irradianceFound);
    EXPECT_NEAR(call.irradiance.r, kPi * 0.5f, 1e-5f);
}

TEST_F(MentalrayAdapter, SettingsLandInTheParameterBlockByDeclaredName) {
    auto find = [&](const std::string& name) { return fp::findInput(host->inputs(), name); };
    ASSERT_TRUE(find("color"));
    EXPECT_EQ(find("color")->arity, 3);
    ASSERT_TRUE(find("seed"));
    EXPECT_EQ(find("seed")->kind, fp::ValueKind::Integer);
    ASSERT_TRUE(find("useIrradiance"));
    EXPECT_EQ(find("useIrradiance")->kind, fp::ValueKind::Boolean);
    EXPECT_FALSE(find("light"));  // the light list is the renderer's

    look = host->look();
    std::string error;
    for (const char* text : {"diffuse=0.25", "color=0.1,0.2,0.3", "seed=7", "useIrradiance=on", "specularColor=0,0.5,1"})
        ASSERT_TRUE(look.set(text, error)) << error;
    shadeAlong(probeScene(), fp::Ray{{0, 1, 5}, {0, 0, -1}});
    const flakeCoatParameters& p = record->level[0].parameters;
    EXPECT_EQ(p.diffuse, 0.25f);
    EXPECT_EQ(p.color.r, 0.1f);
    EXPECT_EQ(p.color.b, 0.3f);
    EXPECT_EQ(p.color.a, 1.0f);  // alpha untouched
    EXPECT_EQ(p.seed, 7);
    EXPECT_NE(p.useIrradiance, 0);
    EXPECT_EQ(p.specularColor.g, 0.5f);
    EXPECT_EQ(p.specularMin, 50.0f);  // the rest keeps the declared defaults
}

TEST(MentalrayDeclaration, UnreadableOrForeignDeclarationsAreRefused) {
    const std::string path = testing::TempDir() + "flakecoat-bad.mi";
    std::string error;
    std::ofstream(path) << "declare shader color \"tarn_flakeCoat\" (\n  colour \"c\" default 1 1 1\n)\nend declare\n";
    EXPECT_FALSE(fp::mentalray::loadMentalrayHostFrom(PROBE_SHADER_PATH, RENDERER_MODULE_PATH, path, error));
    EXPECT_NE(error.find(path + ":2: unknown parameter type 'colour'"), std::string::npos) << error;

    // Without the light array the scene's lights have nowhere to go.
    std::ofstream(path) << "declare shader color \"tarn_flakeCoat\" (\n  scalar \"x\" default 1\n)\nend declare\n";
    EXPECT_FALSE(fp::mentalray::loadMentalrayHostFrom(PROBE_SHADER_PATH, RENDERER_MODULE_PATH, path, error));
    EXPECT_NE(error.find("light array"), std::string::npos) << error;
    std::remove(path.c_str());

    EXPECT_FALSE(fp::mentalray::loadMentalrayHostFrom("/nonexistent/tarn.so", RENDERER_MODULE_PATH,
                                                      DECLARATION_PATH, error));
    EXPECT_NE(error.find("/nonexistent/tarn.so"), std::string::npos) << error;
}

// Parameters declared after the light array sit behind the array's one
// slot, and the scene's lights follow the block. Setting the last of them
// used to write far past the block's storage. The library was not compiled
// with them, so the host refuses such a declaration; a block laid out from
// it still keeps every value in its field.
TEST(MentalrayDeclaration, SettingAFieldAfterTheLightArrayStaysInItsField) {
    std::ifstream original(DECLARATION_PATH);
    std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    std::string trailing = "array light \"light\"";
    const std::size_t at = text.find(trailing);
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 48; ++i) trailing += ",\n        scalar \"after" + std::to_string(i) + "\" default 1";
    text.replace(at, std::strlen("array light \"light\""), trailing);
    const std::string path = testing::TempDir() + "flakecoat-after-array.mi";
    std::ofstream(path) << text;
    std::string error;
    mentalrayHost::ShaderDeclaration declaration;
    ASSERT_TRUE(mentalrayHost::readShaderDeclaration(path, declaration, error)) << error;
    EXPECT_FALSE(fp::mentalray::loadMentalrayHostFrom(PROBE_SHADER_PATH, RENDERER_MODULE_PATH, path, error));
    std::remove(path.c_str());
    EXPECT_NE(error.find(path + ":" + std::to_string(declaration.find("after0")->line) + ": parameter 21"),
              std::string::npos)
        << error;
    auto host = fp::mentalray::loadMentalrayHostFrom(PROBE_SHADER_PATH, RENDERER_MODULE_PATH, DECLARATION_PATH, error);
    ASSERT_TRUE(host) << error;
    fp::Look look = host->look();

    // Through the adapter, with the point light alone: its tag is found from i_light.
    void* library = dlopen(PROBE_SHADER_PATH, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(library);
    ProbeRecord* record = reinterpret_cast<ProbeRecordFunction>(dlsym(library, "probeRecord"))();
    dlclose(library);
    fp::Scene scene = probeScene();
    scene.lights.resize(1);
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(scene, look);
    std::unique_ptr<fp::SurfaceWorker> worker = shader->makeWorker();
    fp::SampleRandom random(1, 0, 0);
    fp::ShadingServices services(scene, *worker, random);
    services.trace(fp::Ray{{0, 1, 5}, {0, 0, -1}}, 0);
    EXPECT_EQ(record->level[0].parameters.n_light, 1);
    EXPECT_EQ(record->level[0].lightTags[0], miTag(1));

    // In a block of the declaration's own layout the value lands in its field.
    const int after = declaration.find("after47")->offset;
    EXPECT_EQ(after, int(sizeof(flakeCoatParameters)) + 47 * 4);
    mentalrayHost::ParameterBlock block(declaration, 1);
    block.arrayElements()[0] = 7;
    fp::Setting setting;
    ASSERT_TRUE(fp::parseSetting("after47=2", setting, error)) << error;
    fp::mentalray::writeSetting(declaration, setting, block);
    EXPECT_EQ(block.at<float>(after), 2.0f);
    EXPECT_EQ(block.at<float>(after - 4), 1.0f);
    EXPECT_EQ(block.arrayElements()[0], miTag(7));
    EXPECT_EQ(block.size(), std::size_t(after + 4 + 4));
}
