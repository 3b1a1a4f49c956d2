#ifndef FLAKECOAT_PREVIEW_MESHES_OBJ_LOADER_H
#define FLAKECOAT_PREVIEW_MESHES_OBJ_LOADER_H

// Wavefront OBJ models for the preview: positions (v), normals (vn),
// texture coordinates (vt) and faces (f) of every object and group, polygons
// of any number of corners split into triangles (see polygonSplit.h). Other
// statements (objects, groups, materials, smoothing groups, lines, points,
// tags, free-form geometry) are dropped unread, so their names cost nothing.
//
// The text is read once, line by line, by our checker (objChecker.h), which
// hands the OBJ library only checked statements to assemble; what the
// library makes of them is checked again before it is kept. A bad file is
// refused with its line named: a statement with missing, extra or
// non-numeric values, a number that is not a finite single-precision number
// (as written or as the library read it), a face with fewer than three
// corners, a corner index of 0 or out of range (indices refer to elements
// already read; negative ones count back from the last), more than the
// limits below, or no face at all. Faces of no area are dropped without
// complaint. A UTF-8 byte-order mark at the start is skipped.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/triangleMesh.h"

namespace flakecoat::preview {

// Bounds on what one file may ask for, far beyond the models a preview
// shows (about 1 million triangles render in a second or two) and short of
// exhausting memory or time: triangles after polygons are split, elements
// of each kind (v, vn, vt), and the work of splitting concave polygons
// (point-in-triangle tests over the whole file; convex polygons take none
// to speak of).
struct ObjLimits {
    std::size_t maxTriangles = std::size_t(1) << 22;  // 4194304
    std::size_t maxElements = std::size_t(3) << 22;   // 12582912
    std::uint64_t maxSplitWork = std::uint64_t(1) << 28;
};

// Largest file loadObjFile reads.
constexpr std::size_t kMaxObjFileBytes = std::size_t(1) << 30;

// Parses OBJ text into a mesh made ready to shade (see prepareMesh). `name`
// stands for the text in messages, which read "NAME:LINE: what is wrong"
// (or "NAME: what is wrong" for the file as a whole). The entry point of
// every OBJ read, files and tests alike. When `cancel` is raised the parse
// stops soon after and fails with "NAME: interrupted".
//
// Memory: the mesh itself (12 bytes a position, 80 a triangle), the vn and
// vt lists while reading (12 and 8 bytes an element), one batch of the
// checker's (a few MB) and the longest line it keeps.
bool parseObj(std::string_view text, const std::string& name, TriangleMesh& mesh, std::string& error,
              const ObjLimits& limits = ObjLimits(), const std::atomic<bool>* cancel = nullptr);

// Reads the file at `path` (at most kMaxObjFileBytes) as parseObj reads
// text, in pieces, never holding it whole.
bool loadObjFile(const std::string& path, TriangleMesh& mesh, std::string& error,
                 const std::atomic<bool>* cancel = nullptr);

}  // namespace flakecoat::preview

#endif
