#ifndef FLAKECOAT_PREVIEW_KERNEL_CAMERA_H
#define FLAKECOAT_PREVIEW_KERNEL_CAMERA_H

// A pinhole camera aimed with look-at. Camera space is the hosts' own: the
// eye at the origin, x to the right, y up, looking down -z (right-handed).
// World space is y-up as well.

#include "kernel/shapes.h"
#include "kernel/vec3.h"

namespace flakecoat::preview {

class Camera {
public:
    // verticalFov in degrees; aspect = width / height of the image.
    Camera(const Vec3& eye, const Vec3& target, const Vec3& up, float verticalFov, float aspect);

    // The eye ray through the image point (sx, sy), both in [0, 1], x to the
    // right and y downwards (raster order). The direction is unit length.
    Ray primaryRay(float sx, float sy) const;

    Vec3 eye() const { return eye_; }
    // Camera y and z in world space: up the image, and from what it looks at
    // towards the eye.
    Vec3 up() const { return up_; }
    Vec3 back() const { return back_; }
    // The image's half-extents at unit distance: tan(fov / 2) and that
    // times the aspect ratio.
    float halfHeight() const { return halfHeight_; }
    float halfWidth() const { return halfWidth_; }
    Vec3 pointToCamera(const Vec3& worldPoint) const;
    Vec3 directionToCamera(const Vec3& worldDirection) const;
    Vec3 directionToWorld(const Vec3& cameraDirection) const;
    Vec3 pointToWorld(const Vec3& cameraPoint) const;

private:
    Vec3 eye_;
    Vec3 right_;    // camera x in world space
    Vec3 up_;       // camera y
    Vec3 back_;     // camera z: from the target towards the eye
    float halfHeight_;  // tan(fov/2): image half-height at unit distance
    float halfWidth_;
};

}  // namespace flakecoat::preview

#endif
