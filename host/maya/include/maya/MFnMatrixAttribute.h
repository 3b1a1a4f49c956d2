#ifndef FLAKECOAT_HOST_MAYA_MFNMATRIXATTRIBUTE_H
#define FLAKECOAT_HOST_MAYA_MFNMATRIXATTRIBUTE_H

#include <maya/MFnAttribute.h>

// Creates 4x4 matrix attributes; the default value is the identity.
class MFnMatrixAttribute : public MFnAttribute {
public:
    enum Type { kFloat = 0, kDouble = 1 };

    MFnMatrixAttribute() = default;
    explicit MFnMatrixAttribute(const MObject& attribute, MStatus* returnStatus = nullptr);

    MObject create(const MString& fullName, const MString& briefName, Type matrixType = kDouble,
                   MStatus* returnStatus = nullptr);
};

#endif
