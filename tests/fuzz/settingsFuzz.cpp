// --set values: each input line is one NAME=VALUE text, checked by the
// tool's own settingsPerHost for Maya, mental ray or both (the first byte
// chooses) and applied; a settled set shades a tiny image with each host.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "kernel/renderer.h"
#include "renderSetup.h"

namespace {

RenderHosts* hosts = nullptr;  // both, kept until the process ends
const fp::Scene* scene = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::cerr.rdbuf(nullptr);  // the notes on hosts a setting skips
    hosts = new RenderHosts;
    std::string error;
    if (!loadHosts({"maya", "mentalray"}, *hosts, error)) {
        std::fprintf(stderr, "fuzz_settings: %s\n", error.c_str());
        std::exit(2);
    }
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);
    scene = new fp::Scene(fp::shaderBallScene(1.0f, std::move(lights), fp::Environment()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int choice = data[0] % 3;  // both, Maya, mental ray
    std::vector<std::string> texts;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::string::size_type start = 0; start <= text.size();) {
        const std::string::size_type end = std::min(text.find('\n', start), text.size());
        texts.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    // The chosen hosts, borrowed for the call
    RenderHosts chosen;
    for (int h = 0; h < 2; ++h)
        if (choice == 0 || choice == h + 1) chosen.push_back(std::move((*hosts)[size_t(h)]));
    std::vector<std::vector<fp::ParameterOverride>> settings;
    std::string error;
    bool applied = settingsPerHost(texts, chosen, "fuzz: ", settings, error);
    for (size_t h = 0; applied && h < chosen.size(); ++h) applied = chosen[h]->applyOverrides(settings[h], error);
    if (applied) {
        fp::RenderSettings render;
        render.width = 2;
        render.height = 2;
        render.samplesPerPixel = 1;
        render.threads = 1;
        for (const auto& host : chosen) {
            fp::Framebuffer image;
            fp::render(*scene, host->shaderFor(*scene), render, image);
        }
    }
    for (auto& host : chosen) (*hosts)[host->name() == "maya" ? 0 : 1] = std::move(host);
    return 0;
}
