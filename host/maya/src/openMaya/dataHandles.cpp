// Data-block access for a node's compute: handles point straight into the
// block's storage. Nothing here locks or allocates: it runs per sample.

#include <cstring>

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MPlug.h>

#include "hostState.h"

using namespace mayaHost;

namespace {

using Storage = DataBlock::Storage;
using Form = MDataHandle::Form;

unsigned char* threadScratch() {
    alignas(16) static thread_local unsigned char scratch[128];
    std::memset(scratch, 0, sizeof(scratch));
    return scratch;
}

MDataHandle nothing(Storage* block) {
    return MDataHandle(block ? block->zeroedScratch() : threadScratch(), nullptr, block, Form::none);
}

const AttributeRecord* record(const MDataHandle& h) { return static_cast<const AttributeRecord*>(h.hostAttribute()); }
Storage* storage(const MDataHandle& h) { return static_cast<Storage*>(h.hostBlock()); }

// The stored value when the handle's attribute has the wanted type;
// zeroed scratch otherwise.
void* valueOf(const MDataHandle& h, AttributeKind kind, MFnNumericData::Type type) {
    const AttributeRecord* a = record(h);
    if (h.hostForm() == Form::value && a && a->kind == kind && a->numericType == type) return h.hostData();
    return storage(h) ? storage(h)->zeroedScratch() : threadScratch();
}

void* matrixOf(const MDataHandle& h) {
    const AttributeRecord* a = record(h);
    if (h.hostForm() == Form::value && a && a->kind == AttributeKind::matrix &&
        a->matrixType == MFnMatrixAttribute::kFloat)
        return h.hostData();
    return storage(h) ? storage(h)->zeroedScratch() : threadScratch();
}

void setCleanFlags(Storage* block, const AttributeRecord* a, unsigned char value) {
    if (!block || !a || a->typeIndex < 0) return;
    block->clean[std::size_t(a->typeIndex)] = value;
    for (const AttributeRecord* child : a->childRecords) setCleanFlags(block, child, value);
}

MDataHandle valueHandle(Storage* block, const MObject& attribute, MStatus* returnStatus) {
    const AttributeRecord* a = attributeRecord(attribute);
    MStatus status = MS::kSuccess;
    MDataHandle handle;
    if (!block || !a || a->owner != block->type || a->typeIndex < 0) {
        status = MS::kInvalidParameter;
        handle = nothing(block);
    } else if (a->arraySlot >= 0) {
        handle = MDataHandle(&block->arrays[std::size_t(a->arraySlot)], a, block, Form::array);
    } else if (a->blockOffset >= 0) {
        handle = MDataHandle(block->root() + a->blockOffset, a, block, Form::value);
    } else {
        status = MS::kInvalidParameter;  // lives in array elements: reach it through one
        handle = nothing(block);
    }
    if (returnStatus) *returnStatus = status;
    return handle;
}

}  // namespace

unsigned char* DataBlock::Storage::zeroedScratch() {
    std::memset(scratch, 0, sizeof(scratch));
    return scratch;
}

// ---- MDataBlock ------------------------------------------------------------

MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* returnStatus) {
    return valueHandle(static_cast<Storage*>(storage_), attribute, returnStatus);
}
MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* returnStatus) {
    return inputValue(plug.attribute(), returnStatus);
}
MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* returnStatus) {
    return valueHandle(static_cast<Storage*>(storage_), attribute, returnStatus);
}
MDataHandle MDataBlock::outputValue(const MPlug& plug, MStatus* returnStatus) {
    return outputValue(plug.attribute(), returnStatus);
}

MArrayDataHandle MDataBlock::inputArrayValue(const MObject& attribute, MStatus* returnStatus) {
    MStatus status;
    MDataHandle handle = valueHandle(static_cast<Storage*>(storage_), attribute, &status);
    if (status == MS::kSuccess && handle.hostForm() != Form::array) status = MS::kInvalidParameter;
    if (returnStatus) *returnStatus = status;
    return status == MS::kSuccess ? MArrayDataHandle(handle) : MArrayDataHandle();
}

MStatus MDataBlock::setClean(const MObject& attribute) {
    Storage* block = static_cast<Storage*>(storage_);
    const AttributeRecord* a = attributeRecord(attribute);
    if (!block || !a || a->owner != block->type || a->typeIndex < 0) return MS::kInvalidParameter;
    setCleanFlags(block, a, 1);
    return MS::kSuccess;
}
MStatus MDataBlock::setClean(const MPlug& plug) { return setClean(plug.attribute()); }

bool MDataBlock::isClean(const MObject& attribute, MStatus* returnStatus) {
    Storage* block = static_cast<Storage*>(storage_);
    const AttributeRecord* a = attributeRecord(attribute);
    const bool ok = block && a && a->owner == block->type && a->typeIndex >= 0;
    if (returnStatus) *returnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok && block->clean[std::size_t(a->typeIndex)] != 0;
}

// ---- MDataHandle -----------------------------------------------------------

bool& MDataHandle::asBool() {
    return *static_cast<bool*>(valueOf(*this, AttributeKind::numeric, MFnNumericData::kBoolean));
}
short& MDataHandle::asShort() {
    return *static_cast<short*>(valueOf(*this, AttributeKind::numeric, MFnNumericData::kShort));
}
int& MDataHandle::asInt() {
    return *static_cast<int*>(valueOf(*this, AttributeKind::numeric, MFnNumericData::kInt));
}
float& MDataHandle::asFloat() {
    return *static_cast<float*>(valueOf(*this, AttributeKind::numeric, MFnNumericData::kFloat));
}
void*& MDataHandle::asAddr() {
    return *static_cast<void**>(valueOf(*this, AttributeKind::address, MFnNumericData::kAddr));
}
float2& MDataHandle::asFloat2() {
    return *static_cast<float2*>(valueOf(*this, AttributeKind::numericCompound, MFnNumericData::k2Float));
}
float3& MDataHandle::asFloat3() {
    return *static_cast<float3*>(valueOf(*this, AttributeKind::numericCompound, MFnNumericData::k3Float));
}
static_assert(sizeof(MFloatVector) == 3 * sizeof(float), "a three-float compound is stored as an MFloatVector");
static_assert(sizeof(MFloatMatrix) == 16 * sizeof(float), "a float matrix is stored as an MFloatMatrix");
MFloatVector& MDataHandle::asFloatVector() {
    return *static_cast<MFloatVector*>(valueOf(*this, AttributeKind::numericCompound, MFnNumericData::k3Float));
}
MFloatMatrix& MDataHandle::asFloatMatrix() { return *static_cast<MFloatMatrix*>(matrixOf(*this)); }

void MDataHandle::set(bool value) { asBool() = value; }
void MDataHandle::set(short value) { asShort() = value; }
void MDataHandle::set(int value) { asInt() = value; }
void MDataHandle::set(float value) { asFloat() = value; }
void MDataHandle::set(float x, float y) {
    float2& v = asFloat2();
    v[0] = x;
    v[1] = y;
}
void MDataHandle::set(float x, float y, float z) { asFloatVector() = MFloatVector(x, y, z); }
void MDataHandle::set(const MFloatVector& value) { asFloatVector() = value; }
void MDataHandle::set(const MFloatMatrix& value) { asFloatMatrix() = value; }
void MDataHandle::setAddr(void* address) { asAddr() = address; }

void MDataHandle::setClean() { setCleanFlags(storage(*this), record(*this), 1); }

MDataHandle MDataHandle::child(const MObject& attribute) {
    const AttributeRecord* a = attributeRecord(attribute);
    if (form_ == Form::value && a && record(*this) && a->parentRecord == record(*this))
        return MDataHandle(static_cast<unsigned char*>(data_) + a->offset, a, block_, Form::value);
    return nothing(storage(*this));
}
MDataHandle MDataHandle::child(const MPlug& plug) { return child(plug.attribute()); }

// ---- MArrayDataHandle ------------------------------------------------------

MArrayDataHandle::MArrayDataHandle(const MDataHandle& handle, MStatus* returnStatus) {
    const bool ok = handle.hostForm() == Form::array;
    if (ok) {
        array_ = handle.hostData();
        block_ = handle.hostBlock();
    }
    if (returnStatus) *returnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
}

unsigned int MArrayDataHandle::elementCount(MStatus* returnStatus) {
    if (returnStatus) *returnStatus = array_ ? MS::kSuccess : MS::kInvalidParameter;
    return array_ ? static_cast<ArrayStorage*>(array_)->count : 0;
}

MDataHandle MArrayDataHandle::inputValue(MStatus* returnStatus) {
    ArrayStorage* array = static_cast<ArrayStorage*>(array_);
    Storage* block = static_cast<Storage*>(block_);
    if (!array || position_ >= array->count) {
        if (returnStatus) *returnStatus = MS::kFailure;
        return nothing(block);
    }
    if (returnStatus) *returnStatus = MS::kSuccess;
    return MDataHandle(array->element(position_), array->attribute, block, Form::value);
}
MDataHandle MArrayDataHandle::outputValue(MStatus* returnStatus) { return inputValue(returnStatus); }

MStatus MArrayDataHandle::next() {
    const MStatus injected = injectedArrayNext();
    if (injected != MS::kSuccess) return injected;
    ArrayStorage* array = static_cast<ArrayStorage*>(array_);
    if (!array || position_ + 1 >= array->count) return MS::kFailure;
    ++position_;
    return MS::kSuccess;
}

MStatus MArrayDataHandle::jumpToArrayElement(unsigned int position) {
    ArrayStorage* array = static_cast<ArrayStorage*>(array_);
    if (!array || position >= array->count) return MS::kInvalidParameter;
    position_ = position;
    return MS::kSuccess;
}

MStatus MArrayDataHandle::setClean() {
    ArrayStorage* array = static_cast<ArrayStorage*>(array_);
    if (!array) return MS::kInvalidParameter;
    setCleanFlags(static_cast<Storage*>(block_), array->attribute, 1);
    return MS::kSuccess;
}
