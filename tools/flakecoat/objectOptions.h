#ifndef FLAKECOAT_TOOLS_OBJECT_OPTIONS_H
#define FLAKECOAT_TOOLS_OBJECT_OPTIONS_H

// The options choosing what carries the paint, for every command that
// renders: --shape ball|swatch, --mesh FILE.obj, --rotate DEG.

#include <string>

#include <CLI/CLI.hpp>

#include "meshes/paintedObject.h"

void addPaintedObjectOptions(CLI::App& command, flakecoat::preview::PaintedObject& object);

// What can be checked before the model is read: a known shape, not both a
// shape and a mesh, a finite turn and only for a model.
bool checkPaintedObject(const flakecoat::preview::PaintedObject& object, std::string& error);

#endif
