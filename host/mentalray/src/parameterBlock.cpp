#include <mentalrayHost/parameterBlock.h>

#include <algorithm>

namespace mentalrayHost {

void setDefaultParameters(flakeCoatParameters& p) {
    p.color = {0.209f, 1.0f, 0.182f, 1.0f};
    p.ambientColor = {0.0f, 0.0f, 0.0f, 1.0f};
    p.incandescence = {0.0f, 0.0f, 0.0f, 1.0f};
    p.normalCamera = {0.0f, 0.0f, 0.0f};
    p.diffuse = 0.5f;
    p.depthRangeMin = 40.0f;
    p.depthRangeMax = 10.0f;
    p.refractiveIndex = {1.4f, 1.4f, 1.4f};
    p.specularMin = 50.0f;
    p.specularMax = 90.0f;
    p.specularPower = 0.5f;
    p.specularColor = {1.0f, 1.0f, 1.0f, 1.0f};
    p.frequencyX = 100.0f;
    p.frequencyY = 100.0f;
    p.normalDeviation = 1.0f;
    p.seed = 1234;
    p.reflectivity = 0.5f;
    p.useIrradiance = miFALSE;
    p.irradianceColor = {1.0f, 1.0f, 1.0f, 1.0f};
    p.i_light = 0;
    p.n_light = 0;
}

ParameterBlock::ParameterBlock(int lightSlots) : lightSlots_(std::max(lightSlots, 0)) {
    // The struct holds one light slot; further slots follow it
    const std::size_t bytes = sizeof(flakeCoatParameters) + std::size_t(std::max(lightSlots_ - 1, 0)) * sizeof(miTag);
    blockWords_ = bytes / sizeof(std::uint32_t);
    words_.assign(2 * blockWords_, 0u);
    setDefaultParameters(parameters());
    std::fill(lights(), lights() + lightSlots_, miTag(0));
}

void ParameterBlock::setConnected(const void* field, bool connected) {
    const std::size_t offset =
        std::size_t(static_cast<const unsigned char*>(field) - reinterpret_cast<const unsigned char*>(words_.data()));
    words_[blockWords_ + offset / sizeof(std::uint32_t)] = connected ? 1u : 0u;
    function_.ghost_offs = ghostOffset();
}

}  // namespace mentalrayHost
