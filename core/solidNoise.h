#ifndef FLAKECOAT_CORE_SOLID_NOISE_H
#define FLAKECOAT_CORE_SOLID_NOISE_H

namespace flakecoat {

// Three-dimensional gradient lattice noise, scaled by 1.5. Its tables are
// built once per process, on the first call, from srandom(1)/random(); the
// first calls may come from several threads at once. Callers pass
// coordinates offset far into the positive range.
float solidNoise(float x, float y, float z);

// Builds the tables now if no call has built them yet, exactly as a first
// solidNoise call would (it reseeds the C library's generator with 1). For
// callers that sample the noise only when needed but keep the build where
// their first sample would have made it.
void prepareSolidNoise();

}  // namespace flakecoat

#endif
