#ifndef FLAKECOAT_TESTS_MAYA_EXPECTED_ATTRIBUTES_H
#define FLAKECOAT_TESTS_MAYA_EXPECTED_ATTRIBUTES_H

// The flakeCoat node's attribute set as the design lays it down, written out
// by hand from the design's tables (not taken from the plug-in's code).

#include <string>
#include <utility>
#include <vector>

enum class Reported { none, setters, all };

struct ExpectedAttribute {
    const char* longName;
    const char* shortName;
    const char* kind;      // float, short, boolean, float2, float3, address, floatMatrix, lightData[]
    const char* children;  // long names
    std::vector<double> defaults;  // after every setter; single-precision values where the attribute is float
    const char* flags;     // letters of the flags that are on: R W S K H C(olour) A(rray)
    const char* limits;    // "", "min a b c" or "soft lo hi"
    const char* setters;   // the setter calls after creation, in order
    Reported reported;
};

// clang-format off
inline const std::vector<ExpectedAttribute>& expectedAttributes() {
    static const std::vector<ExpectedAttribute> table = {
        // Table 1: shading inputs.
        {"colorR", "cr", "float", "", {0.209f}, "RWS", "", "", Reported::none},
        {"colorG", "cg", "float", "", {1.0f}, "RWS", "", "", Reported::none},
        {"colorB", "cb", "float", "", {0.182f}, "RWS", "", "", Reported::none},
        {"color", "c", "float3", "colorR colorG colorB", {0.209f, 1.0f, 0.182f}, "RWSKC", "",
         "keyable storable default usedAsColor", Reported::none},
        {"transparencyR", "itr", "float", "", {0}, "RWS", "", "", Reported::none},
        {"transparencyG", "itg", "float", "", {0}, "RWS", "", "", Reported::none},
        {"transparencyB", "itb", "float", "", {0}, "RWS", "", "", Reported::none},
        {"transparency", "it", "float3", "transparencyR transparencyG transparencyB", {0, 0, 0}, "RWSKC", "",
         "keyable storable default usedAsColor", Reported::none},
        {"ambientColorR", "ambCR", "float", "", {0}, "RWS", "", "", Reported::none},
        {"ambientColorG", "ambCG", "float", "", {0}, "RWS", "", "", Reported::none},
        {"ambientColorB", "ambCB", "float", "", {0}, "RWS", "", "", Reported::none},
        {"ambientColor", "ambC", "float3", "ambientColorR ambientColorG ambientColorB", {0, 0, 0}, "RWSKC", "",
         "keyable storable default usedAsColor", Reported::none},
        {"incandescenceR", "ir", "float", "", {0}, "RWS", "", "", Reported::none},
        {"incandescenceG", "ig", "float", "", {0}, "RWS", "", "", Reported::none},
        {"incandescenceB", "ib", "float", "", {0}, "RWS", "", "", Reported::none},
        {"incandescence", "ic", "float3", "incandescenceR incandescenceG incandescenceB", {0, 0, 0}, "RWSKC", "",
         "keyable storable default usedAsColor", Reported::none},
        {"diffuse", "dfl", "float", "", {0.5}, "RWSK", "soft 0 1", "keyable storable default softMin softMax",
         Reported::none},
        {"depthRangeMin", "dpm", "float", "", {40}, "RWS", "", "", Reported::none},
        {"depthRangeMax", "dpmx", "float", "", {10}, "RWS", "", "", Reported::none},
        {"depthRange", "dp", "float2", "depthRangeMin depthRangeMax", {40, 10}, "RWSK", "",
         "keyable storable default", Reported::none},
        {"refractiveIndexR", "rir", "float", "", {1.4f}, "RWS", "", "", Reported::none},
        {"refractiveIndexG", "rig", "float", "", {1.4f}, "RWS", "", "", Reported::none},
        {"refractiveIndexB", "rib", "float", "", {1.4f}, "RWS", "", "", Reported::none},
        {"refractiveIndex", "irf", "float3", "refractiveIndexR refractiveIndexG refractiveIndexB",
         {1.4f, 1.4f, 1.4f}, "RWSK", "min 1 1 1", "keyable storable default setMin", Reported::none},
        {"specularMin", "spmm", "float", "", {50}, "RWS", "", "", Reported::none},
        {"specularMax", "spmx", "float", "", {90}, "RWS", "", "", Reported::none},
        {"specular", "spclr", "float2", "specularMin specularMax", {50, 90}, "RWSK", "",
         "keyable storable default", Reported::none},
        {"specularPower", "spcp", "float", "", {0.5}, "RWSK", "soft 0 1", "keyable storable default softMin softMax",
         Reported::none},
        {"frequencyX", "frqx", "float", "", {100}, "RWS", "", "", Reported::none},
        {"frequencyY", "frqy", "float", "", {100}, "RWS", "", "", Reported::none},
        {"frequency", "frq", "float2", "frequencyX frequencyY", {100, 100}, "RWSK", "",
         "keyable storable default", Reported::none},
        {"normalDeviation", "ndv", "float", "", {1.0}, "RWSK", "soft 0 4", "keyable storable default softMin softMax",
         Reported::none},
        {"seed", "sd", "float", "", {1234.0}, "RWSK", "", "keyable storable default", Reported::none},
        {"reflectivity", "rfly", "float", "", {0.5}, "RWSK", "soft 0 1", "keyable storable default softMin softMax",
         Reported::none},
        {"placementMatrix", "pm", "floatMatrix", "", {}, "RWH", "", "storable readable writable hidden",
         Reported::none},
        // Table 2: outputs.
        {"outColorR", "ocr", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outColorG", "ocg", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outColorB", "ocb", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outColor", "oc", "float3", "outColorR outColorG outColorB", {0, 0, 0}, "RS", "",
         "hidden readable writable", Reported::none},
        {"outTransparencyR", "otr", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outTransparencyG", "otg", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outTransparencyB", "otb", "float", "", {0}, "RWS", "", "", Reported::none},
        {"outTransparency", "ot", "float3", "outTransparencyR outTransparencyG outTransparencyB", {0, 0, 0}, "RS", "",
         "hidden readable writable", Reported::none},
        // Table 3: sample attributes.
        {"pointCameraX", "px", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointCameraY", "py", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointCameraZ", "pz", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointCamera", "pc", "float3", "pointCameraX pointCameraY pointCameraZ", {1, 1, 1}, "RWH", "",
         "storable default hidden", Reported::none},
        {"pointWorldX", "pwx", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointWorldY", "pwy", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointWorldZ", "pwz", "float", "", {1}, "RWS", "", "", Reported::none},
        {"pointWorld", "pw", "float3", "pointWorldX pointWorldY pointWorldZ", {1, 1, 1}, "RWH", "",
         "storable default hidden", Reported::none},
        {"normalCameraX", "nx", "float", "", {1}, "RWS", "", "", Reported::none},
        {"normalCameraY", "ny", "float", "", {1}, "RWS", "", "", Reported::none},
        {"normalCameraZ", "nz", "float", "", {1}, "RWS", "", "", Reported::none},
        {"normalCamera", "n", "float3", "normalCameraX normalCameraY normalCameraZ", {1, 1, 1}, "RWH", "",
         "storable default hidden", Reported::none},
        {"rayOx", "rxo", "float", "", {0}, "RWS", "", "", Reported::none},
        {"rayOy", "ryo", "float", "", {0}, "RWS", "", "", Reported::none},
        {"rayOz", "rzo", "float", "", {0}, "RWS", "", "", Reported::none},
        {"rayOrigin", "rog", "float3", "rayOx rayOy rayOz", {0, 0, 0}, "WH", "", "storable hidden readable",
         Reported::setters},
        {"rayDirectionX", "rdx", "float", "", {1}, "RWS", "", "", Reported::none},
        {"rayDirectionY", "rdy", "float", "", {0}, "RWS", "", "", Reported::none},
        {"rayDirectionZ", "rdz", "float", "", {0}, "RWS", "", "", Reported::none},
        {"rayDirection", "rad", "float3", "rayDirectionX rayDirectionY rayDirectionZ", {1, 0, 0}, "WH", "",
         "storable hidden readable", Reported::setters},
        {"objectId", "oi", "address", "", {}, "WH", "", "storable hidden readable", Reported::setters},
        {"raySampler", "rtr", "address", "", {}, "WH", "", "storable hidden readable", Reported::setters},
        {"rayDepth", "rd", "short", "", {0}, "WH", "", "storable hidden readable", Reported::setters},
        // Table 4: light data.
        {"lightDirectionX", "ldx", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightDirectionY", "ldy", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightDirectionZ", "ldz", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightDirection", "ld", "float3", "lightDirectionX lightDirectionY lightDirectionZ", {1, 1, 1}, "RH", "",
         "storable hidden readable writable default", Reported::all},
        {"lightIntensityR", "lir", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightIntensityG", "lig", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightIntensityB", "lib", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightIntensity", "li", "float3", "lightIntensityR lightIntensityG lightIntensityB", {1, 1, 1}, "RH", "",
         "storable hidden readable writable default", Reported::all},
        {"lightAmbient", "la", "boolean", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightDiffuse", "ldf", "boolean", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightSpecular", "ls", "boolean", "", {0}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightShadowFraction", "lsf", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"preShadowIntensity", "psi", "float", "", {1}, "RH", "", "storable hidden readable writable default",
         Reported::all},
        {"lightBlindData", "lbld", "address", "", {}, "RH", "", "storable hidden readable writable", Reported::all},
        {"lightDataArray", "ltd", "lightData[]",
         "lightDirection lightIntensity lightAmbient lightDiffuse lightSpecular lightShadowFraction "
         "preShadowIntensity lightBlindData",
         {}, "RWHA", "", "array storable hidden lightDefault", Reported::all},
    };
    return table;
}

inline const std::vector<const char*>& expectedAddOrder() {
    static const std::vector<const char*> order = {
        "color", "transparency", "ambientColor", "incandescence", "diffuse", "depthRange", "specular",
        "specularPower", "refractiveIndex", "frequency", "normalDeviation", "seed", "reflectivity",
        "placementMatrix", "outColor", "outTransparency", "rayDirection", "pointCamera", "pointWorld",
        "normalCamera", "lightDirection", "lightIntensity", "lightAmbient", "lightDiffuse", "lightSpecular",
        "lightShadowFraction", "preShadowIntensity", "lightBlindData", "lightDataArray", "rayOrigin", "objectId",
        "raySampler", "rayDepth"};
    return order;
}

// The 73 declarations as "input output", in order.
inline std::vector<std::pair<std::string, std::string>> expectedAffects() {
    const std::vector<std::pair<std::vector<const char*>, const char*>> groups = {
        {{"colorR", "colorG", "colorB", "color"}, "outColor"},
        {{"transparencyR", "transparencyG", "transparencyB", "transparency"}, "outTransparency"},
        {{"transparencyR", "transparencyG", "transparencyB", "transparency"}, "outColor"},
        {{"ambientColorR", "ambientColorG", "ambientColorB", "ambientColor"}, "outColor"},
        {{"incandescenceR", "incandescenceG", "incandescenceB", "incandescence"}, "outColor"},
        {{"diffuse"}, "outColor"},
        {{"depthRangeMin", "depthRangeMax", "depthRange"}, "outColor"},
        {{"specularMin", "specularMax", "specular", "specularPower"}, "outColor"},
        {{"refractiveIndexR", "refractiveIndexG", "refractiveIndexB", "refractiveIndex"}, "outColor"},
        {{"frequencyX", "frequencyY", "frequency"}, "outColor"},
        {{"normalDeviation", "seed", "reflectivity", "placementMatrix"}, "outColor"},
        {{"rayDirectionX", "rayDirectionY", "rayDirectionZ", "rayDirection"}, "outColor"},
        {{"pointCamera", "pointCameraX", "pointCameraY", "pointCameraZ"}, "outColor"},
        {{"pointWorldX", "pointWorldY", "pointWorldZ", "pointWorld"}, "outColor"},
        {{"normalCameraX", "normalCameraY", "normalCameraZ", "normalCamera"}, "outColor"},
        {{"lightDirectionX", "lightDirectionY", "lightDirectionZ", "lightDirection"}, "outColor"},
        {{"lightAmbient", "lightSpecular", "lightDiffuse", "lightShadowFraction", "preShadowIntensity",
          "lightBlindData", "lightDataArray"}, "outColor"},
        {{"rayOx", "rayOy", "rayOz", "rayOrigin"}, "outColor"},
        {{"objectId", "raySampler", "rayDepth"}, "outColor"},
    };
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& group : groups)
        for (const char* input : group.first) pairs.emplace_back(input, group.second);
    return pairs;
}
// clang-format on

#endif
