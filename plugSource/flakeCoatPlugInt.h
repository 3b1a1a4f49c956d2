#ifndef FLAKECOAT_PLUGSOURCE_FLAKECOATPLUGINT_H
#define FLAKECOAT_PLUGSOURCE_FLAKECOATPLUGINT_H

// The flakeCoat surface-shader node: its class-wide attribute handles, its
// creator and attribute-initialise function, its compute, and the
// check-and-report step used while the attributes are created.

#include <iostream>

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

// Check-and-report: a failed status is written to standard error with the
// source line of the step that returned it, and the work carries on. The
// path printed is this header's, which holds the step.
inline void checkAndReport(const MStatus& status, int line) {
    if (status == MS::kSuccess) return;
    std::cerr << "\nAPI error detected in " << __FILE__ << " at line " << line << std::endl;
    status.perror("");
}

class flakeCoat : public MPxNode {
public:
    flakeCoat();
    ~flakeCoat() override;

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static void* creator();
    static MStatus initialize();

    static MTypeId id;

    // Shading inputs.
    static MObject color, colorR, colorG, colorB;
    static MObject transparency, transparencyR, transparencyG, transparencyB;
    static MObject ambientColor, ambientColorR, ambientColorG, ambientColorB;
    static MObject incandescence, incandescenceR, incandescenceG, incandescenceB;
    static MObject diffuse;
    static MObject depthRange, depthRangeMin, depthRangeMax;
    static MObject refractiveIndex, refractiveIndexR, refractiveIndexG, refractiveIndexB;
    static MObject specular, specularMin, specularMax;
    static MObject specularPower;
    static MObject frequency, frequencyX, frequencyY;
    static MObject normalDeviation;
    static MObject seed;
    static MObject reflectivity;
    static MObject placementMatrix;

    // Outputs.
    static MObject outColor, outColorR, outColorG, outColorB;
    static MObject outTransparency, outTransparencyR, outTransparencyG, outTransparencyB;

    // Sample attributes the renderer fills for every shading sample.
    static MObject pointCamera, pointCameraX, pointCameraY, pointCameraZ;
    static MObject pointWorld, pointWorldX, pointWorldY, pointWorldZ;
    static MObject normalCamera, normalCameraX, normalCameraY, normalCameraZ;
    static MObject rayOrigin, rayOx, rayOy, rayOz;
    static MObject rayDirection, rayDirectionX, rayDirectionY, rayDirectionZ;
    static MObject objectId;
    static MObject raySampler;
    static MObject rayDepth;

    // The renderer's light data, one element per light.
    static MObject lightDirection, lightDirectionX, lightDirectionY, lightDirectionZ;
    static MObject lightIntensity, lightIntensityR, lightIntensityG, lightIntensityB;
    static MObject lightAmbient, lightDiffuse, lightSpecular;
    static MObject lightShadowFraction, preShadowIntensity, lightBlindData;
    static MObject lightDataArray;

private:
    MStatus computeColor(MDataBlock& block);
    MStatus computeTransparency(MDataBlock& block);
};

#endif
