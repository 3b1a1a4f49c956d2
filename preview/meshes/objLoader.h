#ifndef FLAKECOAT_PREVIEW_MESHES_OBJ_LOADER_H
#define FLAKECOAT_PREVIEW_MESHES_OBJ_LOADER_H

// Wavefront OBJ models for the preview: positions (v), normals (vn),
// texture coordinates (vt) and faces (f) of every object and group, polygons
// split into triangles. Other statements (materials, smoothing groups,
// lines, points, tags, free-form geometry) are ignored.
//
// The text is checked line by line before it is assembled, so a bad file is
// refused with its line named: a statement with missing, extra or
// non-numeric values, a coordinate that is not a finite single-precision
// number, a face with fewer than three corners (or more than the limit), a
// corner index of 0 or out of range (indices refer to elements already read; negative ones count
// back from the last), more than the limits below, or no face at all. Faces
// of no area are dropped without complaint.

#include <cstddef>
#include <string>
#include <string_view>

#include "kernel/triangleMesh.h"

namespace flakecoat::preview {

// Bounds on what one file may ask for, far beyond the models a preview
// shows (about 1 million triangles render in a second or two) and short of
// exhausting memory or time: triangles after polygons are split, elements
// of each kind (v, vn, vt), and corners of one face (splitting a polygon
// by ear clipping takes time growing with the cube of its corners).
struct ObjLimits {
    std::size_t maxTriangles = std::size_t(1) << 22;  // 4194304
    std::size_t maxElements = std::size_t(3) << 22;   // 12582912
    std::size_t maxFaceCorners = 256;
};

// Largest file loadObjFile reads.
constexpr std::size_t kMaxObjFileBytes = std::size_t(1) << 30;

// Parses OBJ text into a mesh made ready to shade (see prepareMesh). `name`
// stands for the text in messages, which read "NAME:LINE: what is wrong"
// (or "NAME: what is wrong" for the file as a whole). The entry point of
// every OBJ read, files and tests alike.
bool parseObj(std::string_view text, const std::string& name, TriangleMesh& mesh, std::string& error,
              const ObjLimits& limits = ObjLimits());

// Reads the file at `path` and parses it.
bool loadObjFile(const std::string& path, TriangleMesh& mesh, std::string& error);

}  // namespace flakecoat::preview

#endif
