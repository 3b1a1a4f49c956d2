#include <benchmark/benchmark.h>

#include "previewBench.h"

const std::vector<std::pair<std::string, flakecoat::preview::RenderHost*>>& benchmarkHosts() {
    static std::vector<std::unique_ptr<flakecoat::preview::RenderHost>> loaded;
    static std::vector<std::pair<std::string, flakecoat::preview::RenderHost*>> hosts;
    if (loaded.empty()) {
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
