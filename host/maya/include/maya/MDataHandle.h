#ifndef FLAKECOAT_HOST_MAYA_MDATAHANDLE_H
#define FLAKECOAT_HOST_MAYA_MDATAHANDLE_H

#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MPlug;

// A handle on one value held in a data block. The as...() accessors return
// references into the block itself, so writing through them changes the
// stored value. An accessor that does not match the attribute's type, or a
// handle on nothing, yields zeroed scratch storage of the block instead.
class MDataHandle {
public:
    MDataHandle() = default;

    bool& asBool();
    short& asShort();
    int& asInt();
    float& asFloat();
    void*& asAddr();
    float2& asFloat2();
    float3& asFloat3();
    MFloatVector& asFloatVector();
    MFloatMatrix& asFloatMatrix();

    void set(bool value);
    void set(short value);
    void set(int value);
    void set(float value);
    void set(float x, float y);
    void set(float x, float y, float z);
    void set(const MFloatVector& value);
    void set(const MFloatMatrix& value);
    void setAddr(void* address);

    // Marks the value (and its children) as computed.
    void setClean();

    // The handle on a child of this compound value (or of this array element).
    MDataHandle child(const MObject& attribute);
    MDataHandle child(const MPlug& plug);

    // Host side only.
    enum class Form : unsigned char { none, value, array };
    MDataHandle(void* data, const void* attribute, void* block, Form form)
        : data_(data), attribute_(attribute), block_(block), form_(form) {}
    void* hostData() const { return data_; }
    const void* hostAttribute() const { return attribute_; }
    void* hostBlock() const { return block_; }
    Form hostForm() const { return form_; }

private:
    void* data_ = nullptr;
    const void* attribute_ = nullptr;
    void* block_ = nullptr;
    Form form_ = Form::none;
};

#endif
