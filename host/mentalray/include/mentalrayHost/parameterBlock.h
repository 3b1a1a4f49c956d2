#ifndef MENTALRAY_HOST_PARAMETER_BLOCK_H
#define MENTALRAY_HOST_PARAMETER_BLOCK_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include <shader.h>

#include <mentalrayHost/shaderDeclaration.h>

namespace mentalrayHost {

// A parameter block as the renderer builds it for one material from the
// shader's declaration: every declared field at its offset with its default,
// `arraySlots` elements for the declaration's last array, and behind the block
// its connection words (one 32-bit word per 4-byte field, at the distance the
// function record's ghost_offs gives). Build it once and hand it to any
// number of samples; the shader only reads it.
class ParameterBlock {
public:
    explicit ParameterBlock(const ShaderDeclaration& declaration, int arraySlots = 0);

    void* data() { return words_.data(); }
    const void* data() const { return words_.data(); }
    std::size_t size() const { return blockWords_ * sizeof(std::uint32_t); }

    // The block seen through the shader's own record type.
    template <class Block>
    Block& as() {
        return *reinterpret_cast<Block*>(words_.data());
    }

    // A field by its offset in the block.
    template <class Value>
    Value& at(int offset) {
        return *reinterpret_cast<Value*>(reinterpret_cast<unsigned char*>(words_.data()) + offset);
    }

    // The elements of the declaration's last array (null without one), and
    // their index counted from that array's slot: the first index to store
    // in i_NAME for the first element.
    miTag* arrayElements() { return arrayOffset_ >= 0 ? &at<miTag>(elementsOffset_) : nullptr; }
    int firstElementIndex() const {
        return arrayOffset_ >= 0 ? (elementsOffset_ - arrayOffset_) / arrayElementSize_ : 0;
    }

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
    int arrayOffset_ = -1;  // the last array's slot, or -1
    int arrayElementSize_ = 4;
    int elementsOffset_ = 0;
    std::size_t blockWords_;
    std::vector<std::uint32_t> words_;  // the block, then its connection words
    miFunction function_{0, 0};
};

}  // namespace mentalrayHost

#endif
