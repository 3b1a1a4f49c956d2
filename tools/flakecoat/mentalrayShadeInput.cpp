// Reads one JSON line of the mental ray shade input into a parameter block,
// scripted renderer answers and a surface hit. The parameters are the ones
// the shader's declaration names, but for the light array and its counters,
// which are read apart; every key is checked, and an unknown key is an error
// (a misspelt parameter would otherwise be silently left at its default).

#include "mentalrayShadeInput.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

using nlohmann::json;

namespace {

using mentalrayHost::DeclaredParameter;
using mentalrayHost::ParameterType;
using mentalrayHost::ShaderDeclaration;

const char* const kOtherKeys[] = {"light", "i_light", "n_light", "lights", "connections", "normal", "dir",
                                  "tex", "result", "reflection", "environment", "irradiance"};

// Names get tags from here up; numeric tags stay below.
constexpr std::uint32_t kFirstNamedTag = 0x80000000u;

struct Failure {
    std::string key;
    std::string message;
};

float singleFrom(const json& value, const std::string& key, const std::string& expected) {
    if (!value.is_number()) throw Failure{key, expected};
    const double number = value.get<double>();
    if (std::fabs(number) > double(std::numeric_limits<float>::max())) {
        throw Failure{key, "number outside the single-precision range"};
    }
    return float(number);
}

std::vector<float> numbers(const json& value, const std::string& key, std::size_t least, std::size_t most) {
    const std::string count = least == most ? std::to_string(least) : std::to_string(least) + " or " + std::to_string(most);
    if (!value.is_array() || value.size() < least || value.size() > most) {
        throw Failure{key, "expected an array of " + count + " numbers"};
    }
    std::vector<float> result;
    for (const json& element : value) result.push_back(singleFrom(element, key, "expected an array of " + count + " numbers"));
    return result;
}

miColor colourFrom(const json& value, const std::string& key, float alpha) {
    const std::vector<float> c = numbers(value, key, 3, 4);
    return {c[0], c[1], c[2], c.size() == 4 ? c[3] : alpha};
}

miVector vectorFrom(const json& value, const std::string& key) {
    const std::vector<float> v = numbers(value, key, 3, 3);
    return {v[0], v[1], v[2]};
}

std::int32_t integerFrom(const json& value, const std::string& key) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < std::numeric_limits<std::int32_t>::min() ||
        value.get<std::int64_t>() > std::numeric_limits<std::int32_t>::max()) {
        throw Failure{key, "expected a 32-bit integer"};
    }
    return std::int32_t(value.get<std::int64_t>());
}

void writeField(mentalrayHost::ParameterBlock& block, const DeclaredParameter& field, const json& value) {
    const std::string& key = field.name;
    switch (field.type) {
    case ParameterType::Integer: block.at<miInteger>(field.offset) = integerFrom(value, key); break;
    case ParameterType::Boolean:
        block.at<miBoolean>(field.offset) =
            value.is_boolean() ? (value.get<bool>() ? miTRUE : miFALSE) : integerFrom(value, key);
        break;
    case ParameterType::Scalar: block.at<miScalar>(field.offset) = singleFrom(value, key, "expected a number"); break;
    case ParameterType::Color: block.at<miColor>(field.offset) = colourFrom(value, key, 1.0f); break;
    case ParameterType::Vector:
    case ParameterType::Transform: {
        const std::vector<float> v = numbers(value, key, std::size_t(field.size / 4), std::size_t(field.size / 4));
        std::copy(v.begin(), v.end(), &block.at<miScalar>(field.offset));
        break;
    }
    default: throw Failure{key, "a tag parameter cannot be set here"};
    }
}

// A parameter the line may set: any declared one but an array.
const DeclaredParameter* findField(const ShaderDeclaration& declaration, const std::string& name) {
    const DeclaredParameter* field = declaration.find(name);
    return field && !field->isArray ? field : nullptr;
}

bool isOtherKey(const std::string& name) {
    for (const char* key : kOtherKeys) {
        if (name == key) return true;
    }
    return false;
}

// The light array: tags as given, names numbered in order of appearance.
// Returns the tag of each slot and fills `tagOfKey` for the "lights" object.
std::vector<miTag> readLightTags(const json& line, std::map<std::string, miTag>& tagOfKey) {
    std::vector<miTag> tags;
    if (!line.contains("light")) return tags;
    const json& lights = line.at("light");
    if (!lights.is_array()) throw Failure{"light", "expected an array of light names or tags"};
    std::uint32_t nextNamedTag = kFirstNamedTag;
    for (const json& entry : lights) {
        if (entry.is_number_unsigned() && entry.get<std::uint64_t>() < kFirstNamedTag) {
            const miTag tag = miTag(entry.get<std::uint64_t>());
            tags.push_back(tag);
            tagOfKey.emplace(std::to_string(tag), tag);
        } else if (entry.is_string() && !entry.get<std::string>().empty()) {
            const auto inserted = tagOfKey.emplace(entry.get<std::string>(), nextNamedTag);
            if (inserted.second) ++nextNamedTag;
            tags.push_back(inserted.first->second);
        } else {
            throw Failure{"light", "expected a light name or a tag from 0 to 2147483647"};
        }
    }
    return tags;
}

void readLightSamples(const json& line, const std::map<std::string, miTag>& tagOfKey,
                      mentalrayHost::ScriptedServices& services) {
    if (!line.contains("lights")) return;
    const json& lights = line.at("lights");
    if (!lights.is_object()) throw Failure{"lights", "expected an object of light names to sample lists"};
    for (const auto& item : lights.items()) {
        const std::string key = "lights." + item.key();
        const auto tag = tagOfKey.find(item.key());
        if (tag == tagOfKey.end()) throw Failure{key, "not a light named in \"light\""};
        if (!item.value().is_array()) throw Failure{key, "expected an array of {color, direction} samples"};
        std::vector<mentalrayHost::ScriptedServices::LightSample> samples;
        for (const json& sample : item.value()) {
            if (!sample.is_object() || !sample.contains("color") || !sample.contains("direction") || sample.size() != 2) {
                throw Failure{key, "expected samples of the form {\"color\": [r, g, b], \"direction\": [x, y, z]}"};
            }
            samples.push_back({colourFrom(sample.at("color"), key + ".color", 1.0f),
                               vectorFrom(sample.at("direction"), key + ".direction")});
        }
        services.setLightSamples(tag->second, std::move(samples));
    }
}

void readLightCounters(const json& line, std::size_t slots, const DeclaredParameter& array,
                       mentalrayHost::ParameterBlock& block) {
    const std::int32_t first = line.contains("i_light") ? integerFrom(line.at("i_light"), "i_light") : 0;
    if (first < 0 || std::size_t(first) > slots) throw Failure{"i_light", "outside the light array"};
    const std::int32_t count =
        line.contains("n_light") ? integerFrom(line.at("n_light"), "n_light") : std::int32_t(slots) - first;
    if (count > 0 && std::size_t(first) + std::size_t(count) > slots) {
        throw Failure{"n_light", "more lights than the light array holds from i_light on"};
    }
    block.at<miInteger>(array.firstIndexOffset()) = block.firstElementIndex() + first;
    block.at<miInteger>(array.countOffset()) = count;
}

void readConnections(const json& line, const ShaderDeclaration& declaration, MentalrayShadeCase& sample) {
    if (!line.contains("connections")) return;
    const json& connections = line.at("connections");
    if (!connections.is_object()) throw Failure{"connections", "expected an object of parameter names to values"};
    for (const auto& item : connections.items()) {
        const DeclaredParameter* field = findField(declaration, item.key());
        if (!field) throw Failure{"connections." + item.key(), "not a connectable parameter"};
        writeField(sample.connectedValues, *field, item.value());
        void* parameter = &sample.block.at<unsigned char>(field->offset);
        sample.block.setConnected(parameter);
        sample.services.connect(parameter, &sample.connectedValues.at<unsigned char>(field->offset));
    }
}

std::optional<miColor> optionalColour(const json& line, const char* key) {
    if (!line.contains(key) || line.at(key).is_null()) return std::nullopt;
    return colourFrom(line.at(key), key, 1.0f);
}

void readState(const json& line, MentalrayShadeCase& sample) {
    if (line.contains("normal")) sample.hit.normal = sample.hit.geometricNormal = vectorFrom(line.at("normal"), "normal");
    if (line.contains("dir")) sample.hit.direction = vectorFrom(line.at("dir"), "dir");
    if (line.contains("tex")) {
        const std::vector<float> tex = numbers(line.at("tex"), "tex", 2, 2);
        sample.hit.u = tex[0];
        sample.hit.v = tex[1];
    }
    if (line.contains("result")) sample.result = colourFrom(line.at("result"), "result", 0.0f);
    sample.services.setReflection(optionalColour(line, "reflection"));
    sample.services.setEnvironment(optionalColour(line, "environment"));
    sample.services.setIrradiance(optionalColour(line, "irradiance"));
}

}  // namespace

bool declaresLightArray(const ShaderDeclaration& declaration, std::string& error) {
    if (declaration.findArray("light", ParameterType::Light)) return true;
    error = "the declaration of " + declaration.name + " has no light array \"light\"";
    return false;
}

std::unique_ptr<MentalrayShadeCase> readMentalrayShadeCase(const json& line, const ShaderDeclaration& declaration,
                                                           ShadeInputError& error) {
    try {
        if (!line.is_object()) throw Failure{"(line)", "expected a JSON object"};
        for (const auto& item : line.items()) {
            if (!findField(declaration, item.key()) && !isOtherKey(item.key()))
                throw Failure{item.key(), "unknown key"};
        }

        // Lights first: they size the block
        std::map<std::string, miTag> tagOfKey;
        const std::vector<miTag> tags = readLightTags(line, tagOfKey);
        auto sample = std::make_unique<MentalrayShadeCase>(declaration, int(tags.size()));
        std::copy(tags.begin(), tags.end(), sample->block.arrayElements());
        readLightCounters(line, tags.size(), *declaration.find("light"), sample->block);
        readLightSamples(line, tagOfKey, sample->services);

        // Parameters, connections and state
        for (const DeclaredParameter& field : declaration.parameters) {
            if (!field.isArray && line.contains(field.name)) writeField(sample->block, field, line.at(field.name));
        }
        readConnections(line, declaration, *sample);
        readState(line, *sample);
        return sample;
    } catch (const Failure& failure) {
        error = {failure.key, failure.message};
        return nullptr;
    }
}
