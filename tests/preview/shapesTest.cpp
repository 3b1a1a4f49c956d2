// Ray intersection, texture coordinates and the camera. Expected values are
// worked out by hand from the geometry in each comment.

#include <cmath>

#include <gtest/gtest.h>

#include "kernel/camera.h"
#include "kernel/scene.h"
#include "kernel/shapes.h"

namespace fp = flakecoat::preview;

namespace {
constexpr float kInf = INFINITY;
const fp::Sphere kUnitSphere{{0.0f, 0.0f, 0.0f}, 1.0f};
}  // namespace

TEST(SphereIntersection, HitsMissesGrazesAndStartsInside) {
    float t = -1.0f;
    // Head-on from z = -5: the near surface is 4 away.
    EXPECT_TRUE(fp::intersect(kUnitSphere, fp::Ray{{0, 0, -5}, {0, 0, 1}}, 0.0f, kInf, t));
    EXPECT_FLOAT_EQ(t, 4.0f);
    // Pointing away: the sphere is behind the origin.
    EXPECT_FALSE(fp::intersect(kUnitSphere, fp::Ray{{0, 0, -5}, {0, 0, -1}}, 0.0f, kInf, t));
    // Offset by exactly the radius: tangent at (1, 0, 0), 5 along the ray.
    EXPECT_TRUE(fp::intersect(kUnitSphere, fp::Ray{{1, 0, -5}, {0, 0, 1}}, 0.0f, kInf, t));
    EXPECT_NEAR(t, 5.0f, 1e-3f);
    // Just beyond the radius: a miss.
    EXPECT_FALSE(fp::intersect(kUnitSphere, fp::Ray{{1.001f, 0, -5}, {0, 0, 1}}, 0.0f, kInf, t));
    // From the centre the far side is one radius away, in any direction.
    EXPECT_TRUE(fp::intersect(kUnitSphere, fp::Ray{{0, 0, 0}, {0, 1, 0}}, 0.0f, kInf, t));
    EXPECT_FLOAT_EQ(t, 1.0f);
    // tMax before the surface: no hit.
    EXPECT_FALSE(fp::intersect(kUnitSphere, fp::Ray{{0, 0, -5}, {0, 0, 1}}, 0.0f, 3.9f, t));
}

TEST(SphereIntersection, FarRaysKeepTheirPrecision) {
    // From 1000 units away along a diagonal, the hit must lie on the sphere.
    const fp::Vec3 direction = fp::normalize(fp::Vec3(-1, -1, -1));
    const fp::Ray ray{fp::Vec3(577.35f, 577.35f, 577.35f) + fp::Vec3(0.0f, 0.3f, 0.0f), direction};
    float t;
    ASSERT_TRUE(fp::intersect(kUnitSphere, ray, 0.0f, kInf, t));
    EXPECT_NEAR(fp::length(ray.at(t)), 1.0f, 1e-3f);
}

TEST(PlaneIntersection, FromAboveBelowAndParallel) {
    const fp::Plane ground;  // y = 0
    float t;
    EXPECT_TRUE(fp::intersect(ground, fp::Ray{{0, 2, 0}, {0, -1, 0}}, 0.0f, kInf, t));
    EXPECT_FLOAT_EQ(t, 2.0f);
    // 45 degrees down from height 1: sqrt(2) along the ray.
    EXPECT_TRUE(fp::intersect(ground, fp::Ray{{0, 1, 0}, fp::normalize({1, -1, 0})}, 0.0f, kInf, t));
    EXPECT_NEAR(t, std::sqrt(2.0f), 1e-6f);
    EXPECT_TRUE(fp::intersect(ground, fp::Ray{{0, -3, 0}, {0, 1, 0}}, 0.0f, kInf, t));
    EXPECT_FLOAT_EQ(t, 3.0f);
    EXPECT_FALSE(fp::intersect(ground, fp::Ray{{0, 1, 0}, {1, 0, 0}}, 0.0f, kInf, t));
    EXPECT_FALSE(fp::intersect(ground, fp::Ray{{0, 1, 0}, {0, 1, 0}}, 0.0f, kInf, t));
}

TEST(SceneIntersection, NearestSurfaceAndGroundNormalFacingTheRay) {
    const fp::Scene scene = fp::shaderBallScene(1.0f, {}, fp::Environment());
    // Straight down onto the ball's top (y = 2) before the ground.
    fp::Hit hit = fp::intersectScene(scene, fp::Ray{{0, 5, 0}, {0, -1, 0}});
    EXPECT_EQ(hit.object, fp::HitObject::Painted);
    EXPECT_FLOAT_EQ(hit.t, 3.0f);
    EXPECT_EQ(hit.normal, fp::Vec3(0, 1, 0));
    // Beside the ball: the ground, normal up.
    hit = fp::intersectScene(scene, fp::Ray{{3, 5, 0}, {0, -1, 0}});
    EXPECT_EQ(hit.object, fp::HitObject::Ground);
    EXPECT_EQ(hit.normal, fp::Vec3(0, 1, 0));
    // From under the ground the normal faces down, towards the ray.
    hit = fp::intersectScene(scene, fp::Ray{{3, -1, 0}, {0, 1, 0}});
    EXPECT_EQ(hit.object, fp::HitObject::Ground);
    EXPECT_EQ(hit.normal, fp::Vec3(0, -1, 0));
    // Up into the sky: nothing.
    EXPECT_EQ(fp::intersectScene(scene, fp::Ray{{3, 1, 0}, {0, 1, 0}}).object, fp::HitObject::None);
}

TEST(SphereUv, LongitudeAndLatitudeAtNamedPoints) {
    float u, v;
    fp::sphereUv({0, 0, 1}, u, v);  // front: u 0.5, equator
    EXPECT_FLOAT_EQ(u, 0.5f);
    EXPECT_FLOAT_EQ(v, 0.5f);
    fp::sphereUv({1, 0, 0}, u, v);  // a quarter turn towards +x
    EXPECT_FLOAT_EQ(u, 0.75f);
    fp::sphereUv({0, 1, 0}, u, v);  // top pole
    EXPECT_FLOAT_EQ(v, 1.0f);
    fp::sphereUv({0, -1, 0}, u, v);  // bottom pole
    EXPECT_FLOAT_EQ(v, 0.0f);
}

TEST(Camera, CameraSpaceLooksDownMinusZWithYUp) {
    // Eye on +z looking at the origin: camera space is world space shifted.
    const fp::Camera camera({0, 0, 5}, {0, 0, 0}, {0, 1, 0}, 90.0f, 1.0f);
    EXPECT_EQ(camera.pointToCamera({0, 0, 0}), fp::Vec3(0, 0, -5));
    EXPECT_EQ(camera.directionToCamera({1, 0, 0}), fp::Vec3(1, 0, 0));
    EXPECT_EQ(camera.directionToCamera({0, 1, 0}), fp::Vec3(0, 1, 0));
    // The image centre looks at the target; with a 90 degree field the top
    // edge's centre is 45 degrees up.
    const fp::Ray centre = camera.primaryRay(0.5f, 0.5f);
    EXPECT_EQ(centre.origin, fp::Vec3(0, 0, 5));
    EXPECT_NEAR(centre.direction.z, -1.0f, 1e-6f);
    const fp::Ray top = camera.primaryRay(0.5f, 0.0f);
    EXPECT_NEAR(top.direction.y, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(top.direction.z, -std::sqrt(0.5f), 1e-6f);
}

TEST(Camera, TiltedCameraRoundTripsAndStaysRightHanded) {
    const fp::Camera camera({1, 2, 6}, {0, 0.8f, 0}, {0, 1, 0}, 30.0f, 1.5f);
    const fp::Vec3 d = fp::normalize({0.3f, -0.2f, 0.9f});
    const fp::Vec3 back = camera.directionToWorld(camera.directionToCamera(d));
    EXPECT_NEAR(back.x, d.x, 1e-6f);
    EXPECT_NEAR(back.y, d.y, 1e-6f);
    EXPECT_NEAR(back.z, d.z, 1e-6f);
    // x cross y = z in camera space as in world space.
    const fp::Vec3 x = camera.directionToWorld({1, 0, 0});
    const fp::Vec3 y = camera.directionToWorld({0, 1, 0});
    const fp::Vec3 z = camera.directionToWorld({0, 0, 1});
    EXPECT_NEAR(fp::dot(fp::cross(x, y), z), 1.0f, 1e-6f);
    // The target lies straight ahead, on -z.
    const fp::Vec3 target = camera.pointToCamera({0, 0.8f, 0});
    EXPECT_NEAR(target.x, 0.0f, 1e-5f);
    EXPECT_NEAR(target.y, 0.0f, 1e-5f);
    EXPECT_LT(target.z, 0.0f);
}
