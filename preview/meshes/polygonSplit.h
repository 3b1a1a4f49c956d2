#ifndef FLAKECOAT_PREVIEW_MESHES_POLYGON_SPLIT_H
#define FLAKECOAT_PREVIEW_MESHES_POLYGON_SPLIT_H

// Splits the polygon faces of a model into triangles, whatever their number
// of corners.
//
// A polygon is seen in the plane its corners lie closest to (the normal by
// Newell's method, the dominant axis dropped), turned counter-clockwise.
// A quad is cut along its shorter diagonal unless that cut leaves the quad
// (a concave quad); larger polygons are split by ear clipping: a convex
// corner is cut off when no corner of 180 degrees or more lies in the
// triangle it makes. That is exact for convex polygons (which come out as a
// fan from the first corner) and for the simple concave ones CAD tools
// write; a polygon that crosses itself still comes out as triangles, if not
// a faithful cover of it.
//
// Ear clipping costs time growing with the corners times the concave ones,
// so one splitter holds a bound on its work (point-in-triangle tests) over
// every polygon it splits, one file's faces together, and stops early when
// asked to.

#include <atomic>
#include <cstdint>
#include <vector>

#include "kernel/vec3.h"

namespace flakecoat::preview {

class PolygonSplitter {
public:
    explicit PolygonSplitter(std::uint64_t workBound, const std::atomic<bool>* cancel = nullptr)
        : workLeft_(workBound), cancel_(cancel) {}

    // Appends the triangles of the polygon with these corner positions (in
    // order around it), three indices into `corners` each, to `triangles`.
    // False, with nothing appended, once the work bound is spent or the
    // cancel flag is seen raised (and for every polygon after).
    bool split(const std::vector<Vec3>& corners, std::vector<std::uint32_t>& triangles);

private:
    struct Point {
        double x = 0.0, y = 0.0;
    };
    void project(const std::vector<Vec3>& corners);
    void splitQuad(const std::vector<Vec3>& corners, std::vector<std::uint32_t>& triangles) const;
    bool clipEars(std::vector<std::uint32_t>& triangles);
    bool isEar(std::uint32_t corner);
    void classify(std::uint32_t corner);
    // Takes one unit of work; false once none is left or the split is cancelled.
    bool spend();

    static constexpr std::uint32_t kCheckInterval = 1u << 16;
    std::uint64_t workLeft_;
    const std::atomic<bool>* cancel_;
    std::uint32_t sinceCheck_ = 0;
    bool stopped_ = false;
    // Scratch, kept between polygons so splitting allocates only to grow.
    std::vector<Point> points_;
    std::vector<std::uint32_t> previous_, next_;
    std::vector<char> convex_;
    std::vector<char> listed_;  // in concave_
    std::vector<std::uint32_t> concave_;
};

}  // namespace flakecoat::preview

#endif
