#ifndef FLAKECOAT_TESTS_PREVIEW_MADE_INPUTS_H
#define FLAKECOAT_TESTS_PREVIEW_MADE_INPUTS_H

// Hand-made shading inputs, shaped like the hosts' own, for tests of looks.

#include "look/shadingInput.h"

namespace flakecoat::preview::testing {

inline ShadingInput madeInput(const char* name, int arity, ValueKind kind = ValueKind::Float, double value = 0.5) {
    ShadingInput made;
    made.name = name;
    made.arity = arity;
    made.kind = kind;
    made.defaults.assign(size_t(arity), value);
    return made;
}

}  // namespace flakecoat::preview::testing

#endif
