#ifndef FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_LIGHTS_H
#define FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_LIGHTS_H

// The environment as a set of directional lights, for shaders that light
// only with the lights they are given.
//
// The lights come from a median cut of the latitude-longitude image: the
// region holding the most light is split across its longer side (its width
// measured at its mid latitude) where its light divides in half, until
// there are N regions; each region becomes one directional light from its
// light-weighted mean direction, carrying the region's radiance times solid
// angle, so the lights sum to the environment's light. Regions hold about
// equal light, so a sun ends in many small regions (sharp shadows) and a
// dim sky in a few large ones; the cut is exact and free of noise, unlike
// sampling directions at random.
//
// A shading point does not see all N: it takes a few picks, stratified over
// the lights' running sum of luminance with the sample's own random
// numbers, each weighted by one over its probability. The cost per point is
// the picks' shadow rays whatever N is.

#include <vector>

#include "kernel/environment.h"
#include "kernel/lights.h"

namespace flakecoat::preview {

// Picks of the environment lights per shading point: with the environment
// alone, and beside a rig, which carries the key light (both keep a render
// under twice the studio rig's time).
constexpr int kEnvironmentPicks = 4;
constexpr int kEnvironmentPicksBesideRig = 2;
// The median cut runs on the environment averaged down to this width.
constexpr int kEnvironmentLightMapWidth = 512;

struct EnvironmentLights {
    std::vector<Light> lights;      // directional, in world space
    std::vector<float> cumulative;  // running sum of the lights' luminance
    int picks = 0;                  // per shading point; 0: none

    bool empty() const { return picks == 0; }
};

// N lights from the environment as the world sees it (turned as it is);
// none for a count of 0 or an environment without light. Over a floor the
// lower half is left out: the floor hides it from everything above it, and
// lights there would only waste picks.
EnvironmentLights makeEnvironmentLights(const Environment& environment, int count, bool overFloor,
                                        int picks = kEnvironmentPicks);

// Pick `pick` of `pickCount` at a shading point, from u in [0, 1): the
// light and the weight (one over its probability per pick) that makes the
// mean of the picks' light the whole environment's. With as many picks as
// lights every light is taken once (the weight is then the number of
// picks).
const Light& pickEnvironmentLight(const EnvironmentLights& lights, int pick, int pickCount, float u, float& weight);

float luminance(const Color& c);

}  // namespace flakecoat::preview

#endif
