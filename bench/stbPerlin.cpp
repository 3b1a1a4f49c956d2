// The peer noise, compiled in a translation unit of its own so that the
// benchmark calls it out of line, as it calls solidNoise.
#define STB_PERLIN_IMPLEMENTATION
#include <stb/stb_perlin.h>

#include "stbPerlin.h"

float peerPerlinNoise3(float x, float y, float z) { return stb_perlin_noise3(x, y, z, 0, 0, 0); }
