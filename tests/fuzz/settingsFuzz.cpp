// --set values: each input line is one NAME=VALUE text, applied as
// `flakecoat render --set` applies it to Maya, mental ray or both (the first
// byte chooses), and a settled set shades a tiny image with each host.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "modulePaths.h"
#include "settings/hostSettings.h"

namespace fp = flakecoat::preview;

namespace {

std::vector<std::unique_ptr<fp::RenderHost>>* hosts = nullptr;  // kept until the process ends
const fp::Scene* scene = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    hosts = new std::vector<std::unique_ptr<fp::RenderHost>>;
    for (const char* name : {"maya", "mentalray"}) {
        std::string error;
        hosts->push_back(fp::loadRenderHost(name, defaultModulePath(""), error));
        if (!hosts->back()) {
            std::fprintf(stderr, "fuzz_settings: %s\n", error.c_str());
            std::exit(2);
        }
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
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::string::size_type start = 0; start <= text.size();) {
        const std::string::size_type end = std::min(text.find('\n', start), text.size());
        texts.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    // The chosen hosts, borrowed for the call
    std::vector<std::unique_ptr<fp::RenderHost>> chosen;
    for (int h = 0; h < 2; ++h)
        if (choice == 0 || choice == h + 1) chosen.push_back(std::move((*hosts)[size_t(h)]));
    std::vector<std::string> notes;
    std::string error;
    if (fp::applySettings(texts, chosen, notes, error)) {
        fp::RenderSettings settings;
        settings.width = 2;
        settings.height = 2;
        settings.samplesPerPixel = 1;
        settings.threads = 1;
        for (const auto& host : chosen) {
            fp::Framebuffer image;
            fp::render(*scene, host->shaderFor(*scene), settings, image);
        }
    }
    for (auto& host : chosen) (*hosts)[host->name() == "maya" ? 0 : 1] = std::move(host);
    return 0;
}
