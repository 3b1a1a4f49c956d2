#include "maya/mayaInputs.h"

#include <algorithm>

#include <maya/MFloatMatrix.h>

#include "look/inputFrames.h"

namespace flakecoat::preview::maya {

namespace {

bool isUserInput(const mayaHost::AttributeInfo& info) {
    if (info.parent || !info.flags.writable) return false;
    if (info.kind == mayaHost::AttributeKind::matrix) return true;
    return info.flags.keyable && (info.kind == mayaHost::AttributeKind::numeric ||
                                  info.kind == mayaHost::AttributeKind::numericCompound);
}

ValueKind kindOf(const mayaHost::AttributeInfo& info) {
    switch (info.numericType) {
        case MFnNumericData::kBoolean: return ValueKind::Boolean;
        case MFnNumericData::kShort:
        case MFnNumericData::kInt: return ValueKind::Integer;
        default: return ValueKind::Float;
    }
}

void copyLimits(const mayaHost::AttributeLimits& limits, int first, int count, ShadingInput& input) {
    input.hasHardMin = limits.hasMin;
    input.hasHardMax = limits.hasMax;
    for (int i = 0; i < count && i < 3; ++i) {
        input.hardMin[i] = limits.min[first + i];
        input.hardMax[i] = limits.max[first + i];
    }
}

// A short holds no more than its type allows, whatever the attribute says.
void limitToShort(const mayaHost::AttributeInfo& info, ShadingInput& input) {
    if (info.numericType != MFnNumericData::kShort) return;
    for (int i = 0; i < 3; ++i) {
        input.hardMin[i] = input.hasHardMin ? std::max(input.hardMin[i], -32768.0) : -32768.0;
        input.hardMax[i] = input.hasHardMax ? std::min(input.hardMax[i], 32767.0) : 32767.0;
    }
    input.hasHardMin = input.hasHardMax = true;
}

ShadingInput matrixInput(const mayaHost::AttributeInfo& info) {
    ShadingInput input;
    input.name = info.longName;
    input.arity = 16;
    input.shown = false;
    input.label = readableName(input.name);
    input.defaults.assign(16, 0.0);
    for (int i = 0; i < 4; ++i) input.defaults[size_t(i * 5)] = 1.0;  // the identity
    return input;
}

}  // namespace

std::vector<ShadingInput> nodeInputs(const mayaHost::NodeType& type) {
    std::vector<ShadingInput> inputs;
    for (const mayaHost::AttributeInfo* info : type.attributes()) {
        if (!isUserInput(*info)) continue;
        if (info->kind == mayaHost::AttributeKind::matrix) {
            inputs.push_back(matrixInput(*info));
            continue;
        }
        ShadingInput input;
        input.name = info->longName;
        input.arity = int(info->componentCount());
        input.kind = info->kind == mayaHost::AttributeKind::numeric ? kindOf(*info) : ValueKind::Float;
        input.isColor = info->kind == mayaHost::AttributeKind::numericCompound && input.arity == 3 &&
                        info->flags.usedAsColor;
        input.shown = !info->flags.hidden;
        for (int i = 0; i < input.arity; ++i) input.defaults.push_back(shortestFloat(info->defaultValue[i]));
        copyLimits(info->limits, 0, input.arity, input);
        limitToShort(*info, input);
        input.hasSoftMin = info->limits.hasSoftMin;
        input.hasSoftMax = info->limits.hasSoftMax;
        input.softMin = info->limits.softMin;
        input.softMax = info->limits.softMax;
        if (!input.hasSoftMin || !input.hasSoftMax) deriveSoftRange(input);
        input.group = controlGroupOf(input.name);
        const TemplateControl* control = editorControl(input.name);
        input.label = control && !control->label.empty() ? control->label : readableName(input.name);
        input.description = control ? control->annotation : "";
        for (const mayaHost::AttributeInfo* child : info->children) input.children.push_back(child->longName);
        inputs.push_back(input);

        for (size_t c = 0; c < info->children.size(); ++c) {
            ShadingInput component;
            component.name = info->children[c]->longName;
            component.kind = kindOf(*info->children[c]);
            component.shown = false;
            component.parent = input.name;
            component.component = int(c);
            component.defaults = {input.defaults[c]};
            copyLimits(info->limits, int(c), 1, component);
            component.hasSoftMin = component.hasSoftMax = input.hasSoftMin;
            component.softMin = input.softMin;
            component.softMax = input.softMax;
            component.group = input.group;
            component.label = readableName(component.name);
            component.description = input.description;
            inputs.push_back(component);
        }
    }
    return inputs;
}

void writeInput(const mayaHost::Node& node, const Setting& value, mayaHost::DataBlock& block) {
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
