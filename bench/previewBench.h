#ifndef FLAKECOAT_BENCH_PREVIEW_BENCH_H
#define FLAKECOAT_BENCH_PREVIEW_BENCH_H

// The preview benchmarks are registered at start-up, once it is known which
// hosts load.
void registerRenderBenchmarks();
void registerShadingCallBenchmarks();

#endif
