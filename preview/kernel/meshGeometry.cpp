#include "kernel/meshGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>

#include <embree3/rtcore.h>

namespace flakecoat::preview {

struct MeshGeometry::Handles {
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
    ~Handles() {
        if (scene) rtcReleaseScene(scene);
        if (device) rtcReleaseDevice(device);
    }
};

namespace {

constexpr float kPi = 3.14159265358979f;

void recordError(void* message, RTCError code, const char* text) {
    std::string& error = *static_cast<std::string*>(message);
    if (error.empty())
        error = "ray-tracing library error " + std::to_string(int(code)) + (text ? std::string(": ") + text : "");
}

// The build's progress monitor: false stops it.
bool keepBuilding(void* cancel, double) { return !static_cast<const std::atomic<bool>*>(cancel)->load(); }

// Models of a size between these have their triangles and rays given to the
// library as they are; others in a frame of their own (see toFrame).
constexpr float kPlainRadiusLow = 1e-3f, kPlainRadiusHigh = 1e5f;
// The library asserts that ray origins lie within about 1.8e18 of zero;
// rays from farther away start where they enter the model's sphere.
constexpr float kFarOrigin = 1e17f;

bool farFromZero(const Vec3& p) { return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}) > kFarOrigin; }

void setRay(RTCRay& r, const Vec3& origin, const Ray& ray, float tMin, float tMax) {
    r.org_x = origin.x;
    r.org_y = origin.y;
    r.org_z = origin.z;
    r.dir_x = ray.direction.x;
    r.dir_y = ray.direction.y;
    r.dir_z = ray.direction.z;
    r.tnear = tMin;
    r.tfar = tMax;
    r.time = 0.0f;
    r.mask = ~0u;
    r.id = 0;
    r.flags = 0;
}

}  // namespace

std::shared_ptr<const MeshGeometry> MeshGeometry::build(TriangleMesh mesh, float rotateDegrees, std::string& error,
                                                       const std::atomic<bool>* cancel, HierarchyQuality quality) {
    if (mesh.triangles.empty()) {
        error = "the mesh has no triangles";
        return nullptr;
    }
    std::shared_ptr<MeshGeometry> geometry(new MeshGeometry());
    geometry->bounds_ = flakecoat::preview::enclosingSphere(mesh);
    geometry->lowest_ = flakecoat::preview::lowestPoint(mesh);
    const Sphere& bounds = geometry->bounds_;
    const float reach = std::max({std::fabs(bounds.center.x), std::fabs(bounds.center.y), std::fabs(bounds.center.z)});
    if (!(bounds.radius <= kMaxModelExtent && reach <= kMaxModelExtent) || !(bounds.radius >= kMinModelRadius)) {
        char text[200];
        if (bounds.radius >= kMinModelRadius)
            std::snprintf(text, sizeof text,
                          "the model is too large to frame: its enclosing sphere (radius %g) must lie within %g of the "
                          "origin",
                          double(bounds.radius), double(kMaxModelExtent));
        else
            std::snprintf(text, sizeof text,
                          "the model is too small to frame: its enclosing sphere's radius %g is below %g",
                          double(bounds.radius), double(kMinModelRadius));
        error = text;
        return nullptr;
    }
    if (!(bounds.radius >= kPlainRadiusLow && bounds.radius <= kPlainRadiusHigh && reach <= kPlainRadiusHigh)) {
        geometry->framed_ = true;
        geometry->frameShift_ = bounds.center;
        geometry->frameScale_ = bounds.radius;
        geometry->frameInverse_ = 1.0f / bounds.radius;
    }
    if (rotateDegrees != 0.0f) {
        rotateAboutVertical(mesh, geometry->bounds_.center, rotateDegrees);
        const float angle = -rotateDegrees * kPi / 180.0f;
        geometry->unturnCos_ = std::cos(angle);
        geometry->unturnSin_ = std::sin(angle);
    }

    // Hand the triangles to the library, which reads them where they are
    error.clear();
    if (cancel && cancel->load()) {
        error = "interrupted";
        return nullptr;
    }
    geometry->positions_ = std::move(mesh.positions);
    geometry->triangles_ = std::move(mesh.triangles);
    const std::size_t vertexCount = geometry->positions_.size();
    std::vector<bool> used(vertexCount, false);
    for (const MeshTriangle& triangle : geometry->triangles_)
        for (std::uint32_t index : triangle.corner) used[index] = true;
    if (std::find(used.begin(), used.end(), false) != used.end())
        for (std::size_t i = 0; i < vertexCount; ++i)
            if (used[i]) geometry->usedCorners_.push_back(geometry->positions_[i]);
    geometry->positions_.emplace_back();
    if (geometry->framed_) {
        geometry->framedPositions_.reserve(vertexCount + 1);
        for (std::size_t i = 0; i < vertexCount; ++i)
            geometry->framedPositions_.push_back(geometry->toFrame(geometry->positions_[i]));
        geometry->framedPositions_.emplace_back();
    }
    const std::vector<Vec3>& corners = geometry->framed_ ? geometry->framedPositions_ : geometry->positions_;
    geometry->handles_ = std::make_unique<Handles>();
    Handles& handles = *geometry->handles_;
    handles.device = rtcNewDevice(nullptr);
    if (!handles.device) {
        error = "cannot start the ray-tracing library (error " + std::to_string(int(rtcGetDeviceError(nullptr))) + ")";
        return nullptr;
    }
    rtcSetDeviceErrorFunction(handles.device, recordError, &error);
    handles.scene = rtcNewScene(handles.device);
    // Robust: rays through shared edges and vertices never slip between
    // neighbouring triangles.
    rtcSetSceneFlags(handles.scene, RTC_SCENE_FLAG_ROBUST);
    const RTCBuildQuality buildQuality =
        quality == HierarchyQuality::QuickBuild ? RTC_BUILD_QUALITY_LOW : RTC_BUILD_QUALITY_MEDIUM;
    rtcSetSceneBuildQuality(handles.scene, buildQuality);
    if (cancel) rtcSetSceneProgressMonitorFunction(handles.scene, keepBuilding, const_cast<std::atomic<bool>*>(cancel));
    RTCGeometry triangles = rtcNewGeometry(handles.device, RTC_GEOMETRY_TYPE_TRIANGLE);
    rtcSetGeometryBuildQuality(triangles, buildQuality);
    static_assert(sizeof(Vec3) == 3 * sizeof(float) && offsetof(MeshTriangle, corner) == 0,
                  "the library reads corners as packed floats and indices as the triangle's first member");
    rtcSetSharedGeometryBuffer(triangles, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, corners.data(), 0,
                               sizeof(Vec3), vertexCount);
    rtcSetSharedGeometryBuffer(triangles, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, geometry->triangles_.data(), 0,
                               sizeof(MeshTriangle), geometry->triangles_.size());
    rtcCommitGeometry(triangles);
    rtcAttachGeometry(handles.scene, triangles);
    rtcReleaseGeometry(triangles);
    if (error.empty()) rtcCommitScene(handles.scene);
    rtcSetDeviceErrorFunction(handles.device, nullptr, nullptr);
    if (cancel && cancel->load()) error = "interrupted";
    if (!error.empty()) return nullptr;
    return geometry;
}

MeshGeometry::~MeshGeometry() = default;

// Most rays of a scene pass the model by: the ground's shadow rays, eye
// rays and reflections into the sky. The enclosing sphere turns them away
// before the hierarchy is entered, and narrows the span of the others.
bool MeshGeometry::clipToBounds(const Ray& ray, float& tMin, float& tMax) const {
    const Vec3 oc = ray.origin - bounds_.center;
    const float b = -dot(oc, ray.direction);
    const Vec3 closest = oc + ray.direction * b;
    // A margin for rounding: the sphere holds every corner exactly
    const float radius = bounds_.radius * 1.0001f;
    const float discriminant = radius * radius - dot(closest, closest);
    if (discriminant < 0.0f) return false;
    const float root = std::sqrt(discriminant);
    tMin = std::max(tMin, b - root);
    tMax = std::min(tMax, b + root);
    return tMax > tMin;
}

Vec3 MeshGeometry::toFrame(const Vec3& p) const {
    return framed_ ? (p - frameShift_) * frameInverse_ : p;
}

// In the plain frame a ray is handed on as it is, so ordinary models trace
// exactly as they always did; otherwise it starts where it enters the
// model's sphere, which keeps its origin near the model.
float MeshGeometry::traceStart(const Ray& ray, float tMin) const {
    return framed_ || farFromZero(ray.origin) ? tMin : 0.0f;
}

void MeshGeometry::setTraceRay(RTCRay& query, const Ray& ray, float start, float tMin, float tMax) const {
    const Vec3 origin = start == 0.0f ? ray.origin : ray.origin + ray.direction * start;
    setRay(query, toFrame(origin), ray, (tMin - start) * frameInverse_, (tMax - start) * frameInverse_);
}

bool MeshGeometry::intersect(const Ray& ray, float tMin, float tMax, MeshHit& hit) const {
    if (!clipToBounds(ray, tMin, tMax)) return false;
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRayHit query;
    const float start = traceStart(ray, tMin);
    setTraceRay(query.ray, ray, start, tMin, tMax);
    query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    query.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(handles_->scene, &context, &query);
    if (query.hit.geomID == RTC_INVALID_GEOMETRY_ID) return false;
    describeHit(ray, query.hit.primID, start + query.ray.tfar * frameScale_, query.hit.u, query.hit.v,
                Vec3(query.hit.Ng_x, query.hit.Ng_y, query.hit.Ng_z), hit);
    return true;
}

void MeshGeometry::intersectBundle(const Ray* rays, int count, float tMin, float tMax, MeshHit* hits,
                                   bool* found) const {
    // A framed model, or a ray from far away, goes one ray at a time (see
    // traceStart); bundles are for the eye rays of ordinary models.
    bool plain = !framed_;
    for (int i = 0; i < count && plain; ++i) plain = !farFromZero(rays[i].origin);
    if (!plain) {
        for (int i = 0; i < count; ++i) found[i] = intersect(rays[i], tMin, tMax, hits[i]);
        return;
    }
    alignas(64) int valid[kRayBundleSize];
    alignas(64) RTCRayHit16 query;
    bool any = false;
    for (int i = 0; i < kRayBundleSize; ++i) {
        // Lanes left out are marked both ways the library reads packets: by
        // the valid mask, and by an empty span (tnear above tfar), with
        // finite values throughout.
        const Ray ray = i < count ? rays[i] : Ray{Vec3(), Vec3(0.0f, 0.0f, 1.0f)};
        float near = tMin, far = tMax;
        valid[i] = i < count && clipToBounds(ray, near, far) ? -1 : 0;
        if (!valid[i]) near = 0.0f, far = -std::numeric_limits<float>::infinity();
        any = any || valid[i];
        query.ray.org_x[i] = ray.origin.x;
        query.ray.org_y[i] = ray.origin.y;
        query.ray.org_z[i] = ray.origin.z;
        query.ray.dir_x[i] = ray.direction.x;
        query.ray.dir_y[i] = ray.direction.y;
        query.ray.dir_z[i] = ray.direction.z;
        query.ray.tnear[i] = near;
        query.ray.tfar[i] = far;
        query.ray.time[i] = 0.0f;
        query.ray.mask[i] = ~0u;
        query.ray.id[i] = 0;
        query.ray.flags[i] = 0;
        query.hit.geomID[i] = RTC_INVALID_GEOMETRY_ID;
        query.hit.instID[0][i] = RTC_INVALID_GEOMETRY_ID;
    }
    for (int i = 0; i < count; ++i) found[i] = false;
    if (!any) return;
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    context.flags = RTC_INTERSECT_CONTEXT_FLAG_COHERENT;
    rtcIntersect16(valid, handles_->scene, &context, &query);
    // The hit triangles' records are fetched together, not one after another
    for (int i = 0; i < count; ++i) {
        if (!valid[i] || query.hit.geomID[i] == RTC_INVALID_GEOMETRY_ID) continue;
        const char* record = reinterpret_cast<const char*>(&triangles_[query.hit.primID[i]]);
        __builtin_prefetch(record);
        __builtin_prefetch(record + sizeof(MeshTriangle) - 1);
    }
    for (int i = 0; i < count; ++i) {
        if (!valid[i] || query.hit.geomID[i] == RTC_INVALID_GEOMETRY_ID) continue;
        found[i] = true;
        describeHit(rays[i], query.hit.primID[i], query.ray.tfar[i], query.hit.u[i], query.hit.v[i],
                    Vec3(query.hit.Ng_x[i], query.hit.Ng_y[i], query.hit.Ng_z[i]), hits[i]);
    }
}

void MeshGeometry::describeHit(const Ray& ray, std::uint32_t index, float t, float b1, float b2, const Vec3& normal,
                               MeshHit& hit) const {
    // Where, on which side
    const MeshTriangle& triangle = triangles_[index];
    const float b0 = 1.0f - b1 - b2;
    hit.t = t;
    hit.point = positions_[triangle.corner[0]] * b0 + positions_[triangle.corner[1]] * b1 +
                positions_[triangle.corner[2]] * b2;
    Vec3 geometric = normalize(normal);
    if (dot(geometric, ray.direction) > 0.0f) geometric = -geometric;
    Vec3 shading = normalize(triangle.normal[0] * b0 + triangle.normal[1] * b1 + triangle.normal[2] * b2);
    if (dot(shading, geometric) < 0.0f) shading = -shading;
    if (!(dot(shading, shading) > 0.5f)) shading = geometric;  // opposite corner normals cancelled
    hit.geometricNormal = geometric;
    hit.shadingNormal = shading;

    // Texture coordinates
    if (triangle.hasUv) {
        hit.u = triangle.u[0] * b0 + triangle.u[1] * b1 + triangle.u[2] * b2;
        hit.v = triangle.v[0] * b0 + triangle.v[1] * b1 + triangle.v[2] * b2;
    } else {
        const Vec3 d = normalize(hit.point - bounds_.center);
        sphereUv(Vec3(unturnCos_ * d.x + unturnSin_ * d.z, d.y, unturnCos_ * d.z - unturnSin_ * d.x), hit.u, hit.v);
    }
}

bool MeshGeometry::occluded(const Ray& ray, float tMin, float tMax) const {
    if (!clipToBounds(ray, tMin, tMax)) return false;
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRay query;
    setTraceRay(query, ray, traceStart(ray, tMin), tMin, tMax);
    rtcOccluded1(handles_->scene, &context, &query);
    // A blocked ray comes back with tfar set to minus infinity.
    return query.tfar < 0.0f;
}

}  // namespace flakecoat::preview
