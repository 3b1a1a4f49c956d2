#include <mentalrayHost/parameterBlock.h>

#include <algorithm>

namespace mentalrayHost {

ParameterBlock::ParameterBlock(const ShaderDeclaration& declaration, int arraySlots) {
    const DeclaredParameter* array = nullptr;
    for (const DeclaredParameter& parameter : declaration.parameters)
        if (parameter.isArray) array = &parameter;

    // An array that ends the block keeps its elements from its own slot on;
    // any other array's elements follow the block, past the fields after it.
    int bytes = declaration.blockSize;
    if (array) {
        arrayOffset_ = array->offset;
        arrayElementSize_ = array->size;
        const bool endsBlock = array->offset + array->size == declaration.blockSize;
        elementsOffset_ = endsBlock ? array->offset : declaration.blockSize;
        bytes = std::max(bytes, elementsOffset_ + std::max(arraySlots, 0) * array->size);
    }
    blockWords_ = std::size_t(bytes) / sizeof(std::uint32_t);
    words_.assign(2 * blockWords_, 0u);
    fillDefaults(declaration, words_.data());
}

void ParameterBlock::setConnected(const void* field, bool connected) {
    const std::size_t offset =
        std::size_t(static_cast<const unsigned char*>(field) - reinterpret_cast<const unsigned char*>(words_.data()));
    words_[blockWords_ + offset / sizeof(std::uint32_t)] = connected ? 1u : 0u;
    function_.ghost_offs = ghostOffset();
}

}  // namespace mentalrayHost
