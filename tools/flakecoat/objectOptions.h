#ifndef FLAKECOAT_TOOLS_OBJECT_OPTIONS_H
#define FLAKECOAT_TOOLS_OBJECT_OPTIONS_H

// The options choosing what carries the paint, for every command that
// renders: --shape ball|swatch, --mesh FILE.obj, --rotate DEG.

#include <CLI/CLI.hpp>

#include "meshes/paintedObject.h"

void addPaintedObjectOptions(CLI::App& command, flakecoat::preview::PaintedObject& object);

#endif
