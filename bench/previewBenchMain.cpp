#include <benchmark/benchmark.h>

#include "previewBench.h"

namespace {
// Released at the end of main, while the host stand-ins' own state still
// exists (static destruction would come after it).
std::vector<std::unique_ptr<flakecoat::preview::RenderHost>> loaded;
std::vector<std::pair<std::string, flakecoat::preview::RenderHost*>> hosts;
bool hostsLoaded = false;
}  // namespace

const std::vector<std::pair<std::string, flakecoat::preview::RenderHost*>>& benchmarkHosts() {
    if (!hostsLoaded) {
        hostsLoaded = true;
        for (const char* name : {"maya", "mentalray"}) {
            std::string error;
            std::unique_ptr<flakecoat::preview::RenderHost> host =
                flakecoat::preview::loadRenderHost(name, FLAKECOAT_LIBRARY_DIR, error);
            if (!host) continue;
            hosts.push_back({name, host.get()});
            loaded.push_back(std::move(host));
        }
    }
    return hosts;
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerRenderBenchmarks();
    registerShadingCallBenchmarks();
    registerMeshBenchmarks();
    registerLightCostBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    hosts.clear();
    loaded.clear();
    return 0;
}
