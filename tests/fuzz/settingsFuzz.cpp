// --set values: each input line is one NAME=VALUE text, set on looks of
// Maya, mental ray or both (the first byte chooses) as render sets them; a
// settled look shades a tiny image with each host.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "modulePaths.h"

namespace fp = flakecoat::preview;

namespace {

fp::RenderHosts* hosts = nullptr;  // both, kept until the process ends
const fp::Scene* scene = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fp::HostModules modules;  // where the tool finds them
    modules.mayaPlugin = defaultModulePath(kPluginFile);
    modules.shaderLibrary = defaultModulePath(kShaderLibraryFile);
    modules.shaderDeclaration = defaultModulePath(kShaderDeclarationFile);
    modules.rendererModule = defaultModulePath(kRendererModuleFile);
    hosts = new fp::RenderHosts;
    std::string error;
    if (!fp::loadRenderHosts({"maya", "mentalray"}, modules, *hosts, error)) {
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

    std::vector<const fp::RenderHost*> chosen;
    std::vector<fp::Look> looks;
    for (int h = 0; h < 2; ++h)
        if (choice == 0 || choice == h + 1) {
            chosen.push_back((*hosts)[size_t(h)].get());
            looks.push_back(chosen.back()->look());
        }
    std::vector<std::string> notes;
    std::string error;
    if (!fp::setOnEveryHost(texts, looks, notes, error)) return 0;
    fp::RenderSettings render;
    render.width = 2;
    render.height = 2;
    render.samplesPerPixel = 1;
    render.threads = 1;
    for (size_t h = 0; h < chosen.size(); ++h) {
        fp::Framebuffer image;
        fp::render(*scene, *chosen[h]->makeShader(*scene, looks[h]), render, image);
    }
    return 0;
}
