// Triangle models in the kernel: smooth normals, hits and texture
// coordinates against the analytic ball they approximate, and the framing
// of the scene around a model.

#include <cmath>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "kernel/meshGeometry.h"
#include "kernel/scene.h"
#include "meshes/objLoader.h"
#include "meshes/paintSwatch.h"
#include "testing/sphereObj.h"

namespace fp = flakecoat::preview;

namespace {

constexpr float kInf = INFINITY;

std::shared_ptr<const fp::MeshGeometry> sphereModel(const fp::Vec3& centre, float radius, float turn = 0.0f) {
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_TRUE(fp::parseObj(fp::testing::sphereObj(96, 48, centre, radius, false, false), "sphere", mesh, error))
        << error;
    auto model = fp::MeshGeometry::build(std::move(mesh), turn, error);
    EXPECT_TRUE(model) << error;
    return model;
}

// Distance between texture coordinates, u wrapping round.
float uvDistance(float u0, float v0, float u1, float v1) {
    const float du = std::fabs(u0 - u1);
    return std::hypot(std::min(du, 1.0f - du), v0 - v1);
}

}  // namespace

TEST(MeshNormals, SmoothNormalsWeighFacesByTheirAngle) {
    // At the origin two 45-degree corners lie in the plane z = 0 and one
    // 90-degree corner in x = 0: weighted by angle the normal is halfway
    // between +z and +x; by count or by area it would lean to +z.
    fp::TriangleMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
    for (auto corners : {std::array<std::uint32_t, 3>{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}) {
        fp::MeshTriangle t;
        t.corner = corners;
        mesh.triangles.push_back(t);
    }
    EXPECT_EQ(fp::prepareMesh(mesh), 0u);
    const fp::Vec3 n = mesh.triangles[2].normal[0];
    EXPECT_NEAR(n.x, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(n.y, 0.0f, 1e-6f);
    EXPECT_NEAR(n.z, std::sqrt(0.5f), 1e-6f);
    // A corner used by one face only keeps that face's normal.
    EXPECT_EQ(mesh.triangles[2].normal[2], fp::Vec3(1, 0, 0));
}

TEST(MeshGeometry, TessellatedSphereMeetsRaysAsTheBallDoes) {
    const fp::Sphere ball{{0, 1, 0}, 1.0f};
    const auto model = sphereModel(ball.center, ball.radius);
    ASSERT_TRUE(model);
    // Rays from all round towards points near the centre
    int hits = 0;
    for (int i = 0; i < 400; ++i) {
        const float a = 0.7f * float(i), b = std::sin(1.3f * float(i));
        const fp::Vec3 origin = ball.center + fp::Vec3(std::cos(a) * 4.0f, b * 3.0f, std::sin(a) * 4.0f);
        const fp::Vec3 aim = ball.center + fp::Vec3(std::sin(2.1f * float(i)), std::cos(1.7f * float(i)), 0) * 0.9f;
        const fp::Ray ray{origin, fp::normalize(aim - origin)};
        float t;
        fp::MeshHit hit;
        const bool analytic = fp::intersect(ball, ray, 0.0f, kInf, t);
        const bool traced = model->intersect(ray, 0.0f, kInf, hit);
        EXPECT_EQ(model->occluded(ray, 0.0f, kInf), traced);
        if (!analytic || !traced) continue;  // a miss, or a graze past the facets' silhouette
        ++hits;
        // Facets lie within 1.1e-3 of the sphere, their normals within 3 degrees
        // of its normal, the smooth normals far closer.
        const fp::Vec3 radial = fp::normalize(hit.point - ball.center);
        EXPECT_NEAR(fp::length(hit.point - ball.center), ball.radius, 1.1e-3f) << i;
        EXPECT_NEAR(hit.t, fp::length(hit.point - ray.origin), 1e-5f) << i;
        EXPECT_GT(fp::dot(hit.shadingNormal, radial), 0.9995f) << i;
        EXPECT_GT(fp::dot(hit.geometricNormal, radial), 0.998f) << i;
        EXPECT_LT(fp::dot(hit.geometricNormal, ray.direction), 0.0f) << i;
        // The ball's texture coordinates about the centre
        float u, v;
        fp::sphereUv(radial, u, v);
        EXPECT_LT(uvDistance(hit.u, hit.v, u, v), 1e-5f) << i;
        // Nothing before the hit occludes
        EXPECT_FALSE(model->occluded(ray, 0.0f, hit.t * 0.99f)) << i;
    }
    EXPECT_GT(hits, 300);

    // From inside, the normals turn to face the ray
    fp::MeshHit inside;
    ASSERT_TRUE(model->intersect(fp::Ray{ball.center, {0, 0, 1}}, 0.0f, kInf, inside));
    EXPECT_LT(inside.geometricNormal.z, -0.998f);
    EXPECT_LT(inside.shadingNormal.z, -0.9995f);
}

TEST(MeshGeometry, TurnedModelKeepsItsTextureCoordinates) {
    // Turned a quarter round, the model's +z side (u = 0.5) faces +x.
    const auto model = sphereModel({0, 1, 0}, 1.0f, 90.0f);
    ASSERT_TRUE(model);
    fp::MeshHit hit;
    ASSERT_TRUE(model->intersect(fp::Ray{{5, 1, 0}, {-1, 0, 0}}, 0.0f, kInf, hit));
    EXPECT_LT(uvDistance(hit.u, hit.v, 0.5f, 0.5f), 1e-3f);
    ASSERT_TRUE(model->intersect(fp::Ray{{0, 1, 5}, {0, 0, -1}}, 0.0f, kInf, hit));
    EXPECT_LT(uvDistance(hit.u, hit.v, 0.25f, 0.5f), 1e-3f);  // the model's -x side
}

TEST(ModelScene, FramesAndLightsTheEnclosingSphereAsTheBall) {
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);
    const fp::Scene ball = fp::shaderBallScene(1.5f, lights, fp::Environment());
    const fp::Vec3 centre{5, 20, -3};
    for (float radius : {1.0f, 10.0f}) {
        const fp::Vec3 at = radius == 1.0f ? ball.ball.center : centre;
        const fp::Scene scene = fp::modelScene(1.5f, lights, fp::Environment(), sphereModel(at, radius));
        // The enclosing sphere within 1% of the true one
        EXPECT_NEAR(scene.ball.radius, radius, 0.01f * radius);
        EXPECT_LT(fp::length(scene.ball.center - at), 0.01f * radius);
        EXPECT_NEAR(scene.ground.offset, at.y - radius, 1e-5f * radius);
        EXPECT_FLOAT_EQ(scene.rayEpsilon, fp::kRayEpsilon * scene.ball.radius);
        // The same view: eye rays through the same image points
        const fp::Vec3 eyeOffset = (scene.camera.eye() - scene.ball.center) / scene.ball.radius;
        EXPECT_LT(fp::length(eyeOffset - (ball.camera.eye() - ball.ball.center)), 0.01f);
        for (float s : {0.0f, 0.3f, 1.0f}) {
            EXPECT_GT(fp::dot(scene.camera.primaryRay(s, 1.0f - s).direction,
                              ball.camera.primaryRay(s, 1.0f - s).direction),
                      0.99999f);
        }
        // The same light arriving at the sphere's top
        for (size_t i = 0; i < lights.size(); ++i) {
            if (lights[i].kind == fp::LightKind::Ambient) continue;
            const fp::Vec3 top = scene.ball.center + fp::Vec3(0, scene.ball.radius, 0);
            const fp::LightSample there = fp::sampleLight(scene.lights[i], top, 0.3f, 0.6f);
            const fp::LightSample here = fp::sampleLight(ball.lights[i], {0, 2, 0}, 0.3f, 0.6f);
            EXPECT_NEAR(there.intensity.x, here.intensity.x, 0.02f * here.intensity.x) << i;
            EXPECT_GT(fp::dot(there.towardsLight, here.towardsLight), 0.9999f) << i;
        }
    }
}

TEST(PaintSwatch, StandsOnTheGroundInsideItsSphereWithTextureCoordinates) {
    const fp::TriangleMesh swatch = fp::paintSwatch(60, 40);
    ASSERT_GT(swatch.triangles.size(), 4000u);
    const fp::Sphere bounds = fp::enclosingSphere(swatch);
    EXPECT_EQ(fp::lowestPoint(swatch), 0.0f);
    float uMin = 1, uMax = 0, frontFacing = 0;
    for (const fp::MeshTriangle& t : swatch.triangles) {
        ASSERT_TRUE(t.hasUv && t.hasNormals);
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(fp::length(swatch.positions[t.corner[k]] - bounds.center), bounds.radius);
            uMin = std::min(uMin, t.u[k]);
            uMax = std::max(uMax, t.u[k]);
            frontFacing += t.normal[k].z > 0.0f ? 1.0f : 0.0f;
        }
    }
    EXPECT_EQ(uMin, 0.0f);
    EXPECT_EQ(uMax, 1.0f);
    // Only the hem turns away from the viewer.
    EXPECT_GT(frontFacing / float(3 * swatch.triangles.size()), 0.85f);
}

namespace {

void expectSameHit(const fp::MeshHit& a, const fp::MeshHit& b, const std::string& where) {
    EXPECT_EQ(a.t, b.t) << where;
    EXPECT_EQ(a.point, b.point) << where;
    EXPECT_EQ(a.shadingNormal, b.shadingNormal) << where;
    EXPECT_EQ(a.geometricNormal, b.geometricNormal) << where;
    EXPECT_EQ(a.u, b.u) << where;
    EXPECT_EQ(a.v, b.v) << where;
}

}  // namespace

TEST(MeshGeometry, BundlesAndBothHierarchiesFindWhatSingleRaysFind) {
    // A closed model (turned, without texture coordinates) and an open one
    // with them; rays from a camera's distance, from inside the model and
    // passing far off, in bundles of every size.
    std::string error;
    fp::TriangleMesh sphere;
    ASSERT_TRUE(fp::parseObj(fp::testing::sphereObj(96, 48, {0, 1, 0}, 1.0f, false, false), "sphere", sphere, error));
    fp::prepareMesh(sphere);
    fp::TriangleMesh swatch = fp::paintSwatch(60, 40);
    fp::prepareMesh(swatch);
    int hits = 0, misses = 0;
    for (const auto& [name, mesh, turn] : {std::tuple{"sphere", sphere, 30.0f}, std::tuple{"swatch", swatch, 0.0f}}) {
        const auto balanced = fp::MeshGeometry::build(mesh, turn, error);
        const auto quick = fp::MeshGeometry::build(mesh, turn, error, nullptr, fp::HierarchyQuality::QuickBuild);
        ASSERT_TRUE(balanced && quick) << error;
        const fp::Sphere bounds = balanced->enclosingSphere();
        int next = 0;
        for (int count = 1; count <= fp::kRayBundleSize; ++count) {
            fp::Ray rays[fp::kRayBundleSize];
            for (int i = 0; i < count; ++i, ++next) {
                const float a = 0.37f * float(next), b = std::sin(0.91f * float(next));
                const float reach = next % 5 == 0 ? 0.2f : 4.0f;  // some start inside
                const fp::Vec3 origin =
                    bounds.center + fp::Vec3(std::cos(a), 0.6f * b, std::sin(a)) * (reach * bounds.radius);
                const float spread = next % 7 == 0 ? 3.0f : 0.9f;  // some pass far off
                const fp::Vec3 towards(std::sin(1.3f * float(next)), std::cos(2.3f * float(next)),
                                       std::sin(0.5f * float(next)));
                const fp::Vec3 aim = bounds.center + towards * (spread * bounds.radius);
                rays[i] = fp::Ray{origin, fp::normalize(aim - origin)};
            }
            for (const auto& model : {balanced, quick}) {
                fp::MeshHit bundled[fp::kRayBundleSize];
                bool found[fp::kRayBundleSize];
                model->intersectBundle(rays, count, 1e-3f, kInf, bundled, found);
                for (int i = 0; i < count; ++i) {
                    const std::string where = std::string(name) + " bundle of " + std::to_string(count) + ", ray " +
                                              std::to_string(i) + (model == quick ? ", quick" : "");
                    fp::MeshHit single;
                    ASSERT_EQ(found[i], balanced->intersect(rays[i], 1e-3f, kInf, single)) << where;
                    if (found[i]) expectSameHit(bundled[i], single, where);
                    (found[i] ? hits : misses) += 1;
                }
            }
        }
    }
    // Both kinds occur often enough to matter
    EXPECT_GT(hits, 200);
    EXPECT_GT(misses, 40);
}
