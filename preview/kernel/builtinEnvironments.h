#ifndef FLAKECOAT_PREVIEW_KERNEL_BUILTIN_ENVIRONMENTS_H
#define FLAKECOAT_PREVIEW_KERNEL_BUILTIN_ENVIRONMENTS_H

// Environments the program draws itself, as latitude-longitude images in
// linear RGB, so that lighting can be judged without an image file:
//   studio    a dark room with two softboxes (a large key at the front
//             left, a tall strip at the right) and a dim panel overhead
//   overcast  an evenly clouded sky, three times as bright at the zenith
//             as at the horizon, over a grey ground
//   sun       a clear blue sky with a small, very bright sun at the front
//             left, some 33 degrees high, over a warm grey ground
// Each is made once per process and is the same on every run.

#include <string>

#include "kernel/environment.h"

namespace flakecoat::preview {

bool isBuiltinEnvironment(const std::string& name);
const char* builtinEnvironmentNames();  // "studio, overcast, sun"
// The image of a built-in environment (empty for another name).
const LatLongImage& builtinEnvironment(const std::string& name);

// Where the built-in sun is: the unit direction towards it.
Vec3 builtinSunDirection();

}  // namespace flakecoat::preview

#endif
