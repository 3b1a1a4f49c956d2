#ifndef FLAKECOAT_BENCH_PREVIEW_BENCH_H
#define FLAKECOAT_BENCH_PREVIEW_BENCH_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hosts/renderHost.h"

// The preview benchmarks are registered at start-up, once it is known which
// hosts load.
void registerRenderBenchmarks();
void registerShadingCallBenchmarks();
void registerMeshBenchmarks();
void registerLightCostBenchmarks();

// The hosts that load, each loaded once for the whole run (a plug-in loads
// only once per process), by name.
const std::vector<std::pair<std::string, flakecoat::preview::RenderHost*>>& benchmarkHosts();

#endif
