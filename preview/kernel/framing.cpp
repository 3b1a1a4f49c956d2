#include "kernel/framing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace flakecoat::preview {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadians = kPi / 180.0;
// Centring converges in two or three passes where the outermost points
// stay the same; each pass reads every corner twice.
constexpr int kCentringPasses = 6;
// Points spread over the ball stand for its silhouette.
constexpr int kBallOutlinePoints = 4096;

// Framing sums many corners of a model that may lie far from the origin:
// it works in double precision and hands the camera floats at the end.
struct D3 {
    double x = 0.0, y = 0.0, z = 0.0;
    D3() = default;
    D3(double a, double b, double c) : x(a), y(b), z(c) {}
    explicit D3(const Vec3& v) : x(v.x), y(v.y), z(v.z) {}
    D3 operator+(const D3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    D3 operator-(const D3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    D3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 toFloat() const { return Vec3(float(x), float(y), float(z)); }
};
double dot(const D3& a, const D3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(const D3& a) { return std::sqrt(dot(a, a)); }

// The camera's axes for a view from (orbit, elevation): back points from
// the object towards the eye; right stays horizontal, so up is defined
// even looking straight down.
struct Axes {
    D3 back, right, up;
};
Axes axesFor(double orbitDegrees, double elevationDegrees) {
    const double o = orbitDegrees * kRadians, e = elevationDegrees * kRadians;
    Axes axes;
    axes.back = {std::cos(e) * std::sin(o), std::sin(e), std::cos(e) * std::cos(o)};
    axes.right = {std::cos(o), 0.0, -std::sin(o)};
    // back x right
    axes.up = {axes.back.y * axes.right.z - axes.back.z * axes.right.y,
               axes.back.z * axes.right.x - axes.back.x * axes.right.z,
               axes.back.x * axes.right.y - axes.back.y * axes.right.x};
    return axes;
}

Camera lookingAt(const D3& eye, const D3& target, const D3& up, float fovDegrees, float aspect) {
    return Camera(eye.toFloat(), target.toFloat(), up.toFloat(), fovDegrees, aspect);
}

// Calls visit(point) for each point of the painted object's silhouette.
template <class Visit>
void forEachOutlinePoint(const Scene& scene, Visit&& visit) {
    if (scene.model) {
        const Vec3* corners = scene.model->corners();
        for (std::size_t i = 0, n = scene.model->cornerCount(); i < n; ++i) visit(D3(corners[i]));
        return;
    }
    // A Fibonacci lattice: near-even spacing, no clusters at the poles
    const D3 centre(scene.ball.center);
    const double golden = kPi * (3.0 - std::sqrt(5.0));
    for (int i = 0; i < kBallOutlinePoints; ++i) {
        const double y = 1.0 - 2.0 * (i + 0.5) / kBallOutlinePoints;
        const double ring = std::sqrt(1.0 - y * y);
        const D3 n(ring * std::cos(golden * i), y, ring * std::sin(golden * i));
        visit(centre + n * double(scene.ball.radius));
    }
}

double tanHalf(float fovDegrees) { return std::tan(0.5 * fovDegrees * kRadians); }

Camera sphereCamera(const Scene& scene, const CameraAim& aim, const Axes& axes, float aspect) {
    const D3 centre(scene.ball.center);
    const double radius = scene.ball.radius;
    const D3 target = centre + (D3(kBallTarget) - D3(kBallCentre)) * radius;
    // Keep the ball's size in the image whatever the field of view
    const double distance =
        length(D3(kBallEye) - D3(kBallTarget)) * radius * tanHalf(kBallFov) / tanHalf(aim.fovDegrees) / aim.zoom;
    return lookingAt(target + axes.back * distance, target, axes.up, aim.fovDegrees, aspect);
}

// The object's silhouette centred, its widest point at kFillFraction of
// the half-width or half-height. Seen along `back` from a distance D, a
// point at (x, y) across and s towards the eye from the target lies at
// x / ((D - s) halfWidth) of the half-width: D is the largest s + |x| /
// (fraction halfWidth) (or the same for y). Perspective pulls the
// silhouette off centre, so the target moves across until the outermost
// points on either side lie equally far out, and D follows.
Camera fillCamera(const Scene& scene, const CameraAim& aim, const Axes& axes, float aspect) {
    const double halfHeight = tanHalf(aim.fovDegrees), halfWidth = halfHeight * aspect;
    D3 low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
    forEachOutlinePoint(scene, [&](const D3& p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    });
    D3 target = (low + high) * 0.5;
    // Never closer than this to a corner along the view
    const double nearest = 1e-3 * double(scene.ball.radius);
    double distance = 0.0;
    for (int pass = 0;; ++pass) {
        distance = 0.0;
        forEachOutlinePoint(scene, [&](const D3& p) {
            const D3 q = p - target;
            const double s = dot(q, axes.back);
            const double across = std::max(std::fabs(dot(q, axes.right)) / (kFillFraction * halfWidth),
                                           std::fabs(dot(q, axes.up)) / (kFillFraction * halfHeight));
            distance = std::max(distance, s + std::max(across, nearest));
        });
        if (pass == kCentringPasses) break;
        // The outermost points each way: (across, depth) of the least and
        // the greatest across / depth, for x and for y.
        struct Extreme {
            double ratio, across, depth;
        };
        Extreme extremes[2][2] = {{{1e300, 0, 1}, {-1e300, 0, 1}}, {{1e300, 0, 1}, {-1e300, 0, 1}}};
        forEachOutlinePoint(scene, [&](const D3& p) {
            const D3 q = p - target;
            const double depth = distance - dot(q, axes.back);
            const double across[2] = {dot(q, axes.right), dot(q, axes.up)};
            for (int axis = 0; axis < 2; ++axis) {
                const double ratio = across[axis] / depth;
                if (ratio < extremes[axis][0].ratio) extremes[axis][0] = {ratio, across[axis], depth};
                if (ratio > extremes[axis][1].ratio) extremes[axis][1] = {ratio, across[axis], depth};
            }
        });
        // The shift c with (high - c) / highDepth = (c - low) / lowDepth
        double shift[2];
        for (int axis = 0; axis < 2; ++axis) {
            const Extreme& a = extremes[axis][0];
            const Extreme& b = extremes[axis][1];
            shift[axis] = (b.across * a.depth + a.across * b.depth) / (a.depth + b.depth);
        }
        target = target + axes.right * shift[0] + axes.up * shift[1];
        // Centred when the outermost points no longer change
        if (std::fabs(shift[0]) + std::fabs(shift[1]) < 1e-6 * double(scene.ball.radius)) break;
    }
    return lookingAt(target + axes.back * (distance / aim.zoom), target, axes.up, aim.fovDegrees, aspect);
}

struct SurfacePoint {
    D3 point;
    double u = 0.0, v = 0.0;
};

// Where the ray first meets the painted object, the ground ignored.
bool paintedPoint(const Scene& scene, const Ray& ray, SurfacePoint& found) {
    constexpr float kFar = std::numeric_limits<float>::infinity();
    if (scene.model) {
        MeshHit hit;
        if (!scene.model->intersect(ray, scene.rayEpsilon, kFar, hit)) return false;
        found = {D3(hit.point), hit.u, hit.v};
        return true;
    }
    float t = 0.0f, u = 0.0f, v = 0.0f;
    if (!intersect(scene.ball, ray, scene.rayEpsilon, kFar, t)) return false;
    const Vec3 point = ray.at(t);
    sphereUv(sphereNormal(scene.ball, point), u, v);
    found = {D3(point), u, v};
    return true;
}

// The world length of one flake at the point seen at (sx, sy), or infinity
// where the noise has no flakes to frame.
double flakeLength(const Scene& scene, const Camera& camera, float sx, float sy, const SurfacePoint& at,
                   const FlakeScale& flakes, int width, int height) {
    if (!(flakes.frequency > 0.0f) || !std::isfinite(flakes.frequency)) return std::numeric_limits<double>::infinity();
    const double cell = 1.0 / double(flakes.frequency);
    if (!flakes.inTextureSpace) return cell;
    // Texture space: how far the point moves per unit of u and of v, from
    // the points half a pixel across and down (noise v runs at half rate)
    SurfacePoint across, down;
    if (!paintedPoint(scene, camera.primaryRay(sx + 0.5f / float(width), sy), across) ||
        !paintedPoint(scene, camera.primaryRay(sx, sy + 0.5f / float(height)), down))
        return cell;
    const D3 dp1 = across.point - at.point, dp2 = down.point - at.point;
    const double du1 = across.u - at.u, dv1 = across.v - at.v, du2 = down.u - at.u, dv2 = down.v - at.v;
    const double determinant = du1 * dv2 - dv1 * du2;
    if (!(std::fabs(determinant) > 0.0)) return cell;
    const double perU = length(dp1 * dv2 - dp2 * dv1) / std::fabs(determinant);
    const double perV = length(dp2 * du1 - dp1 * du2) / std::fabs(determinant);
    const double shortest = std::min(perU * cell, 2.0 * perV * cell);
    return std::isfinite(shortest) && shortest > 0.0 ? shortest : cell;
}

Camera closeUpCamera(const Scene& scene, const CameraAim& aim, const Camera& whole, int width, int height,
                     float aspect, const FlakeScale& flakes) {
    // The centre's ray, or the nearest of rings around it that meets the object
    float sx = 0.5f, sy = 0.5f;
    SurfacePoint at;
    bool found = paintedPoint(scene, whole.primaryRay(sx, sy), at);
    for (int ring = 1; ring <= 8 && !found; ++ring)
        for (int step = 0; step < 16 && !found; ++step) {
            const double angle = 2.0 * kPi * step / 16.0, reach = 0.05 * ring;
            sx = float(0.5 + reach * std::cos(angle));
            sy = float(0.5 + reach * std::sin(angle));
            found = paintedPoint(scene, whole.primaryRay(sx, sy), at);
        }
    if (!found) return whole;

    const double flake = flakeLength(scene, whole, sx, sy, at, flakes, width, height);
    const double seen = double(height) / kCloseUpPixelsPerFlake * flake;
    double distance = seen / (2.0 * tanHalf(aim.fovDegrees)) / aim.zoom;
    // Between the whole view and just off the surface
    const D3 eye(whole.eye());
    const D3 towards = at.point - eye;
    const double far = length(towards);
    distance = std::clamp(distance, std::min(far, 10.0 * double(scene.rayEpsilon)), far);
    return lookingAt(at.point - towards * (distance / far), at.point, D3(whole.up()), aim.fovDegrees, aspect);
}

}  // namespace

Camera aimCamera(const Scene& scene, const CameraAim& aim, int width, int height, const FlakeScale& flakes) {
    const float aspect = float(width) / float(height);
    // A close-up's zoom is the close-up's own
    CameraAim whole = aim;
    if (aim.closeUp) whole.zoom = 1.0f;
    const bool ballView = whole.orbitDegrees == 0.0f && whole.elevationDegrees == kDefaultElevation &&
                          whole.zoom == 1.0f && whole.fovDegrees == kBallFov;
    const Axes axes = axesFor(aim.orbitDegrees, aim.elevationDegrees);
    Camera camera = aim.framing == Framing::Fill ? fillCamera(scene, whole, axes, aspect)
                    : ballView                   ? ballViewCamera(scene.ball, aspect)
                                                 : sphereCamera(scene, whole, axes, aspect);
    if (aim.closeUp) camera = closeUpCamera(scene, aim, camera, width, height, aspect, flakes);
    return camera;
}

Coverage silhouetteCoverage(const Scene& scene, const Camera& camera) {
    double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
    forEachOutlinePoint(scene, [&](const D3& p) {
        const Vec3 c = camera.pointToCamera(p.toFloat());
        const double depth = -double(c.z);
        const double x = c.x / (depth * camera.halfWidth()), y = c.y / (depth * camera.halfHeight());
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    });
    return {(right - left) / 2.0, (top - bottom) / 2.0};
}

}  // namespace flakecoat::preview
