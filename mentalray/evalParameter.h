#ifndef TARN_FLAKECOAT_EVAL_PARAMETER_H
#define TARN_FLAKECOAT_EVAL_PARAMETER_H

#include <cstdint>
#include <cstring>

#include <shader.h>

// The address that holds a parameter's value for this call: the field itself,
// or, when the shader's function record has a ghost offset and the
// parameter's connection word there is set, the value the connected shader
// computed (mi_phen_eval). A state without a shader record, and a renderer
// that answers with a null address, leave the field's own value in use.
template <class T>
const T* evalParameter(miState* state, const T* field) {
    const std::int32_t ghostOffset = state->shader ? std::int32_t(state->shader->ghost_offs) : 0;
    if (ghostOffset == 0) return field;

    std::int32_t connection;
    std::memcpy(&connection, reinterpret_cast<const char*>(field) + ghostOffset, sizeof connection);
    if (connection == 0) return field;

    const void* value = mi_phen_eval(state, const_cast<T*>(field));
    return value ? static_cast<const T*>(value) : field;
}

#endif
