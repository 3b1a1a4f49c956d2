#ifndef FLAKECOAT_HOST_MAYA_MFNNUMERICATTRIBUTE_H
#define FLAKECOAT_HOST_MAYA_MFNNUMERICATTRIBUTE_H

#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>

// Creates and edits numeric attributes: single values, compounds of two or
// three numeric children, and addresses. The hard minimum and maximum bound
// the value; the soft ones only bound the slider.
class MFnNumericAttribute : public MFnAttribute {
public:
    MFnNumericAttribute() = default;
    explicit MFnNumericAttribute(const MObject& attribute, MStatus* returnStatus = nullptr);

    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                   double defaultValue = 0, MStatus* returnStatus = nullptr);
    // A compound of two or three numeric children; MObject::kNullObj as the
    // third child makes a two-component compound.
    MObject create(const MString& fullName, const MString& briefName, const MObject& child1,
                   const MObject& child2, const MObject& child3 = MObject::kNullObj,
                   MStatus* returnStatus = nullptr);
    MObject createAddr(const MString& fullName, const MString& briefName, void* defaultValue = nullptr,
                       MStatus* returnStatus = nullptr);

    MStatus setDefault(bool value);
    MStatus setDefault(float value);
    MStatus setDefault(float value1, float value2);
    MStatus setDefault(float value1, float value2, float value3);

    MStatus setMin(double value1, double value2, double value3);
    MStatus setMax(double value);
    MStatus setMax(double value1, double value2);
    MStatus setMax(double value1, double value2, double value3);
    MStatus setSoftMin(double value);
    MStatus setSoftMax(double value);
};

#endif
