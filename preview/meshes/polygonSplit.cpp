#include "meshes/polygonSplit.h"

#include <cmath>

namespace flakecoat::preview {

namespace {

enum CornerState : char { kConcave = 0, kConvex = 1, kRemoved = 2 };

// Twice the signed area of (a, b, c): positive when counter-clockwise.
template <typename Point>
double orientation(const Point& a, const Point& b, const Point& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Inside or on the edge of the counter-clockwise triangle (a, b, c).
template <typename Point>
bool inTriangle(const Point& p, const Point& a, const Point& b, const Point& c) {
    return orientation(a, b, p) >= 0.0 && orientation(b, c, p) >= 0.0 && orientation(c, a, p) >= 0.0;
}

template <typename Point>
bool samePlace(const Point& a, const Point& b) {
    return a.x == b.x && a.y == b.y;
}

void append(std::vector<std::uint32_t>& triangles, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    triangles.push_back(a);
    triangles.push_back(b);
    triangles.push_back(c);
}

}  // namespace

// In double, relative to the first corner: single-precision coordinates of
// any magnitude keep their differences and products exact enough.
void PolygonSplitter::project(const std::vector<Vec3>& corners) {
    const std::size_t n = corners.size();
    const Vec3& origin = corners[0];
    auto relative = [&](std::size_t i, int axis) {
        const Vec3& p = corners[i];
        const float value = axis == 0 ? p.x : axis == 1 ? p.y : p.z;
        const float base = axis == 0 ? origin.x : axis == 1 ? origin.y : origin.z;
        return double(value) - double(base);
    };
    // Newell's normal
    double normal[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = i + 1 == n ? 0 : i + 1;
        for (int axis = 0; axis < 3; ++axis) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            normal[axis] += (relative(i, u) - relative(j, u)) * (relative(i, v) + relative(j, v));
        }
    }
    int dominant = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (std::fabs(normal[axis]) > std::fabs(normal[dominant])) dominant = axis;
    // The two other axes in cyclic order see the polygon counter-clockwise
    // when its normal points along the dominant axis; mirrored otherwise.
    const int u = (dominant + 1) % 3, v = (dominant + 2) % 3;
    const double mirror = normal[dominant] < 0.0 ? -1.0 : 1.0;
    points_.resize(n);
    for (std::size_t i = 0; i < n; ++i) points_[i] = Point{mirror * relative(i, u), relative(i, v)};
}

// The shorter diagonal, measured as single-precision arithmetic measures it
// (the cut models were always given), unless it leaves a concave quad.
void PolygonSplitter::splitQuad(const std::vector<Vec3>& corners, std::vector<std::uint32_t>& triangles) const {
    const Vec3 diagonal02 = corners[2] - corners[0], diagonal13 = corners[3] - corners[1];
    bool across02 = dot(diagonal02, diagonal02) < dot(diagonal13, diagonal13);
    const Point* p = points_.data();
    const bool inside02 = orientation(p[0], p[1], p[2]) > 0.0 && orientation(p[0], p[2], p[3]) > 0.0;
    const bool inside13 = orientation(p[0], p[1], p[3]) > 0.0 && orientation(p[1], p[2], p[3]) > 0.0;
    if (across02 ? !inside02 && inside13 : !inside13 && inside02) across02 = !across02;
    if (across02) {
        append(triangles, 0, 1, 2);
        append(triangles, 0, 2, 3);
    } else {
        append(triangles, 0, 1, 3);
        append(triangles, 1, 2, 3);
    }
}

void PolygonSplitter::classify(std::uint32_t corner) {
    const bool convex = orientation(points_[previous_[corner]], points_[corner], points_[next_[corner]]) > 0.0;
    convex_[corner] = convex ? kConvex : kConcave;
    if (!convex && !listed_[corner]) {
        listed_[corner] = 1;
        concave_.push_back(corner);
    }
}

// A convex corner whose triangle holds no concave corner. Corners that no
// longer qualify leave the concave list as it is walked.
bool PolygonSplitter::isEar(std::uint32_t corner) {
    if (convex_[corner] != kConvex) return false;
    const std::uint32_t before = previous_[corner], after = next_[corner];
    const Point &a = points_[before], &b = points_[corner], &c = points_[after];
    for (std::size_t k = 0; k < concave_.size();) {
        const std::uint32_t other = concave_[k];
        if (convex_[other] != kConcave) {
            listed_[other] = 0;
            concave_[k] = concave_.back();
            concave_.pop_back();
            continue;
        }
        ++k;
        if (other == before || other == after) continue;
        if (!spend()) return false;
        const Point& p = points_[other];
        // A corner repeated at a triangle's corner (a polygon touching
        // itself there) does not block it.
        if (samePlace(p, a) || samePlace(p, b) || samePlace(p, c)) continue;
        if (inTriangle(p, a, b, c)) return false;
    }
    return true;
}

bool PolygonSplitter::clipEars(std::vector<std::uint32_t>& triangles) {
    const auto n = std::uint32_t(points_.size());
    previous_.resize(n);
    next_.resize(n);
    convex_.assign(n, kConcave);
    listed_.assign(n, 0);
    concave_.clear();
    for (std::uint32_t i = 0; i < n; ++i) {
        previous_[i] = i == 0 ? n - 1 : i - 1;
        next_[i] = i + 1 == n ? 0 : i + 1;
    }
    for (std::uint32_t i = 0; i < n; ++i) classify(i);

    const std::size_t first = triangles.size();
    std::uint32_t remaining = n, corner = 1, misses = 0;
    while (remaining > 3) {
        const bool ear = spend() && isEar(corner);
        if (stopped_) {
            triangles.resize(first);
            return false;
        }
        // With no ear left (a polygon crossing itself, or rounding), the
        // corner at hand is cut regardless, so splitting always ends.
        if (!ear && ++misses < remaining) {
            corner = next_[corner];
            continue;
        }
        const std::uint32_t before = previous_[corner], after = next_[corner];
        append(triangles, before, corner, after);
        convex_[corner] = kRemoved;
        next_[before] = after;
        previous_[after] = before;
        --remaining;
        misses = 0;
        classify(before);
        classify(after);
        corner = after;
    }
    append(triangles, previous_[corner], corner, next_[corner]);
    return true;
}

bool PolygonSplitter::spend() {
    if (workLeft_ == 0 || (++sinceCheck_ >= kCheckInterval && cancel_ && cancel_->load(std::memory_order_relaxed)))
        stopped_ = true;
    if (sinceCheck_ >= kCheckInterval) sinceCheck_ = 0;
    if (stopped_) return false;
    --workLeft_;
    return true;
}

bool PolygonSplitter::split(const std::vector<Vec3>& corners, std::vector<std::uint32_t>& triangles) {
    if (stopped_) return false;
    if (corners.size() < 3) return true;
    if (corners.size() == 3) {
        append(triangles, 0, 1, 2);
        return true;
    }
    project(corners);
    if (corners.size() == 4) {
        splitQuad(corners, triangles);
        return true;
    }
    return clipEars(triangles);
}

}  // namespace flakecoat::preview
