#include "maya/mayaInputs.h"

#include <maya/MFloatMatrix.h>

namespace flakecoat::preview::maya {

namespace {

bool isUserInput(const mayaHost::AttributeInfo& info) {
    if (info.parent || !info.flags.writable) return false;
    if (info.kind == mayaHost::AttributeKind::matrix) return true;
    return info.flags.keyable && (info.kind == mayaHost::AttributeKind::numeric ||
                                  info.kind == mayaHost::AttributeKind::numericCompound);
}

void copyLimits(const mayaHost::AttributeLimits& limits, int first, int count, SettableInput& input) {
    input.hasHardMin = limits.hasMin;
    input.hasHardMax = limits.hasMax;
    for (int i = 0; i < count && i < 3; ++i) {
        input.hardMin[i] = limits.min[first + i];
        input.hardMax[i] = limits.max[first + i];
    }
}

}  // namespace

ValueKind kindOf(const mayaHost::AttributeInfo& info) {
    switch (info.numericType) {
        case MFnNumericData::kBoolean: return ValueKind::Boolean;
        case MFnNumericData::kShort:
        case MFnNumericData::kInt: return ValueKind::Integer;
        default: return ValueKind::Float;
    }
}

std::vector<SettableInput> nodeShadingInputs(const mayaHost::NodeType& type) {
    std::vector<SettableInput> inputs;
    for (const mayaHost::AttributeInfo* info : type.attributes()) {
        if (!isUserInput(*info)) continue;
        SettableInput input;
        input.name = info->longName;
        if (info->kind == mayaHost::AttributeKind::matrix) {
            input.arity = 16;
            inputs.push_back(input);
            continue;
        }
        input.arity = int(info->componentCount());
        input.kind = info->kind == mayaHost::AttributeKind::numeric ? kindOf(*info) : ValueKind::Float;
        copyLimits(info->limits, 0, input.arity, input);
        inputs.push_back(input);
        for (size_t c = 0; c < info->children.size(); ++c) {
            SettableInput child;
            child.name = info->children[c]->longName;
            child.kind = kindOf(*info->children[c]);
            copyLimits(info->limits, int(c), 1, child);
            inputs.push_back(child);
        }
    }
    return inputs;
}

void writeInput(const mayaHost::Node& node, const ParameterOverride& value, mayaHost::DataBlock& block) {
    const MObject attribute = node.attribute(value.name);
    const mayaHost::AttributeInfo* info = mayaHost::NodeType::info(attribute);
    if (!info) return;
    MDataHandle handle = block.value(attribute);
    const double* v = value.values;
    if (info->kind == mayaHost::AttributeKind::matrix) {
        MFloatMatrix m;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) m(unsigned(r), unsigned(c)) = float(v[r * 4 + c]);
        handle.set(m);
        return;
    }
    if (value.count == 3) {
        handle.set(float(v[0]), float(v[1]), float(v[2]));
    } else if (value.count == 2) {
        handle.set(float(v[0]), float(v[1]));
    } else {
        switch (kindOf(*info)) {
            case ValueKind::Boolean: handle.set(v[0] != 0.0); break;
            case ValueKind::Integer:
                if (info->numericType == MFnNumericData::kShort)
                    handle.set(short(v[0]));
                else
                    handle.set(int(v[0]));
                break;
            case ValueKind::Float: handle.set(float(v[0])); break;
        }
    }
}

}  // namespace flakecoat::preview::maya
