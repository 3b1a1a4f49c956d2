#ifndef FLAKECOAT_PREVIEW_KERNEL_MESH_GEOMETRY_H
#define FLAKECOAT_PREVIEW_KERNEL_MESH_GEOMETRY_H

// A painted model placed in the scene and made traceable: its triangles in
// an Embree 3 bounding-volume hierarchy, with what shading needs of each
// hit. Built once before rendering, then only read, from any thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kernel/shapes.h"
#include "kernel/triangleMesh.h"

struct RTCRay;

namespace flakecoat::preview {

// A ray's nearest hit on the model. Both normals are unit and lie on the
// side the ray came from: the geometric normal is the triangle's, the
// shading normal the corners' normals interpolated, turned to the
// geometric normal's side when they point the other way.
struct MeshHit {
    float t = 0.0f;
    Vec3 point;
    Vec3 shadingNormal;
    Vec3 geometricNormal;
    float u = 0.0f;
    float v = 0.0f;
};

// The sizes a model may have: its enclosing sphere's radius, and how far
// its centre may lie from the origin. Beyond them the scene's own
// arithmetic (light falling off with the square of distance) and the
// ray-tracing library's range give out.
constexpr float kMinModelRadius = 1e-18f;
constexpr float kMaxModelExtent = 1e18f;

// Rays queried together: at most this many, the widest packet the library
// traverses at once. Neighbouring eye rays share most of their way down the
// hierarchy, so they are cheaper together than one by one.
constexpr int kRayBundleSize = 16;

// How the hierarchy is built: Balanced takes about twice as long as
// QuickBuild and traces about 6% faster. Either finds the same hits.
enum class HierarchyQuality { Balanced, QuickBuild };

class MeshGeometry {
public:
    // Places a prepared mesh (see prepareMesh) with at least one triangle:
    // the model keeps its coordinates, turned by rotateDegrees about the
    // vertical axis through the centre of its enclosing sphere. Null with
    // error set when the model's size is beyond the bounds above, when the
    // ray-tracing library cannot build it, or when `cancel` is raised
    // during the build (error "interrupted").
    static std::shared_ptr<const MeshGeometry> build(TriangleMesh mesh, float rotateDegrees, std::string& error,
                                                     const std::atomic<bool>* cancel = nullptr,
                                                     HierarchyQuality quality = HierarchyQuality::Balanced);
    ~MeshGeometry();
    MeshGeometry(const MeshGeometry&) = delete;
    MeshGeometry& operator=(const MeshGeometry&) = delete;

    // The nearest hit in (tMin, tMax). Texture coordinates are the
    // triangle's own, interpolated; a triangle without them takes the
    // ball's convention (see sphereUv) for the direction from the enclosing
    // sphere's centre to the hit, in the model's unturned coordinates.
    bool intersect(const Ray& ray, float tMin, float tMax, MeshHit& hit) const;
    // The same for `count` (at most kRayBundleSize) rays at once: found[i]
    // and hits[i] are exactly what intersect gives for rays[i].
    void intersectBundle(const Ray* rays, int count, float tMin, float tMax, MeshHit* hits, bool* found) const;
    // Whether any triangle lies on the ray in (tMin, tMax).
    bool occluded(const Ray& ray, float tMin, float tMax) const;

    // The model's enclosing sphere (unchanged by the turn) and lowest height.
    const Sphere& enclosingSphere() const { return bounds_; }
    float lowestPoint() const { return lowest_; }
    std::size_t triangleCount() const { return triangles_.size(); }
    // Every corner a triangle uses, turned, for framing the model: a stray
    // vertex no triangle names must not widen the frame.
    const Vec3* corners() const { return usedCorners_.empty() ? positions_.data() : usedCorners_.data(); }
    std::size_t cornerCount() const { return usedCorners_.empty() ? positions_.size() - 1 : usedCorners_.size(); }

private:
    MeshGeometry() = default;
    // Narrows (tMin, tMax) to the part of the ray inside the enclosing
    // sphere; false when nothing is left.
    bool clipToBounds(const Ray& ray, float& tMin, float& tMax) const;
    // The library traces a model far from unit size in a frame of its own,
    // centred on it and scaled by its radius, where its precision holds;
    // a model of ordinary size keeps its coordinates (scale 1).
    Vec3 toFrame(const Vec3& p) const;
    float traceStart(const Ray& ray, float tMin) const;
    void setTraceRay(RTCRay& query, const Ray& ray, float start, float tMin, float tMax) const;
    // The hit at barycentric (b1, b2) on triangle `index`, t along the ray;
    // normal is the library's unnormalised geometric normal.
    void describeHit(const Ray& ray, std::uint32_t index, float t, float b1, float b2, const Vec3& normal,
                     MeshHit& hit) const;

    struct Handles;
    std::unique_ptr<Handles> handles_;
    // The mesh as prepared; the library reads its corners and indices in
    // place (positions_ ends in one spare element, which the library may
    // read past the last corner). A framed model's corners go to the
    // library as a copy in its frame, framedPositions_, padded alike.
    std::vector<Vec3> positions_;
    std::vector<Vec3> framedPositions_;
    std::vector<Vec3> usedCorners_;  // empty when every position is used
    std::vector<MeshTriangle> triangles_;
    Sphere bounds_;
    float lowest_ = 0.0f;
    bool framed_ = false;
    Vec3 frameShift_;
    float frameScale_ = 1.0f, frameInverse_ = 1.0f;
    float unturnCos_ = 1.0f;  // undoes the turn for texture coordinates
    float unturnSin_ = 0.0f;
};

}  // namespace flakecoat::preview

#endif
