#ifndef FLAKECOAT_BENCH_STB_PERLIN_H
#define FLAKECOAT_BENCH_STB_PERLIN_H

// stb_perlin_noise3(x, y, z, 0, 0, 0), called out of line.
float peerPerlinNoise3(float x, float y, float z);

#endif
