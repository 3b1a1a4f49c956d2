#include "kernel/camera.h"

#include <cmath>

namespace flakecoat::preview {

Camera::Camera(const Vec3& eye, const Vec3& target, const Vec3& up, float verticalFov, float aspect)
    : eye_(eye) {
    back_ = normalize(eye - target);
    right_ = normalize(cross(up, back_));
    up_ = cross(back_, right_);
    halfHeight_ = std::tan(verticalFov * 0.5f * 3.14159265358979f / 180.0f);
    halfWidth_ = halfHeight_ * aspect;
}

Ray Camera::primaryRay(float sx, float sy) const {
    const float cx = (2.0f * sx - 1.0f) * halfWidth_;
    const float cy = (1.0f - 2.0f * sy) * halfHeight_;
    return Ray{eye_, normalize(directionToWorld(Vec3(cx, cy, -1.0f)))};
}

Vec3 Camera::pointToCamera(const Vec3& worldPoint) const { return directionToCamera(worldPoint - eye_); }

Vec3 Camera::directionToCamera(const Vec3& d) const { return {dot(d, right_), dot(d, up_), dot(d, back_)}; }

Vec3 Camera::directionToWorld(const Vec3& d) const { return right_ * d.x + up_ * d.y + back_ * d.z; }

Vec3 Camera::pointToWorld(const Vec3& p) const { return eye_ + directionToWorld(p); }

}  // namespace flakecoat::preview
