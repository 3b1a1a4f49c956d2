#ifndef FLAKECOAT_HOST_MAYA_MFNLIGHTDATAATTRIBUTE_H
#define FLAKECOAT_HOST_MAYA_MFNLIGHTDATAATTRIBUTE_H

#include <maya/MFnAttribute.h>

// The compound through which the renderer hands a surface shader one
// light's data. Its default applies to the whole compound and overrides the
// children's own defaults.
class MFnLightDataAttribute : public MFnAttribute {
public:
    MFnLightDataAttribute() = default;
    explicit MFnLightDataAttribute(const MObject& attribute, MStatus* returnStatus = nullptr);

    MObject create(const MString& fullName, const MString& briefName, const MObject& direction,
                   const MObject& intensity, const MObject& ambient, const MObject& diffuse,
                   const MObject& specular, const MObject& shadowFraction, const MObject& preShadowIntensity,
                   const MObject& blindData, MStatus* returnStatus = nullptr);

    MObject child(unsigned int index, MStatus* returnStatus = nullptr) const;

    MStatus setDefault(float dirX, float dirY, float dirZ, float intR, float intG, float intB, bool ambient,
                       bool diffuse, bool specular, float shadowFraction, float preShadowIntensity,
                       void* blindData);
};

#endif
