#ifndef MENTALRAY_HOST_PARAMETER_BLOCK_H
#define MENTALRAY_HOST_PARAMETER_BLOCK_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include <flakeCoatParameters.h>
#include <shader.h>

namespace mentalrayHost {

// The defaults of tarn_flakeCoat.mi: the Maya node's where it has the
// parameter; no normal offset, white specular and irradiance tints,
// irradiance off, no lights.
void setDefaultParameters(flakeCoatParameters& parameters);

// A parameter block as the renderer builds it for one material: the fixed
// fields, `lightSlots` light tags, and behind the block its connection words
// (one 32-bit word per 4-byte field, at the distance the function record's
// ghost_offs gives). Build it once and hand it to any number of samples; the
// shader only reads it.
class ParameterBlock {
public:
    explicit ParameterBlock(int lightSlots = 0);

    flakeCoatParameters& parameters() { return *reinterpret_cast<flakeCoatParameters*>(words_.data()); }
    const flakeCoatParameters& parameters() const {
        return *reinterpret_cast<const flakeCoatParameters*>(words_.data());
    }
    miTag* lights() { return parameters().light; }
    int lightSlots() const { return lightSlots_; }

    // Marks the parameter at `field` (inside this block) as fed by another
    // shader, so the shader asks mi_phen_eval for its value; turns the
    // function record's ghost offset on.
    void setConnected(const void* field, bool connected = true);

    // The shader's function record; ghost_offs is 0 until a parameter is
    // connected.
    miFunction& function() { return function_; }
    const miFunction& function() const { return function_; }

    // Bytes from a field to its connection word.
    int ghostOffset() const { return int(blockWords_ * sizeof(std::uint32_t)); }

private:
    int lightSlots_;
    std::size_t blockWords_;
    std::vector<std::uint32_t> words_;  // the block, then its connection words
    miFunction function_{0, 0};
};

}  // namespace mentalrayHost

#endif
