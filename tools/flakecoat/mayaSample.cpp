#include "mayaSample.h"

#include <cmath>
#include <limits>

#include "inputEcho.h"
#include "jsonIntegers.h"
#include "shadeLimits.h"

using mayaHost::AttributeInfo;
using mayaHost::AttributeKind;
using nlohmann::json;

namespace {

bool fail(std::string& error, const std::string& key, const std::string& message) {
    error = "key \"" + flakecoat::echoInput(key) + "\": " + message;
    return false;
}

enum class FloatRead { ok, notNumbers, outOfRange };

// A JSON number as the single-precision value the attribute stores.
FloatRead toFloat(const json& value, float& out) {
    if (!value.is_number()) return FloatRead::notNumbers;
    const double v = value.get<double>();
    if (!(std::fabs(v) <= double(std::numeric_limits<float>::max()))) return FloatRead::outOfRange;
    out = float(v);
    return FloatRead::ok;
}

FloatRead readFloats(const json& value, float* out, unsigned count) {
    if (count == 1) return toFloat(value, out[0]);
    if (!value.is_array() || value.size() != count) return FloatRead::notNumbers;
    for (unsigned i = 0; i < count; ++i) {
        const FloatRead read = toFloat(value[i], out[i]);
        if (read != FloatRead::ok) return read;
    }
    return FloatRead::ok;
}

std::string expected(unsigned count) {
    return count == 1 ? "expected a number"
                      : "expected an array of " + std::to_string(count) + " numbers";
}

// The message for a failed readFloats of count numbers.
std::string readFailure(FloatRead read, unsigned count) {
    return read == FloatRead::outOfRange ? "number outside the single-precision range" : expected(count);
}

bool withinLimits(const AttributeInfo& a, const float* v, unsigned count, std::string& message) {
    for (unsigned i = 0; i < count; ++i) {
        if (a.limits.hasMin && v[i] < a.limits.min[i]) {
            message = "value " + std::to_string(v[i]) + " is below the minimum " + std::to_string(a.limits.min[i]);
            return false;
        }
        if (a.limits.hasMax && v[i] > a.limits.max[i]) {
            message = "value " + std::to_string(v[i]) + " is above the maximum " + std::to_string(a.limits.max[i]);
            return false;
        }
    }
    return true;
}

// One attribute value into its handle, by the attribute's kind.
bool setValue(const AttributeInfo& a, const std::string& key, const json& value, MDataHandle handle,
              void* address, std::string& error) {
    switch (a.kind) {
        case AttributeKind::numeric:
            if (a.numericType == MFnNumericData::kBoolean) {
                if (!value.is_boolean()) return fail(error, key, "expected true or false");
                handle.set(value.get<bool>());
                return true;
            }
            if (a.numericType == MFnNumericData::kShort) {
                std::int64_t v;
                if (!jsonIntegerWithin(value, std::numeric_limits<short>::min(), std::numeric_limits<short>::max(), v))
                    return fail(error, key, "expected an integer from -32768 to 32767");
                handle.set(short(v));
                return true;
            }
            if (a.numericType == MFnNumericData::kFloat) {
                float v;
                std::string message;
                const FloatRead read = readFloats(value, &v, 1);
                if (read != FloatRead::ok) return fail(error, key, readFailure(read, 1));
                if (!withinLimits(a, &v, 1, message)) return fail(error, key, message);
                handle.set(v);
                return true;
            }
            return fail(error, key, "this attribute cannot be set here");
        case AttributeKind::numericCompound: {
            const unsigned count = a.componentCount();
            float v[3];
            std::string message;
            if (a.numericType != MFnNumericData::k2Float && a.numericType != MFnNumericData::k3Float)
                return fail(error, key, expected(count));
            const FloatRead read = readFloats(value, v, count);
            if (read != FloatRead::ok) return fail(error, key, readFailure(read, count));
            if (!withinLimits(a, v, count, message)) return fail(error, key, message);
            if (count == 2)
                handle.set(v[0], v[1]);
            else
                handle.set(v[0], v[1], v[2]);
            return true;
        }
        case AttributeKind::address:
            if (!value.is_boolean()) return fail(error, key, "expected true (an address) or false (null)");
            handle.setAddr(value.get<bool>() ? address : nullptr);
            return true;
        case AttributeKind::matrix: {
            float m[16];
            if (a.matrixType != MFnMatrixAttribute::kFloat || !value.is_array() || value.size() != 16)
                return fail(error, key, "expected an array of 16 numbers, row by row");
            for (unsigned i = 0; i < 16; ++i) {
                const FloatRead read = toFloat(value[i], m[i]);
                if (read == FloatRead::outOfRange) return fail(error, key, readFailure(read, 16));
                if (read != FloatRead::ok) return fail(error, key, "expected an array of 16 numbers, row by row");
            }
            MFloatMatrix& matrix = handle.asFloatMatrix();
            for (unsigned row = 0; row < 4; ++row)
                for (unsigned col = 0; col < 4; ++col) matrix[row][col] = m[row * 4 + col];
            return true;
        }
        case AttributeKind::lightData: return fail(error, key, "give lights under \"lights\"");
    }
    return fail(error, key, "this attribute cannot be set here");
}

// A top-level input: not an output, not an array, not inside a compound.
const AttributeInfo* inputAttribute(const mayaHost::NodeType& type, const std::string& name) {
    for (const AttributeInfo* a : type.attributes())
        if (a->longName == name) {
            const bool topLevel = !a->parent || !type.findAttribute(a->parent->longName);
            return topLevel && a->flags.writable && !a->flags.array ? a : nullptr;
        }
    return nullptr;
}

const AttributeInfo* childNamed(const AttributeInfo& parent, const std::string& name) {
    for (const AttributeInfo* child : parent.children)
        if (child->longName == name) return child;
    return nullptr;
}

bool applyLights(const json& lights, const mayaHost::NodeType& type, mayaHost::DataBlock& block,
                 MayaSampleContext& context, std::string& error) {
    const AttributeInfo* array = type.findAttribute("lightDataArray");
    if (!array || !array->flags.array) return fail(error, "lights", "the node type has no lightDataArray");
    if (!lights.is_array()) return fail(error, "lights", "expected an array of light objects");
    if (lights.size() > kMaxShadeLights)
        return fail(error, "lights", std::to_string(lights.size()) + " lights; a sample takes at most " +
                                         std::to_string(kMaxShadeLights));
    const MObject arrayObject = type.attribute(*array);
    block.setElementCount(arrayObject, unsigned(lights.size()));
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const std::string where = "lights[" + std::to_string(i) + "]";
        if (!lights[i].is_object()) return fail(error, where, "expected an object");
        MDataHandle element = block.element(arrayObject, unsigned(i));
        for (auto item = lights[i].begin(); item != lights[i].end(); ++item) {
            const std::string key = where + "." + item.key();
            const AttributeInfo* child = childNamed(*array, item.key());
            if (!child) return fail(error, key, "unknown key");
            if (!setValue(*child, key, item.value(), element.child(type.attribute(*child)), &context, error))
                return false;
        }
    }
    return true;
}

}  // namespace

bool applyMayaSample(const json& sample, const mayaHost::NodeType& type, mayaHost::DataBlock& block,
                     MayaSampleContext& context, std::string& error) {
    if (!sample.is_object()) {
        error = "expected a JSON object";
        return false;
    }
    for (auto item = sample.begin(); item != sample.end(); ++item) {
        const std::string& key = item.key();
        if (key == "lights") {
            if (!applyLights(item.value(), type, block, context, error)) return false;
        } else if (key == "trace") {
            float v[3];
            const FloatRead read = readFloats(item.value(), v, 3);
            if (read != FloatRead::ok) return fail(error, key, readFailure(read, 3));
            context.hasTrace = true;
            context.trace = MFloatVector(v[0], v[1], v[2]);
        } else {
            const AttributeInfo* a = inputAttribute(type, key);
            if (!a) return fail(error, key, "unknown key");
            void* address = key == "objectId" ? static_cast<void*>(&context.objectMarker) : &context;
            if (!setValue(*a, key, item.value(), block.value(type.attribute(*a)), address, error)) return false;
        }
    }
    return true;
}
