// The environment as light: the median cut, the weighted picks, the
// built-in environments, the turn, the floors and the stage's options, and
// whole renders through each host lit by the built-in sun alone.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/builtinEnvironments.h"
#include "kernel/environmentLights.h"
#include "kernel/renderer.h"
#include "look/stage.h"

namespace fp = flakecoat::preview;

namespace {

// The light the map holds: sum of radiance times solid angle (all rows, or
// the upper half).
fp::Color mapLight(const fp::LatLongImage& map, bool upperHalf) {
    fp::Color sum;
    const int rows = upperHalf ? (map.height + 1) / 2 : map.height;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < map.width; ++x) {
            const float* p = &map.rgb[(size_t(y) * size_t(map.width) + size_t(x)) * 3];
            sum += fp::Color(p[0], p[1], p[2]) * fp::latLongSolidAngle(y, map.width, map.height);
        }
    return sum;
}

float angleDegrees(const fp::Vec3& a, const fp::Vec3& b) {
    return std::acos(std::clamp(fp::dot(fp::normalize(a), fp::normalize(b)), -1.0f, 1.0f)) * 180.0f / 3.14159265f;
}

}  // namespace

// For every built-in and the sky, over a floor and without: the cut gives
// the lights asked for, they hold the environment's light, they are the same
// on every run, and the picks' weighted mean over all random numbers is the
// lights' sum (the estimate is unbiased) whether N is above or below the
// number of picks.
TEST(EnvironmentLights, TheCutHoldsTheLightAndThePicksEstimateItWithoutBias) {
    for (const std::string name : {"studio", "overcast", "sun", "sky"}) {
        const fp::Environment environment =
            name == "sky" ? fp::Environment() : fp::Environment(fp::builtinEnvironment(name));
        const fp::LatLongImage map = environment.radianceMap(fp::kEnvironmentLightMapWidth);
        for (const bool overFloor : {false, true}) {
            for (const int count : {3, 64}) {
                SCOPED_TRACE(name + (overFloor ? " over a floor, " : ", ") + std::to_string(count));
                const fp::EnvironmentLights lights = fp::makeEnvironmentLights(environment, count, overFloor);
                ASSERT_EQ(int(lights.lights.size()), count);
                EXPECT_EQ(lights.picks, std::min(count, fp::kEnvironmentPicks));
                fp::Color sum;
                for (const fp::Light& light : lights.lights) {
                    sum += light.color;
                    EXPECT_TRUE(!overFloor || light.direction.y <= 1e-3f);  // then they shine downwards
                }
                const fp::Color expected = mapLight(map, overFloor);
                EXPECT_NEAR(fp::luminance(sum) / fp::luminance(expected), 1.0, 1e-3);

                const fp::EnvironmentLights again = fp::makeEnvironmentLights(environment, count, overFloor);
                for (size_t i = 0; i < lights.lights.size(); ++i) {
                    EXPECT_EQ(again.lights[i].color, lights.lights[i].color);
                    EXPECT_EQ(again.lights[i].direction, lights.lights[i].direction);
                }

                // Midpoint rule over u for each pick.
                constexpr int kSteps = 20000;
                fp::Color estimate;
                for (int k = 0; k < lights.picks; ++k)
                    for (int i = 0; i < kSteps; ++i) {
                        float weight = 0.0f;
                        const fp::Light& picked =
                            fp::pickEnvironmentLight(lights, k, lights.picks, (float(i) + 0.5f) / kSteps, weight);
                        estimate += picked.color * (weight / float(kSteps * lights.picks));
                    }
                EXPECT_NEAR(fp::luminance(estimate) / fp::luminance(sum), 1.0, 2e-3);
            }
        }
    }
}

// The sun's own lights cluster on it; turning the environment turns its
// lights and its look-ups alike, and the built-ins are drawn once.
TEST(EnvironmentLights, TheSunsLightsPointAtItAndTurnWithTheEnvironment) {
    EXPECT_EQ(&fp::builtinEnvironment("sun"), &fp::builtinEnvironment("sun"));
    EXPECT_EQ(fp::builtinEnvironment("nothing").width, 0);
    for (const float turn : {0.0f, 90.0f, 180.0f, -30.0f}) {
        SCOPED_TRACE(turn);
        fp::Environment environment(fp::builtinEnvironment("sun"));
        environment.setRotation(turn);
        const fp::Vec3 sun = environment.toWorld(fp::builtinSunDirection());
        EXPECT_GT(fp::luminance(environment.lookup(sun)), 100.0f);
        const fp::EnvironmentLights lights = fp::makeEnvironmentLights(environment, 64, true);
        const fp::Light* strongest = &lights.lights[0];
        for (const fp::Light& light : lights.lights)
            if (fp::luminance(light.color) > fp::luminance(strongest->color)) strongest = &light;
        EXPECT_LT(angleDegrees(-strongest->direction, sun), 1.5f);
        EXPECT_TRUE(turn != 180.0f || std::fabs(sun.x + fp::builtinSunDirection().x) < 1e-5f);
    }
}

// What a stage accepts for the new options, the wording of what it refuses,
// and that its arguments give the same stage back.
TEST(EnvironmentLights, StageOptionsAreCheckedAndReproduced) {
    struct Case {
        const char* key;
        const char* text;
        const char* reason;  // empty: accepted
    };
    const Case cases[] = {
        {"env-lights", "auto", ""},
        {"env-lights", "0", ""},
        {"env-lights", "1024", ""},
        {"env-lights", "1025", "expected auto or a whole number of lights from 0 to 1024"},
        {"env-lights", "-3", "expected auto or a whole number of lights from 0 to 1024"},
        {"env-rotate", "-90.5", ""},
        {"env-rotate", "nan", "expected a finite number of degrees"},
        {"floor", "shadow", ""},
        {"floor", "wood", "choose one of checker, none, shadow"},
        {"lights", "none", ""},
        {"env", "overcast", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.text);
        fp::Stage stage;
        fp::StageProblem problem;
        EXPECT_EQ(fp::setStageOption(stage, c.key, c.text, problem), *c.reason == '\0');
        EXPECT_EQ(problem.reason, c.reason);
        if (*c.reason) continue;
        EXPECT_FALSE(stage.problem().has_value());
        // Given back as the options reproduce it.
        const std::vector<std::string> words = stage.arguments();
        fp::Stage again;
        for (size_t i = 0; i + 1 < words.size(); i += 2)
            ASSERT_TRUE(fp::setStageOption(again, words[i].substr(2), words[i + 1], problem)) << words[i];
        EXPECT_EQ(again.arguments(), words);
    }
    // A built-in needs no file; a path of that name is a file.
    fp::Stage stage;
    stage.environmentFile = "sun";
    EXPECT_FALSE(stage.problem().has_value());
    EXPECT_EQ(stage.effectiveEnvironmentLights(), fp::kDefaultEnvironmentLights);
    stage.environmentFile = "./sun";
    ASSERT_TRUE(stage.problem().has_value());
    EXPECT_EQ(fp::onCommandLine(*stage.problem()), "--env ./sun: no such file");
    // The sky lights as a term unless the rig is off.
    stage = fp::Stage();
    EXPECT_EQ(stage.effectiveEnvironmentLights(), 0);
    stage.lights = "none";
    EXPECT_EQ(stage.effectiveEnvironmentLights(), fp::kDefaultEnvironmentLights);
}

namespace {

struct SunRender {
    fp::Scene scene;
    fp::Framebuffer image;
};

SunRender renderSun(fp::RenderHost& host, float turn, const char* floor) {
    fp::Stage stage;
    stage.environmentFile = "sun";
    stage.lights = "none";
    stage.environmentRotate = turn;
    stage.floor = floor;
    stage.width = stage.height = 64;
    stage.samplesPerPixel = 16;
    std::string error;
    std::optional<fp::Scene> scene = stage.build(error);
    EXPECT_TRUE(scene) << error;
    SunRender result{std::move(*scene), {}};
    fp::RenderSettings settings = stage.renderSettings();
    settings.threads = 2;
    fp::render(result.scene, *host.makeShader(result.scene), settings, result.image);
    return result;
}

// The mean luminance of the pixels whose centre sees the ground within
// `radius` of `point`.
float groundNear(const SunRender& r, const fp::Vec3& point, float radius) {
    float sum = 0.0f;
    int count = 0;
    for (int y = 0; y < r.image.height; ++y)
        for (int x = 0; x < r.image.width; ++x) {
            const fp::Ray ray = r.scene.camera.primaryRay((x + 0.5f) / r.image.width, (y + 0.5f) / r.image.height);
            const fp::Hit hit = fp::intersectScene(r.scene, ray);
            if (hit.object != fp::HitObject::Ground || fp::length(hit.point - point) > radius) continue;
            const float* p = r.image.pixel(x, y);
            sum += fp::luminance({p[0], p[1], p[2]});
            ++count;
        }
    EXPECT_GT(count, 3);
    return count ? sum / float(count) : 0.0f;
}

// The painted object's mean luminance on the image's left and right halves.
void paintedHalves(const SunRender& r, float& left, float& right) {
    float sums[2] = {0.0f, 0.0f};
    int counts[2] = {0, 0};
    for (int y = 0; y < r.image.height; ++y)
        for (int x = 0; x < r.image.width; ++x) {
            const fp::Ray ray = r.scene.camera.primaryRay((x + 0.5f) / r.image.width, (y + 0.5f) / r.image.height);
            if (fp::intersectScene(r.scene, ray).object != fp::HitObject::Painted) continue;
            const float* p = r.image.pixel(x, y);
            const int half = x < r.image.width / 2 ? 0 : 1;
            sums[half] += fp::luminance({p[0], p[1], p[2]});
            ++counts[half];
        }
    left = sums[0] / float(std::max(counts[0], 1));
    right = sums[1] / float(std::max(counts[1], 1));
}

}  // namespace

// Lit by the built-in sun alone, through each host, the ball is brighter on
// the sun's side and its shadow falls on the floor away from the sun, darker
// than the same spot mirrored about the ball; turned half round, the light
// and the shadow change sides. Over the shadow catcher the lit floor is the
// backdrop itself and the shadow darkens it.
TEST(EnvironmentLights, TheSunLightsTheBallFromItsSideAndItsShadowTurnsWithIt) {
    const fp::Vec3 sun = fp::builtinSunDirection();
    // Where the ball's centre (0, 1, 0) casts its shadow on the floor, and
    // that spot turned half round.
    const fp::Vec3 shadow = fp::Vec3(0.0f, 1.0f, 0.0f) - sun * (1.0f / sun.y);
    const fp::Vec3 mirrored(-shadow.x, 0.0f, -shadow.z);
    for (const char* hostName : {"maya", "mentalray"}) {
        std::string error;
        const std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
        ASSERT_TRUE(host) << error;
        for (const float turn : {0.0f, 180.0f}) {
            for (const char* floor : {"checker", "shadow"}) {
                SCOPED_TRACE(std::string(hostName) + " turned " + std::to_string(turn) + ", floor " + floor);
                const SunRender r = renderSun(*host, turn, floor);
                const bool turned = turn != 0.0f;
                const float inShadow = groundNear(r, turned ? mirrored : shadow, 0.3f);
                const float beside = groundNear(r, turned ? shadow : mirrored, 0.3f);
                EXPECT_LT(inShadow, 0.7f * beside);
                float left = 0.0f, right = 0.0f;
                paintedHalves(r, left, right);
                // The sun is on the left (-x) unturned.
                EXPECT_GT(turned ? right : left, 1.2f * (turned ? left : right));
                if (std::string(floor) == "shadow") {
                    // Away from the ball the floor is the backdrop behind
                    // it, darkened only by the low sky the ball hides.
                    const fp::Ray ray = r.scene.camera.primaryRay(0.5f / 64.0f, 63.5f / 64.0f);
                    const float backdrop = fp::luminance(r.scene.environment.lookup(ray.direction));
                    const float* corner = r.image.pixel(0, 63);
                    const float shown = fp::luminance({corner[0], corner[1], corner[2]}) / backdrop;
                    EXPECT_GT(shown, 0.9f);
                    EXPECT_LT(shown, 1.001f);
                }
            }
        }
    }
}
