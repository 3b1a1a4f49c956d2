// The camera: fill framing puts a long model across most of the image from
// any side, the default view is the ball scene's own camera, the angles
// turn the way they are documented, and a close-up looks at the object's
// middle from where a flake spans four pixels.

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "kernel/framing.h"
#include "meshes/objLoader.h"
#include "meshes/paintSwatch.h"

namespace fp = flakecoat::preview;

namespace {

// A bar 10 long, 0.4 high and 0.6 deep, away from the origin, and a stray
// vertex no face uses far off; with a gap, two bars with nothing between.
std::shared_ptr<const fp::MeshGeometry> barModel(bool gap) {
    std::string obj = "v 500 500 500\n";
    const float x0[2] = {-2.0f, gap ? 3.5f : 3.0f}, x1[2] = {3.0f, 8.0f};
    for (int b = 0; b < 2; ++b)
        for (int i = 0; i < 8; ++i)
            obj += "v " + std::to_string(i & 4 ? x1[b] : x0[b]) + " " + std::to_string(i & 2 ? 2.4 : 2.0) + " " +
                   std::to_string(i & 1 ? -0.7 : -1.3) + "\n";
    for (int b = 0; b < 2; ++b)
        for (const char* face : {"1 2 4 3", "5 7 8 6", "1 5 6 2", "3 4 8 7", "1 3 7 5", "2 6 8 4"}) {
            obj += "f";
            for (const char* c = face; *c; ++c)
                if (*c != ' ') obj += " " + std::to_string(*c - '0' + 1 + 8 * b);
            obj += "\n";
        }
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_TRUE(fp::parseObj(obj, "bar", mesh, error)) << error;
    return fp::MeshGeometry::build(std::move(mesh), 0.0f, error);
}

fp::Scene sceneAround(std::shared_ptr<const fp::MeshGeometry> model, float aspect) {
    return model ? fp::modelScene(aspect, {}, fp::Environment(), std::move(model))
                 : fp::shaderBallScene(aspect, {}, fp::Environment());
}

void expectSameCamera(const fp::Camera& a, const fp::Camera& b, const std::string& what) {
    EXPECT_TRUE(a.eye() == b.eye() && a.up() == b.up() && a.back() == b.back() && a.halfWidth() == b.halfWidth())
        << what;
}

}  // namespace

TEST(Framing, FillPutsALongModelAcrossMostOfTheImageFromAnySide) {
    const auto bar = barModel(false);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->cornerCount(), 16u) << "the stray vertex frames nothing";
    std::string error;
    const auto swatch = fp::MeshGeometry::build(fp::paintSwatch(36, 24), 0.0f, error);
    for (const auto& model : {bar, swatch})
        for (const auto& [width, height] : {std::pair(256, 256), std::pair(512, 256), std::pair(200, 400)}) {
            const fp::Scene scene = sceneAround(model, float(width) / float(height));
            for (float orbit : {0.0f, 35.0f, 90.0f, 160.0f, -100.0f})
                for (float elevation : {-20.0f, 0.0f, 25.0f, 70.0f, 90.0f}) {
                    const fp::CameraAim aim{orbit, elevation, 1.0f, fp::kBallFov, fp::Framing::Fill};
                    const fp::Coverage covered =
                        fp::silhouetteCoverage(scene, fp::aimCamera(scene, aim, width, height, {}));
                    const std::string what = std::string(model == bar ? "bar " : "swatch ") + std::to_string(width) +
                                             "x" + std::to_string(height) + " from " + std::to_string(orbit) + ", " +
                                             std::to_string(elevation);
                    EXPECT_GE(std::max(covered.width, covered.height), 0.88) << what;
                    EXPECT_LE(std::max(covered.width, covered.height), 0.901) << what;
                }
        }
}

TEST(Framing, TheDefaultIsTheBallsViewAndTheAnglesTurnAsDocumented) {
    const fp::Scene ball = sceneAround(nullptr, 1.5f);
    expectSameCamera(fp::aimCamera(ball, fp::CameraAim{}, 300, 200, {}), ball.camera, "ball");
    const fp::Scene bar = sceneAround(barModel(false), 1.0f);
    expectSameCamera(fp::aimCamera(bar, fp::CameraAim{}, 64, 64, {}), fp::ballViewCamera(bar.ball, 1.0f), "bar");

    // Leaving the default moves the eye by a hair (its own elevation is
    // 10.05 degrees); a narrower view stands farther off, keeping the size;
    // twice as close is about twice the size.
    fp::CameraAim moved;
    moved.orbitDegrees = 0.01f;
    EXPECT_LT(fp::length(fp::aimCamera(ball, moved, 300, 200, {}).eye() - ball.camera.eye()), 0.01f);
    const double height = fp::silhouetteCoverage(ball, ball.camera).height;
    moved.fovDegrees = 14.0f;
    EXPECT_NEAR(fp::silhouetteCoverage(ball, fp::aimCamera(ball, moved, 300, 200, {})).height, height, 0.01);
    moved.zoom = 2.0f;
    EXPECT_NEAR(fp::silhouetteCoverage(ball, fp::aimCamera(ball, moved, 300, 200, {})).height, 2.0 * height, 0.1);

    // From the centre towards the eye, roughly; the image's right stays
    // horizontal, even looking straight down.
    const struct {
        float orbit, elevation;
        fp::Vec3 side;
    } cases[] = {{0, 0, {0, 0, 1}},  {90, 0, {1, 0, 0}},  {-90, 0, {-1, 0, 0}},          {180, 0, {0, 0, -1}},
                 {0, 90, {0, 1, 0}}, {0, -90, {0, -1, 0}}, {45, 45, {0.5f, 0.7071f, 0.5f}}};
    for (const auto& c : cases) {
        const fp::Camera camera = fp::aimCamera(ball, {c.orbit, c.elevation}, 64, 64, {});
        EXPECT_GT(fp::dot(fp::normalize(camera.eye() - ball.ball.center), c.side), 0.99f) << c.orbit << " " << c.elevation;
        EXPECT_NEAR(fp::cross(camera.up(), camera.back()).y, 0.0f, 1e-6f) << c.orbit << " " << c.elevation;
    }
}

TEST(Framing, ACloseUpLooksAtTheMiddleFromWhereAFlakeSpansFourPixels) {
    const auto gapped = barModel(true);
    for (const auto& model : {std::shared_ptr<const fp::MeshGeometry>(), barModel(false), gapped})
        for (float frequency : {200.0f, 400.0f, 1000.0f})
            for (float zoom : {1.0f, 2.0f}) {
                const fp::Scene scene = sceneAround(model, 1.0f);
                const fp::CameraAim aim{0.0f, 10.0f, zoom, fp::kBallFov,
                                        model ? fp::Framing::Fill : fp::Framing::Sphere, true};
                const fp::Camera camera = fp::aimCamera(scene, aim, 256, 256, {frequency, false});
                const std::string what = std::string(model == gapped ? "gapped " : model ? "bar " : "ball ") +
                                         std::to_string(frequency) + " zoom " + std::to_string(zoom);
                // The centre's ray meets the painted object (the gapped bar's
                // middle is empty: the nearest point around it is taken).
                const fp::Hit hit = fp::intersectScene(scene, camera.primaryRay(0.5f, 0.5f));
                ASSERT_EQ(hit.object, fp::HitObject::Painted) << what;
                const float pixel = 2.0f * hit.t * camera.halfHeight() / 256.0f;
                EXPECT_NEAR(1.0f / frequency / pixel, 4.0f * zoom, 0.02f * zoom) << what;
                // In texture space a flake is 1/frequency of u (or twice that of
                // v, which is longer here): on the ball a turn of u is 2 pi cos(latitude).
                if (!model) {
                    const fp::Camera texture = fp::aimCamera(scene, aim, 256, 256, {frequency, true});
                    const fp::Hit seen = fp::intersectScene(scene, texture.primaryRay(0.5f, 0.5f));
                    const float flake = 2.0f * 3.14159265f * std::sqrt(1.0f - seen.normal.y * seen.normal.y) / frequency;
                    EXPECT_NEAR(flake / (2.0f * seen.t * texture.halfHeight() / 256.0f), 4.0f * zoom, 0.05f * zoom)
                        << what;
                }
            }
}
