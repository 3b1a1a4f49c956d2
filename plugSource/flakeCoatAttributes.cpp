// The node's attribute set: the 81 attributes in creation order, the order
// they are added to the node type, and which inputs affect which output.
// Each row of the creation table is one attribute: created, assigned to its
// handle, then given its setters in the order listed. A failing step of a
// reporting row is reported with that row's source line.

#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>

#include "flakeCoatPlugInt.h"

namespace {

using F = flakeCoat;

enum class Kind { floatValue, shortValue, booleanValue, compound, address, floatMatrix, lightData };

// Which steps of a row report a failure: none; the setters only; or the
// creation too (the attribute is then created with a status argument).
enum class Reporting { silent, setters, all };

enum class Op {
    end,
    keyable,
    storable,
    notStorable,
    readable,
    notReadable,
    writable,
    notWritable,
    hidden,
    notHidden,
    usedAsColor,
    array,
    default1,     // setDefault(float)
    default2,     // setDefault(float, float)
    default3,     // setDefault(float, float, float)
    defaultBool,  // setDefault(bool)
    min3,         // setMin(double, double, double)
    softMin,
    softMax,
    lightDataDefault
};

struct Setter {
    Op op;
    double a, b, c;
};

constexpr Setter keyable{Op::keyable, 0, 0, 0};
constexpr Setter storable{Op::storable, 0, 0, 0};
constexpr Setter notStorable{Op::notStorable, 0, 0, 0};
constexpr Setter readable{Op::readable, 0, 0, 0};
constexpr Setter notReadable{Op::notReadable, 0, 0, 0};
constexpr Setter writable{Op::writable, 0, 0, 0};
constexpr Setter notWritable{Op::notWritable, 0, 0, 0};
constexpr Setter hidden{Op::hidden, 0, 0, 0};
constexpr Setter notHidden{Op::notHidden, 0, 0, 0};
constexpr Setter usedAsColor{Op::usedAsColor, 0, 0, 0};
constexpr Setter array{Op::array, 0, 0, 0};
constexpr Setter lightDataDefault{Op::lightDataDefault, 0, 0, 0};
constexpr Setter def1(double v) { return {Op::default1, v, 0, 0}; }
constexpr Setter def2(double a, double b) { return {Op::default2, a, b, 0}; }
constexpr Setter def3(double a, double b, double c) { return {Op::default3, a, b, c}; }
constexpr Setter defBool(bool v) { return {Op::defaultBool, v ? 1.0 : 0.0, 0, 0}; }
constexpr Setter min3(double a, double b, double c) { return {Op::min3, a, b, c}; }
constexpr Setter softMin(double v) { return {Op::softMin, v, 0, 0}; }
constexpr Setter softMax(double v) { return {Op::softMax, v, 0, 0}; }

struct AttributeStep {
    int line;
    MObject* handle;
    const char* longName;
    const char* shortName;
    Kind kind;
    double createDefault;  // numeric kinds
    MObject* children[8];  // compounds, in order; a two-component compound has no third
    Reporting reporting;
    Setter setters[6];
};

constexpr Reporting silent = Reporting::silent;
constexpr Reporting setters = Reporting::setters;
constexpr Reporting all = Reporting::all;
constexpr Kind floatValue = Kind::floatValue;
constexpr Kind compound = Kind::compound;

// clang-format off
const AttributeStep kAttributeSteps[] = {
    // Shading inputs.
    {__LINE__, &F::colorR, "colorR", "cr", floatValue, 0.209, {}, silent, {}},
    {__LINE__, &F::colorG, "colorG", "cg", floatValue, 1.0, {}, silent, {}},
    {__LINE__, &F::colorB, "colorB", "cb", floatValue, 0.182, {}, silent, {}},
    {__LINE__, &F::color, "color", "c", compound, 0, {&F::colorR, &F::colorG, &F::colorB}, silent,
     {keyable, storable, def3(0.209, 1.0, 0.182), usedAsColor}},
    {__LINE__, &F::transparencyR, "transparencyR", "itr", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::transparencyG, "transparencyG", "itg", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::transparencyB, "transparencyB", "itb", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::transparency, "transparency", "it", compound, 0,
     {&F::transparencyR, &F::transparencyG, &F::transparencyB}, silent, {keyable, storable, def3(0, 0, 0), usedAsColor}},
    {__LINE__, &F::ambientColorR, "ambientColorR", "ambCR", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::ambientColorG, "ambientColorG", "ambCG", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::ambientColorB, "ambientColorB", "ambCB", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::ambientColor, "ambientColor", "ambC", compound, 0,
     {&F::ambientColorR, &F::ambientColorG, &F::ambientColorB}, silent, {keyable, storable, def3(0, 0, 0), usedAsColor}},
    {__LINE__, &F::incandescenceR, "incandescenceR", "ir", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::incandescenceG, "incandescenceG", "ig", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::incandescenceB, "incandescenceB", "ib", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::incandescence, "incandescence", "ic", compound, 0,
     {&F::incandescenceR, &F::incandescenceG, &F::incandescenceB}, silent, {keyable, storable, def3(0, 0, 0), usedAsColor}},
    {__LINE__, &F::diffuse, "diffuse", "dfl", floatValue, 0, {}, silent,
     {keyable, storable, def1(0.5), softMin(0), softMax(1)}},
    {__LINE__, &F::depthRangeMin, "depthRangeMin", "dpm", floatValue, 40, {}, silent, {}},
    {__LINE__, &F::depthRangeMax, "depthRangeMax", "dpmx", floatValue, 10, {}, silent, {}},
    {__LINE__, &F::depthRange, "depthRange", "dp", compound, 0, {&F::depthRangeMin, &F::depthRangeMax}, silent,
     {keyable, storable, def2(40, 10)}},
    {__LINE__, &F::refractiveIndexR, "refractiveIndexR", "rir", floatValue, 1.4, {}, silent, {}},
    {__LINE__, &F::refractiveIndexG, "refractiveIndexG", "rig", floatValue, 1.4, {}, silent, {}},
    {__LINE__, &F::refractiveIndexB, "refractiveIndexB", "rib", floatValue, 1.4, {}, silent, {}},
    {__LINE__, &F::refractiveIndex, "refractiveIndex", "irf", compound, 0,
     {&F::refractiveIndexR, &F::refractiveIndexG, &F::refractiveIndexB}, silent,
     {keyable, storable, def3(1.4, 1.4, 1.4), min3(1, 1, 1)}},
    {__LINE__, &F::specularMin, "specularMin", "spmm", floatValue, 50, {}, silent, {}},
    {__LINE__, &F::specularMax, "specularMax", "spmx", floatValue, 90, {}, silent, {}},
    {__LINE__, &F::specular, "specular", "spclr", compound, 0, {&F::specularMin, &F::specularMax}, silent,
     {keyable, storable, def2(50, 90)}},
    {__LINE__, &F::specularPower, "specularPower", "spcp", floatValue, 0, {}, silent,
     {keyable, storable, def1(0.5), softMin(0), softMax(1)}},
    {__LINE__, &F::frequencyX, "frequencyX", "frqx", floatValue, 100, {}, silent, {}},
    {__LINE__, &F::frequencyY, "frequencyY", "frqy", floatValue, 100, {}, silent, {}},
    {__LINE__, &F::frequency, "frequency", "frq", compound, 0, {&F::frequencyX, &F::frequencyY}, silent,
     {keyable, storable, def2(100, 100)}},
    {__LINE__, &F::normalDeviation, "normalDeviation", "ndv", floatValue, 0, {}, silent,
     {keyable, storable, def1(1.0), softMin(0), softMax(4)}},
    {__LINE__, &F::seed, "seed", "sd", floatValue, 0, {}, silent, {keyable, storable, def1(1234.0)}},
    {__LINE__, &F::reflectivity, "reflectivity", "rfly", floatValue, 0, {}, silent,
     {keyable, storable, def1(0.5), softMin(0), softMax(1)}},
    {__LINE__, &F::placementMatrix, "placementMatrix", "pm", Kind::floatMatrix, 0, {}, silent,
     {notStorable, readable, writable, hidden}},

    // Outputs.
    {__LINE__, &F::outColorR, "outColorR", "ocr", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outColorG, "outColorG", "ocg", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outColorB, "outColorB", "ocb", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outColor, "outColor", "oc", compound, 0, {&F::outColorR, &F::outColorG, &F::outColorB}, silent,
     {notHidden, readable, notWritable}},
    {__LINE__, &F::outTransparencyR, "outTransparencyR", "otr", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outTransparencyG, "outTransparencyG", "otg", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outTransparencyB, "outTransparencyB", "otb", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::outTransparency, "outTransparency", "ot", compound, 0,
     {&F::outTransparencyR, &F::outTransparencyG, &F::outTransparencyB}, silent, {notHidden, readable, notWritable}},

    // Sample attributes: hidden, not stored with the scene.
    {__LINE__, &F::pointCameraX, "pointCameraX", "px", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointCameraY, "pointCameraY", "py", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointCameraZ, "pointCameraZ", "pz", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointCamera, "pointCamera", "pc", compound, 0,
     {&F::pointCameraX, &F::pointCameraY, &F::pointCameraZ}, silent, {notStorable, def3(1, 1, 1), hidden}},
    {__LINE__, &F::pointWorldX, "pointWorldX", "pwx", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointWorldY, "pointWorldY", "pwy", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointWorldZ, "pointWorldZ", "pwz", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::pointWorld, "pointWorld", "pw", compound, 0, {&F::pointWorldX, &F::pointWorldY, &F::pointWorldZ},
     silent, {notStorable, def3(1, 1, 1), hidden}},
    {__LINE__, &F::normalCameraX, "normalCameraX", "nx", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::normalCameraY, "normalCameraY", "ny", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::normalCameraZ, "normalCameraZ", "nz", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::normalCamera, "normalCamera", "n", compound, 0,
     {&F::normalCameraX, &F::normalCameraY, &F::normalCameraZ}, silent, {notStorable, def3(1, 1, 1), hidden}},
    {__LINE__, &F::rayOx, "rayOx", "rxo", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::rayOy, "rayOy", "ryo", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::rayOz, "rayOz", "rzo", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::rayOrigin, "rayOrigin", "rog", compound, 0, {&F::rayOx, &F::rayOy, &F::rayOz}, setters,
     {notStorable, hidden, notReadable}},
    {__LINE__, &F::rayDirectionX, "rayDirectionX", "rdx", floatValue, 1, {}, silent, {}},
    {__LINE__, &F::rayDirectionY, "rayDirectionY", "rdy", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::rayDirectionZ, "rayDirectionZ", "rdz", floatValue, 0, {}, silent, {}},
    {__LINE__, &F::rayDirection, "rayDirection", "rad", compound, 0,
     {&F::rayDirectionX, &F::rayDirectionY, &F::rayDirectionZ}, setters, {notStorable, hidden, notReadable}},
    {__LINE__, &F::objectId, "objectId", "oi", Kind::address, 0, {}, setters, {notStorable, hidden, notReadable}},
    {__LINE__, &F::raySampler, "raySampler", "rtr", Kind::address, 0, {}, setters, {notStorable, hidden, notReadable}},
    {__LINE__, &F::rayDepth, "rayDepth", "rd", Kind::shortValue, 0, {}, setters, {notStorable, hidden, notReadable}},

    // Light data: the children carry their own setters before the compound.
    {__LINE__, &F::lightDirectionX, "lightDirectionX", "ldx", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightDirectionY, "lightDirectionY", "ldy", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightDirectionZ, "lightDirectionZ", "ldz", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightDirection, "lightDirection", "ld", compound, 0,
     {&F::lightDirectionX, &F::lightDirectionY, &F::lightDirectionZ}, all,
     {notStorable, hidden, readable, notWritable, def3(1, 1, 1)}},
    {__LINE__, &F::lightIntensityR, "lightIntensityR", "lir", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightIntensityG, "lightIntensityG", "lig", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightIntensityB, "lightIntensityB", "lib", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightIntensity, "lightIntensity", "li", compound, 0,
     {&F::lightIntensityR, &F::lightIntensityG, &F::lightIntensityB}, all,
     {notStorable, hidden, readable, notWritable, def3(1, 1, 1)}},
    {__LINE__, &F::lightAmbient, "lightAmbient", "la", Kind::booleanValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, defBool(true)}},
    {__LINE__, &F::lightDiffuse, "lightDiffuse", "ldf", Kind::booleanValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, defBool(true)}},
    {__LINE__, &F::lightSpecular, "lightSpecular", "ls", Kind::booleanValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, defBool(false)}},
    {__LINE__, &F::lightShadowFraction, "lightShadowFraction", "lsf", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::preShadowIntensity, "preShadowIntensity", "psi", floatValue, 0, {}, all,
     {notStorable, hidden, readable, notWritable, def1(1.0)}},
    {__LINE__, &F::lightBlindData, "lightBlindData", "lbld", Kind::address, 0, {}, all,
     {notStorable, hidden, readable, notWritable}},
    {__LINE__, &F::lightDataArray, "lightDataArray", "ltd", Kind::lightData, 0,
     {&F::lightDirection, &F::lightIntensity, &F::lightAmbient, &F::lightDiffuse, &F::lightSpecular,
      &F::lightShadowFraction, &F::preShadowIntensity, &F::lightBlindData}, all,
     {array, notStorable, hidden, lightDataDefault}},
};
// clang-format on

// Top-level attributes in the order they join the node type. The light-data
// children come by themselves, before their array.
MObject* const kAddedAttributes[] = {
    &F::color, &F::transparency, &F::ambientColor, &F::incandescence, &F::diffuse,
    &F::depthRange, &F::specular, &F::specularPower, &F::refractiveIndex, &F::frequency,
    &F::normalDeviation, &F::seed, &F::reflectivity, &F::placementMatrix, &F::outColor,
    &F::outTransparency, &F::rayDirection, &F::pointCamera, &F::pointWorld, &F::normalCamera,
    &F::lightDirection, &F::lightIntensity, &F::lightAmbient, &F::lightDiffuse, &F::lightSpecular,
    &F::lightShadowFraction, &F::preShadowIntensity, &F::lightBlindData, &F::lightDataArray, &F::rayOrigin,
    &F::objectId, &F::raySampler, &F::rayDepth,
};

// Dependencies, as groups of inputs that each affect one output, in order.
struct AffectsGroup {
    MObject* output;
    MObject* inputs[7];
};
const AffectsGroup kAffects[] = {
    {&F::outColor, {&F::colorR, &F::colorG, &F::colorB, &F::color}},
    {&F::outTransparency, {&F::transparencyR, &F::transparencyG, &F::transparencyB, &F::transparency}},
    {&F::outColor, {&F::transparencyR, &F::transparencyG, &F::transparencyB, &F::transparency}},
    {&F::outColor, {&F::ambientColorR, &F::ambientColorG, &F::ambientColorB, &F::ambientColor}},
    {&F::outColor, {&F::incandescenceR, &F::incandescenceG, &F::incandescenceB, &F::incandescence}},
    {&F::outColor, {&F::diffuse}},
    {&F::outColor, {&F::depthRangeMin, &F::depthRangeMax, &F::depthRange}},
    {&F::outColor, {&F::specularMin, &F::specularMax, &F::specular, &F::specularPower}},
    {&F::outColor, {&F::refractiveIndexR, &F::refractiveIndexG, &F::refractiveIndexB, &F::refractiveIndex}},
    {&F::outColor, {&F::frequencyX, &F::frequencyY, &F::frequency}},
    {&F::outColor, {&F::normalDeviation, &F::seed, &F::reflectivity, &F::placementMatrix}},
    {&F::outColor, {&F::rayDirectionX, &F::rayDirectionY, &F::rayDirectionZ, &F::rayDirection}},
    {&F::outColor, {&F::pointCamera, &F::pointCameraX, &F::pointCameraY, &F::pointCameraZ}},
    {&F::outColor, {&F::pointWorldX, &F::pointWorldY, &F::pointWorldZ, &F::pointWorld}},
    {&F::outColor, {&F::normalCameraX, &F::normalCameraY, &F::normalCameraZ, &F::normalCamera}},
    {&F::outColor, {&F::lightDirectionX, &F::lightDirectionY, &F::lightDirectionZ, &F::lightDirection}},
    {&F::outColor, {&F::lightAmbient, &F::lightSpecular, &F::lightDiffuse, &F::lightShadowFraction,
                    &F::preShadowIntensity, &F::lightBlindData, &F::lightDataArray}},
    {&F::outColor, {&F::rayOx, &F::rayOy, &F::rayOz, &F::rayOrigin}},
    {&F::outColor, {&F::objectId, &F::raySampler, &F::rayDepth}},
};

// Creates the row's attribute with the function set of its kind and
// returns that set: the setters act on what it created last.
MFnAttribute& create(const AttributeStep& step, MStatus* status, MFnNumericAttribute& numericFn,
                     MFnMatrixAttribute& matrixFn, MFnLightDataAttribute& lightFn) {
    MObject* const* c = step.children;
    switch (step.kind) {
        case Kind::floatValue:
            *step.handle =
                numericFn.create(step.longName, step.shortName, MFnNumericData::kFloat, step.createDefault, status);
            return numericFn;
        case Kind::shortValue:
            *step.handle =
                numericFn.create(step.longName, step.shortName, MFnNumericData::kShort, step.createDefault, status);
            return numericFn;
        case Kind::booleanValue:
            *step.handle = numericFn.create(step.longName, step.shortName, MFnNumericData::kBoolean,
                                            step.createDefault, status);
            return numericFn;
        case Kind::compound:
            *step.handle = numericFn.create(step.longName, step.shortName, *c[0], *c[1],
                                            c[2] ? *c[2] : MObject::kNullObj, status);
            return numericFn;
        case Kind::address:
            *step.handle = numericFn.createAddr(step.longName, step.shortName, nullptr, status);
            return numericFn;
        case Kind::floatMatrix:
            *step.handle = matrixFn.create(step.longName, step.shortName, MFnMatrixAttribute::kFloat, status);
            return matrixFn;
        case Kind::lightData:
            *step.handle =
                lightFn.create(step.longName, step.shortName, *c[0], *c[1], *c[2], *c[3], *c[4], *c[5], *c[6], *c[7],
                               status);
            return lightFn;
    }
    return numericFn;
}

MStatus apply(const Setter& s, MFnAttribute& fn, MFnNumericAttribute& numericFn, MFnLightDataAttribute& lightFn) {
    switch (s.op) {
        case Op::end: break;
        case Op::keyable: return fn.setKeyable(true);
        case Op::storable: return fn.setStorable(true);
        case Op::notStorable: return fn.setStorable(false);
        case Op::readable: return fn.setReadable(true);
        case Op::notReadable: return fn.setReadable(false);
        case Op::writable: return fn.setWritable(true);
        case Op::notWritable: return fn.setWritable(false);
        case Op::hidden: return fn.setHidden(true);
        case Op::notHidden: return fn.setHidden(false);
        case Op::usedAsColor: return fn.setUsedAsColor(true);
        case Op::array: return fn.setArray(true);
        // Defaults are single precision: the table's values round to float here.
        case Op::default1: return numericFn.setDefault(float(s.a));
        case Op::default2: return numericFn.setDefault(float(s.a), float(s.b));
        case Op::default3: return numericFn.setDefault(float(s.a), float(s.b), float(s.c));
        case Op::defaultBool: return numericFn.setDefault(s.a != 0);
        case Op::min3: return numericFn.setMin(s.a, s.b, s.c);
        case Op::softMin: return numericFn.setSoftMin(s.a);
        case Op::softMax: return numericFn.setSoftMax(s.a);
        // Direction and intensity zero, ambient and diffuse on, specular
        // off, no shadow, no blind data.
        case Op::lightDataDefault:
            return lightFn.setDefault(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, true, true, false, 1.0f, 1.0f, nullptr);
    }
    return MS::kSuccess;
}

}  // namespace

MStatus flakeCoat::initialize() {
    MFnNumericAttribute numericFn;
    MFnLightDataAttribute lightFn;
    MFnMatrixAttribute matrixFn;

    // Create the attributes, each with its setters.
    for (const AttributeStep& step : kAttributeSteps) {
        MStatus createStatus;
        const bool reportCreation = step.reporting == Reporting::all;
        MFnAttribute& fn = create(step, reportCreation ? &createStatus : nullptr, numericFn, matrixFn, lightFn);
        if (reportCreation) checkAndReport(createStatus, step.line);
        for (const Setter& setter : step.setters) {
            if (setter.op == Op::end) break;
            const MStatus status = apply(setter, fn, numericFn, lightFn);
            if (step.reporting != Reporting::silent) checkAndReport(status, step.line);
        }
    }

    // Add them to the node type.
    for (MObject* attribute : kAddedAttributes) addAttribute(*attribute);

    // Declare which inputs affect which output.
    for (const AffectsGroup& group : kAffects)
        for (MObject* input : group.inputs)
            if (input) attributeAffects(*input, *group.output);

    return MS::kSuccess;
}
