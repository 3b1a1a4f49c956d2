#include "shaderTestSupport.h"

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace testSupport {

const mentalrayHost::ShaderLibrary& shaderLibrary() {
    static const std::unique_ptr<mentalrayHost::ShaderLibrary> library = [] {
        std::string error;
        auto opened = mentalrayHost::ShaderLibrary::open(TARN_FLAKECOAT_PATH, STANDIN_MODULE_PATH, error);
        if (!opened) {
            std::cerr << error << "\n";
            std::abort();
        }
        return opened;
    }();
    return *library;
}

const mentalrayHost::ShaderDeclaration& declaration() {
    static const mentalrayHost::ShaderDeclaration declared = [] {
        mentalrayHost::ShaderDeclaration read;
        std::string error;
        if (!mentalrayHost::readShaderDeclaration(TARN_FLAKECOAT_MI_PATH, read, error)) {
            std::cerr << error << "\n";
            std::abort();
        }
        return read;
    }();
    return declared;
}

float moduleNoise(float u, float v) {
    using Noise = miScalar (*)(miScalar, miScalar);
    static const Noise noise = reinterpret_cast<Noise>(dlsym(shaderLibrary().moduleHandle(), "mi_noise_2d"));
    return noise(u, v);
}

miColor shade(mentalrayHost::ParameterBlock& block, mentalrayHost::RendererServices& services,
              const mentalrayHost::SurfaceHit& hit, miColor entry) {
    mentalrayHost::ShadingSample sample(hit, block.function(), &services);
    miColor result = entry;
    shaderLibrary().shade(&result, &sample.state(), &block.as<flakeCoatParameters>());
    return result;
}

mentalrayHost::ParameterBlock lightsOnlyBlock(int lights) {
    mentalrayHost::ParameterBlock block(testSupport::declaration(), lights);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.color = {1.0f, 1.0f, 1.0f, 1.0f};
    p.specularColor = {1.0f, 1.0f, 1.0f, 1.0f};
    p.reflectivity = 0.0f;
    p.n_light = lights;
    for (int i = 0; i < lights; ++i) block.arrayElements()[i] = miTag(i + 1);
    return block;
}

mentalrayHost::SurfaceHit hitFromAbove() {
    mentalrayHost::SurfaceHit hit;
    hit.origin = {0.0f, 0.0f, 5.0f};
    hit.direction = {0.0f, 0.0f, -1.0f};
    hit.distance = 5.0f;
    hit.normal = hit.geometricNormal = {0.0f, 0.0f, 1.0f};
    hit.u = 0.25f;
    hit.v = 0.75f;
    return hit;
}

}  // namespace testSupport
