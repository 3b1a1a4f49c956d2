#ifndef FLAKECOAT_HOST_MAYA_MFNATTRIBUTE_H
#define FLAKECOAT_HOST_MAYA_MFNATTRIBUTE_H

#include <maya/MFnBase.h>
#include <maya/MString.h>

// Flags common to every attribute. A new attribute is readable, writable and
// storable, and not keyable, hidden, used as a colour or an array.
class MFnAttribute : public MFnBase {
public:
    MFnAttribute() = default;
    explicit MFnAttribute(const MObject& attribute, MStatus* returnStatus = nullptr);

    MString name() const;
    MString shortName() const;

    MStatus setReadable(bool state);
    MStatus setWritable(bool state);
    MStatus setStorable(bool state);
    MStatus setArray(bool state);
    MStatus setKeyable(bool state);
    MStatus setHidden(bool state);
    MStatus setUsedAsColor(bool state);
};

#endif
