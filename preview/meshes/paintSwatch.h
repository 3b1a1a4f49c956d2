#ifndef FLAKECOAT_PREVIEW_MESHES_PAINT_SWATCH_H
#define FLAKECOAT_PREVIEW_MESHES_PAINT_SWATCH_H

// The paint swatch: the shape paint is judged on, a piece of a car body. A
// panel 2.4 wide and 1.6 high, curved in both directions (radii 3 across
// and 2.5 up), broken by a character line (a ridge with a tight rounded
// crest) running across it slightly aslant, its edges rolled back through a
// quarter circle like a door skin's hem. It faces +z, leans back by 12
// degrees and stands on y = 0. Texture coordinates run from 0 to 1 across
// (u) and up (v), hem included; normals are the smooth vertex normals.

#include "kernel/triangleMesh.h"

namespace flakecoat::preview {

// `columns` x `rows` cells of two triangles each; the default resolves the
// crest and the hem finely enough for a 2048-pixel image.
TriangleMesh paintSwatch(int columns = 360, int rows = 240);

}  // namespace flakecoat::preview

#endif
