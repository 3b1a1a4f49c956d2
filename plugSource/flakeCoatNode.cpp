// The node class: its class-wide handles, creation, and compute.

#include <maya/MDataHandle.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <maya/MRenderUtil.h>

#include "colorEvaluationStages.h"
#include "flakeCoatPlugInt.h"

using flakecoat::maya::ColorEvaluation;
using flakecoat::maya::ColorInputs;

MTypeId flakeCoat::id(0x71975);

MObject flakeCoat::color, flakeCoat::colorR, flakeCoat::colorG, flakeCoat::colorB;
MObject flakeCoat::transparency, flakeCoat::transparencyR, flakeCoat::transparencyG, flakeCoat::transparencyB;
MObject flakeCoat::ambientColor, flakeCoat::ambientColorR, flakeCoat::ambientColorG, flakeCoat::ambientColorB;
MObject flakeCoat::incandescence, flakeCoat::incandescenceR, flakeCoat::incandescenceG, flakeCoat::incandescenceB;
MObject flakeCoat::diffuse;
MObject flakeCoat::depthRange, flakeCoat::depthRangeMin, flakeCoat::depthRangeMax;
MObject flakeCoat::refractiveIndex, flakeCoat::refractiveIndexR, flakeCoat::refractiveIndexG,
    flakeCoat::refractiveIndexB;
MObject flakeCoat::specular, flakeCoat::specularMin, flakeCoat::specularMax;
MObject flakeCoat::specularPower;
MObject flakeCoat::frequency, flakeCoat::frequencyX, flakeCoat::frequencyY;
MObject flakeCoat::normalDeviation;
MObject flakeCoat::seed;
MObject flakeCoat::reflectivity;
MObject flakeCoat::placementMatrix;
MObject flakeCoat::outColor, flakeCoat::outColorR, flakeCoat::outColorG, flakeCoat::outColorB;
MObject flakeCoat::outTransparency, flakeCoat::outTransparencyR, flakeCoat::outTransparencyG,
    flakeCoat::outTransparencyB;
MObject flakeCoat::pointCamera, flakeCoat::pointCameraX, flakeCoat::pointCameraY, flakeCoat::pointCameraZ;
MObject flakeCoat::pointWorld, flakeCoat::pointWorldX, flakeCoat::pointWorldY, flakeCoat::pointWorldZ;
MObject flakeCoat::normalCamera, flakeCoat::normalCameraX, flakeCoat::normalCameraY, flakeCoat::normalCameraZ;
MObject flakeCoat::rayOrigin, flakeCoat::rayOx, flakeCoat::rayOy, flakeCoat::rayOz;
MObject flakeCoat::rayDirection, flakeCoat::rayDirectionX, flakeCoat::rayDirectionY, flakeCoat::rayDirectionZ;
MObject flakeCoat::objectId;
MObject flakeCoat::raySampler;
MObject flakeCoat::rayDepth;
MObject flakeCoat::lightDirection, flakeCoat::lightDirectionX, flakeCoat::lightDirectionY,
    flakeCoat::lightDirectionZ;
MObject flakeCoat::lightIntensity, flakeCoat::lightIntensityR, flakeCoat::lightIntensityG,
    flakeCoat::lightIntensityB;
MObject flakeCoat::lightAmbient, flakeCoat::lightDiffuse, flakeCoat::lightSpecular;
MObject flakeCoat::lightShadowFraction, flakeCoat::preShadowIntensity, flakeCoat::lightBlindData;
MObject flakeCoat::lightDataArray;

flakeCoat::flakeCoat() = default;
flakeCoat::~flakeCoat() = default;

void* flakeCoat::creator() { return new flakeCoat(); }

// The node keeps no state of its own, so the renderer may compute samples of
// it on several processors at once.
void flakeCoat::postConstructor() { setMPSafe(true); }

MStatus flakeCoat::compute(const MPlug& plug, MDataBlock& block) {
    if (plug == outColor || plug == outColorR || plug == outColorG || plug == outColorB)
        return computeColor(block);
    if (plug == outTransparency || plug == outTransparencyR || plug == outTransparencyG ||
        plug == outTransparencyB)
        return computeTransparency(block);
    return MS::kUnknownParameter;
}

MStatus flakeCoat::computeColor(MDataBlock& block) {
    // Shading inputs and sample values, in the evaluation's reading order.
    ColorInputs in;
    in.color = block.inputValue(color).asFloatVector();
    in.ambientColor = block.inputValue(ambientColor).asFloatVector();
    in.incandescence = block.inputValue(incandescence).asFloatVector();
    in.placementMatrix = block.inputValue(placementMatrix).asFloatMatrix();
    in.diffuse = block.inputValue(diffuse).asFloat();
    const float2& depth = block.inputValue(depthRange).asFloat2();
    in.depthRangeMin = depth[0];
    in.depthRangeMax = depth[1];
    const float3& index = block.inputValue(refractiveIndex).asFloat3();
    in.refractiveIndex[0] = index[0];
    in.refractiveIndex[1] = index[1];
    in.refractiveIndex[2] = index[2];
    const float2& exponents = block.inputValue(specular).asFloat2();
    in.specularMin = exponents[0];
    in.specularMax = exponents[1];
    in.specularPower = block.inputValue(specularPower).asFloat();
    const float2& frequencies = block.inputValue(frequency).asFloat2();
    in.frequencyX = frequencies[0];
    in.frequencyY = frequencies[1];
    in.normalDeviation = block.inputValue(normalDeviation).asFloat();
    in.seed = block.inputValue(seed).asFloat();
    in.reflectivity = block.inputValue(reflectivity).asFloat();
    in.rayDirection = block.inputValue(rayDirection).asFloatVector();
    in.pointCamera = block.inputValue(pointCamera).asFloatVector();
    in.pointWorld = block.inputValue(pointWorld).asFloatVector();
    // The normal is used in place: the evaluation normalises the block's value.
    MFloatVector& normal = block.inputValue(normalCamera).asFloatVector();
    in.raySampler = block.inputValue(raySampler).asAddr();
    in.rayDepth = block.inputValue(rayDepth).asShort();
    in.objectId = block.inputValue(objectId).asAddr();

    ColorEvaluation evaluation(in, normal);

    // Lights: at most elementCount elements, ending early when next() fails.
    MArrayDataHandle lights = block.inputArrayValue(lightDataArray);
    const int count = int(lights.elementCount());
    if (count >= 1) {
        for (int i = 1;; ++i) {
            MDataHandle light = lights.inputValue();
            const MFloatVector& intensity = light.child(lightIntensity).asFloatVector();
            MFloatVector& direction = light.child(lightDirection).asFloatVector();
            const bool ambient = light.child(lightAmbient).asBool();
            const bool diffuseOn = light.child(lightDiffuse).asBool();
            const bool specularOn = light.child(lightSpecular).asBool();
            evaluation.addLight(intensity, direction, ambient, diffuseOn, specularOn);
            if (lights.next() != MS::kSuccess || i >= count) break;
        }
    }

    evaluation.traceReflection(&MRenderUtil::raytrace);

    // Transparency is read last, after the reflection.
    const MFloatVector transparent = block.inputValue(transparency).asFloatVector();
    const MFloatVector result = evaluation.combine(transparent);

    MDataHandle out = block.outputValue(outColor);
    out.asFloatVector() = result;
    out.setClean();
    return MS::kSuccess;
}

MStatus flakeCoat::computeTransparency(MDataBlock& block) {
    const MFloatVector transparent = block.inputValue(transparency).asFloatVector();
    MDataHandle out = block.outputValue(outTransparency);
    MFloatVector& value = out.asFloatVector();
    value.x = transparent.x;
    value.y = transparent.y;
    value.z = transparent.z;
    out.setClean();
    return MS::kSuccess;
}
