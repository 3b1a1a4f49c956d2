// The attribute function sets: creation of attributes and their setters.
// Every call here is registration-time: it takes the registry mutex, may
// have a failure injected, and is recorded when recording is on.

#include <maya/MFnAttribute.h>
#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>

#include "hostState.h"

using namespace mayaHost;

const MObject MObject::kNullObj;

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// A new attribute belongs to the node type whose initialise function is
// running, or to the registry when none is.
AttributeRecord* newAttribute(const MString& longName, const MString& shortName, AttributeKind kind) {
    Registry& r = registry();
    auto record = std::make_unique<AttributeRecord>();
    record->longName = longName.asChar();
    record->shortName = shortName.asChar();
    record->kind = kind;
    AttributeRecord* raw = record.get();
    if (r.initializing) {
        raw->owner = r.initializing;
        r.initializing->created_.push_back(raw);
        r.initializing->owned.push_back(std::move(record));
    } else {
        r.loose.push_back(std::move(record));
    }
    return raw;
}

// A default as the attribute's own type holds it.
double asStored(MFnNumericData::Type type, double value) {
    switch (type) {
        case MFnNumericData::kBoolean: return value != 0 ? 1.0 : 0.0;
        case MFnNumericData::kByte:
        case MFnNumericData::kChar: return double(char(value));
        case MFnNumericData::kShort: return double(short(value));
        case MFnNumericData::kInt: return double(int(value));
        case MFnNumericData::kFloat: return double(float(value));
        default: return value;
    }
}

bool isSimpleNumeric(MFnNumericData::Type type) {
    switch (type) {
        case MFnNumericData::kBoolean:
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kInt:
        case MFnNumericData::kFloat:
        case MFnNumericData::kDouble: return true;
        default: return false;
    }
}

MFnNumericData::Type compoundType(MFnNumericData::Type child, std::size_t count) {
    const bool three = count == 3;
    switch (child) {
        case MFnNumericData::kShort: return three ? MFnNumericData::k3Short : MFnNumericData::k2Short;
        case MFnNumericData::kInt: return three ? MFnNumericData::k3Int : MFnNumericData::k2Int;
        case MFnNumericData::kFloat: return three ? MFnNumericData::k3Float : MFnNumericData::k2Float;
        case MFnNumericData::kDouble: return three ? MFnNumericData::k3Double : MFnNumericData::k2Double;
        default: return MFnNumericData::kInvalid;
    }
}

void adopt(AttributeRecord* parent, AttributeRecord* child) {
    child->parentRecord = parent;
    child->parent = parent;
    parent->childRecords.push_back(child);
    parent->children.push_back(child);
}

// Runs a setter on the attribute the function set is attached to.
template <typename Apply>
MStatus setOnAttribute(const MObject& object, ApiCall call, Apply apply) {
    Registry& r = registry();
    Lock lock(r.mutex);
    AttributeRecord* a = attributeRecord(object);
    const std::string name = a ? a->longName : "";
    MStatus status = injectedResult(call, name);
    if (status == MS::kSuccess) status = a ? apply(*a) : MStatus(MS::kInvalidParameter);
    recordCall(call, name, "", false, status);
    return status;
}

MStatus setFlag(const MObject& object, ApiCall call, bool AttributeFlags::*flag, bool state) {
    return setOnAttribute(object, call, [&](AttributeRecord& a) {
        a.flags.*flag = state;
        return MStatus(MS::kSuccess);
    });
}

// Sets one, two or three per-component values of a numeric or compound.
MStatus setComponents(const MObject& object, ApiCall call, const double* values, unsigned count,
                      void (*apply)(AttributeRecord&, const double*, unsigned)) {
    return setOnAttribute(object, call, [&](AttributeRecord& a) {
        if (a.componentCount() != count) return MStatus(MS::kInvalidParameter);
        apply(a, values, count);
        return MStatus(MS::kSuccess);
    });
}

void applyDefault(AttributeRecord& a, const double* v, unsigned count) {
    for (unsigned i = 0; i < count; ++i)
        a.defaultValue[i] =
            asStored(a.kind == AttributeKind::numeric ? a.numericType : a.childRecords[i]->numericType, v[i]);
}
void applyMin(AttributeRecord& a, const double* v, unsigned count) {
    a.limits.hasMin = true;
    for (unsigned i = 0; i < count; ++i) a.limits.min[i] = v[i];
}
void applyMax(AttributeRecord& a, const double* v, unsigned count) {
    a.limits.hasMax = true;
    for (unsigned i = 0; i < count; ++i) a.limits.max[i] = v[i];
}

}  // namespace

// ---- MFnBase / MFnAttribute ----------------------------------------------

MFnBase::~MFnBase() = default;

MObject MFnBase::object(MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = object_.isNull() ? MS::kInvalidParameter : MS::kSuccess;
    return object_;
}

MStatus MFnBase::setObject(const MObject& object) {
    object_ = object;
    return object.isNull() ? MS::kInvalidParameter : MS::kSuccess;
}

MFnAttribute::MFnAttribute(const MObject& attribute, MStatus* returnStatus) {
    MStatus status = attributeRecord(attribute) ? setObject(attribute) : MStatus(MS::kInvalidParameter);
    if (returnStatus) *returnStatus = status;
}

MString MFnAttribute::name() const {
    AttributeRecord* a = attributeRecord(object_);
    return a ? MString(a->longName.c_str()) : MString();
}

MString MFnAttribute::shortName() const {
    AttributeRecord* a = attributeRecord(object_);
    return a ? MString(a->shortName.c_str()) : MString();
}

MStatus MFnAttribute::setReadable(bool s) { return setFlag(object_, ApiCall::setReadable, &AttributeFlags::readable, s); }
MStatus MFnAttribute::setWritable(bool s) { return setFlag(object_, ApiCall::setWritable, &AttributeFlags::writable, s); }
MStatus MFnAttribute::setConnectable(bool s) {
    return setFlag(object_, ApiCall::setConnectable, &AttributeFlags::connectable, s);
}
MStatus MFnAttribute::setStorable(bool s) { return setFlag(object_, ApiCall::setStorable, &AttributeFlags::storable, s); }
MStatus MFnAttribute::setCached(bool s) { return setFlag(object_, ApiCall::setCached, &AttributeFlags::cached, s); }
MStatus MFnAttribute::setArray(bool s) { return setFlag(object_, ApiCall::setArray, &AttributeFlags::array, s); }
MStatus MFnAttribute::setKeyable(bool s) { return setFlag(object_, ApiCall::setKeyable, &AttributeFlags::keyable, s); }
MStatus MFnAttribute::setHidden(bool s) { return setFlag(object_, ApiCall::setHidden, &AttributeFlags::hidden, s); }
MStatus MFnAttribute::setUsedAsColor(bool s) {
    return setFlag(object_, ApiCall::setUsedAsColor, &AttributeFlags::usedAsColor, s);
}

// ---- MFnNumericAttribute ---------------------------------------------------

MFnNumericAttribute::MFnNumericAttribute(const MObject& attribute, MStatus* returnStatus)
    : MFnAttribute(attribute, returnStatus) {}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue, MStatus* returnStatus) {
    Registry& r = registry();
    Lock lock(r.mutex);
    MStatus status = injectedResult(ApiCall::numericCreate, fullName.asChar());
    if (status == MS::kSuccess && (fullName.length() == 0 || !isSimpleNumeric(unitType)))
        status = MS::kInvalidParameter;
    object_ = MObject();
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, AttributeKind::numeric);
        a->numericType = unitType;
        a->createDefault = defaultValue;
        a->defaultValue[0] = asStored(unitType, defaultValue);
        object_ = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(ApiCall::numericCreate, fullName.asChar(), "", returnStatus != nullptr, status);
    return object_;
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName, const MObject& child1,
                                    const MObject& child2, const MObject& child3, MStatus* returnStatus) {
    Registry& r = registry();
    Lock lock(r.mutex);
    MStatus status = injectedResult(ApiCall::numericCreate, fullName.asChar());
    AttributeRecord* children[3] = {attributeRecord(child1), attributeRecord(child2), attributeRecord(child3)};
    const std::size_t count = children[2] ? 3 : 2;
    if (status == MS::kSuccess && (fullName.length() == 0 || !children[0] || !children[1] ||
                                   (!children[2] && !child3.isNull())))
        status = MS::kInvalidParameter;
    for (std::size_t i = 0; status == MS::kSuccess && i < count; ++i)
        if (children[i]->kind != AttributeKind::numeric || children[i]->parentRecord)
            status = MS::kInvalidParameter;
    object_ = MObject();
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, AttributeKind::numericCompound);
        bool sameType = true;
        for (std::size_t i = 0; i < count; ++i) {
            adopt(a, children[i]);
            a->defaultValue[i] = children[i]->defaultValue[0];
            sameType = sameType && children[i]->numericType == children[0]->numericType;
        }
        a->numericType = sameType ? compoundType(children[0]->numericType, count) : MFnNumericData::kInvalid;
        object_ = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(ApiCall::numericCreate, fullName.asChar(), "", returnStatus != nullptr, status);
    return object_;
}

MObject MFnNumericAttribute::createAddr(const MString& fullName, const MString& briefName, void* defaultValue,
                                        MStatus* returnStatus) {
    Registry& r = registry();
    Lock lock(r.mutex);
    MStatus status = injectedResult(ApiCall::numericCreateAddr, fullName.asChar());
    if (status == MS::kSuccess && fullName.length() == 0) status = MS::kInvalidParameter;
    object_ = MObject();
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, AttributeKind::address);
        a->numericType = MFnNumericData::kAddr;
        a->defaultAddress = defaultValue;
        object_ = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(ApiCall::numericCreateAddr, fullName.asChar(), "", returnStatus != nullptr, status);
    return object_;
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* returnStatus) const {
    AttributeRecord* a = attributeRecord(object_);
    if (returnStatus) *returnStatus = a ? MS::kSuccess : MS::kInvalidParameter;
    return a ? a->numericType : MFnNumericData::kInvalid;
}

MStatus MFnNumericAttribute::setDefault(bool value) {
    const double v[1] = {value ? 1.0 : 0.0};
    return setComponents(object_, ApiCall::numericSetDefault, v, 1, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(short value) {
    const double v[1] = {double(value)};
    return setComponents(object_, ApiCall::numericSetDefault, v, 1, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(int value) {
    const double v[1] = {double(value)};
    return setComponents(object_, ApiCall::numericSetDefault, v, 1, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value) {
    const double v[1] = {double(value)};
    return setComponents(object_, ApiCall::numericSetDefault, v, 1, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(double value) {
    const double v[1] = {value};
    return setComponents(object_, ApiCall::numericSetDefault, v, 1, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2) {
    const double v[2] = {double(value1), double(value2)};
    return setComponents(object_, ApiCall::numericSetDefault, v, 2, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    const double v[3] = {double(value1), double(value2), double(value3)};
    return setComponents(object_, ApiCall::numericSetDefault, v, 3, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2) {
    const double v[2] = {value1, value2};
    return setComponents(object_, ApiCall::numericSetDefault, v, 2, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2, double value3) {
    const double v[3] = {value1, value2, value3};
    return setComponents(object_, ApiCall::numericSetDefault, v, 3, applyDefault);
}

MStatus MFnNumericAttribute::setMin(double value) {
    const double v[1] = {value};
    return setComponents(object_, ApiCall::setMin, v, 1, applyMin);
}
MStatus MFnNumericAttribute::setMin(double value1, double value2) {
    const double v[2] = {value1, value2};
    return setComponents(object_, ApiCall::setMin, v, 2, applyMin);
}
MStatus MFnNumericAttribute::setMin(double value1, double value2, double value3) {
    const double v[3] = {value1, value2, value3};
    return setComponents(object_, ApiCall::setMin, v, 3, applyMin);
}
MStatus MFnNumericAttribute::setMax(double value) {
    const double v[1] = {value};
    return setComponents(object_, ApiCall::setMax, v, 1, applyMax);
}
MStatus MFnNumericAttribute::setMax(double value1, double value2) {
    const double v[2] = {value1, value2};
    return setComponents(object_, ApiCall::setMax, v, 2, applyMax);
}
MStatus MFnNumericAttribute::setMax(double value1, double value2, double value3) {
    const double v[3] = {value1, value2, value3};
    return setComponents(object_, ApiCall::setMax, v, 3, applyMax);
}

MStatus MFnNumericAttribute::setSoftMin(double value) {
    return setOnAttribute(object_, ApiCall::setSoftMin, [&](AttributeRecord& a) {
        if (a.componentCount() == 0) return MStatus(MS::kInvalidParameter);
        a.limits.hasSoftMin = true;
        a.limits.softMin = value;
        return MStatus(MS::kSuccess);
    });
}

MStatus MFnNumericAttribute::setSoftMax(double value) {
    return setOnAttribute(object_, ApiCall::setSoftMax, [&](AttributeRecord& a) {
        if (a.componentCount() == 0) return MStatus(MS::kInvalidParameter);
        a.limits.hasSoftMax = true;
        a.limits.softMax = value;
        return MStatus(MS::kSuccess);
    });
}

// ---- MFnMatrixAttribute ----------------------------------------------------

MFnMatrixAttribute::MFnMatrixAttribute(const MObject& attribute, MStatus* returnStatus)
    : MFnAttribute(attribute, returnStatus) {}

MObject MFnMatrixAttribute::create(const MString& fullName, const MString& briefName, Type matrixType,
                                   MStatus* returnStatus) {
    Registry& r = registry();
    Lock lock(r.mutex);
    MStatus status = injectedResult(ApiCall::matrixCreate, fullName.asChar());
    if (status == MS::kSuccess && fullName.length() == 0) status = MS::kInvalidParameter;
    object_ = MObject();
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, AttributeKind::matrix);
        a->matrixType = matrixType;
        object_ = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(ApiCall::matrixCreate, fullName.asChar(), "", returnStatus != nullptr, status);
    return object_;
}

// ---- MFnLightDataAttribute -------------------------------------------------

MFnLightDataAttribute::MFnLightDataAttribute(const MObject& attribute, MStatus* returnStatus)
    : MFnAttribute(attribute, returnStatus) {}

MObject MFnLightDataAttribute::create(const MString& fullName, const MString& briefName, const MObject& direction,
                                      const MObject& intensity, const MObject& ambient, const MObject& diffuse,
                                      const MObject& specular, const MObject& shadowFraction,
                                      const MObject& preShadowIntensity, const MObject& blindData,
                                      MStatus* returnStatus) {
    Registry& r = registry();
    Lock lock(r.mutex);
    MStatus status = injectedResult(ApiCall::lightDataCreate, fullName.asChar());
    const MObject* objects[8] = {&direction, &intensity, &ambient, &diffuse,
                                 &specular, &shadowFraction, &preShadowIntensity, &blindData};
    AttributeRecord* children[8];
    for (int i = 0; i < 8; ++i) {
        children[i] = attributeRecord(*objects[i]);
        if (status == MS::kSuccess && (!children[i] || children[i]->parentRecord)) status = MS::kInvalidParameter;
    }
    if (status == MS::kSuccess && fullName.length() == 0) status = MS::kInvalidParameter;
    object_ = MObject();
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, AttributeKind::lightData);
        for (AttributeRecord* child : children) adopt(a, child);
        object_ = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(ApiCall::lightDataCreate, fullName.asChar(), "", returnStatus != nullptr, status);
    return object_;
}

MObject MFnLightDataAttribute::child(unsigned int index, MStatus* returnStatus) const {
    AttributeRecord* a = attributeRecord(object_);
    const bool ok = a && index < a->childRecords.size();
    if (returnStatus) *returnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? attributeObject(a->childRecords[index]) : MObject();
}

MStatus MFnLightDataAttribute::setDefault(float dirX, float dirY, float dirZ, float intR, float intG, float intB,
                                          bool ambient, bool diffuse, bool specular, float shadowFraction,
                                          float preShadowIntensity, void* blindData) {
    return setOnAttribute(object_, ApiCall::lightDataSetDefault, [&](AttributeRecord& a) {
        if (a.kind != AttributeKind::lightData) return MStatus(MS::kInvalidParameter);
        LightDataValue& d = a.lightDataDefault;
        d.direction[0] = dirX, d.direction[1] = dirY, d.direction[2] = dirZ;
        d.intensity[0] = intR, d.intensity[1] = intG, d.intensity[2] = intB;
        d.ambient = ambient, d.diffuse = diffuse, d.specular = specular;
        d.shadowFraction = shadowFraction;
        d.preShadowIntensity = preShadowIntensity;
        d.blindData = blindData;
        a.hasLightDataDefault = true;
        return MStatus(MS::kSuccess);
    });
}
