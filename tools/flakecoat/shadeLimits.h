#ifndef FLAKECOAT_TOOLS_SHADE_LIMITS_H
#define FLAKECOAT_TOOLS_SHADE_LIMITS_H

#include <cstddef>

// Bounds on one line of `flakecoat shade` input, checked before anything is
// allocated for it. A sample with every key and a thousand lights takes
// about 150 kB, so neither bound stands in the way of real input.
constexpr std::size_t kMaxShadeLineBytes = std::size_t(1) << 20;  // 1 MiB
constexpr std::size_t kMaxShadeLights = 1024;

#endif
