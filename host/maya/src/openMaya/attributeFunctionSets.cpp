// The attribute function sets: creation of attributes and their setters.
// Every call here is registration-time: it takes the registry mutex, may
// have a failure injected, and is recorded when recording is on.

#include <initializer_list>

#include <maya/MFnAttribute.h>
#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>

#include "hostState.h"

using namespace mayaHost;

MObject MObject::kNullObj;

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

// Runs a create call: an injected failure, an empty name or arguments that
// `valid` refuses make no attribute; otherwise `fill` completes the new one.
template <typename Valid, typename Fill>
MObject createAttribute(ApiCall call, const MString& fullName, const MString& briefName, AttributeKind kind,
                        MStatus* returnStatus, Valid valid, Fill fill) {
    Lock lock(registry().mutex);
    MStatus status = injectedResult(call, fullName.asChar());
    if (status == MS::kSuccess && (fullName.length() == 0 || !valid())) status = MS::kInvalidParameter;
    MObject object;
    if (status == MS::kSuccess) {
        AttributeRecord* a = newAttribute(fullName, briefName, kind);
        fill(*a);
        object = attributeObject(a);
    }
    if (returnStatus) *returnStatus = status;
    recordCall(call, fullName.asChar(), "", returnStatus != nullptr, status);
    return object;
}

bool anyArguments() { return true; }

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
MStatus setComponents(const MObject& object, ApiCall call, std::initializer_list<double> values,
                      void (*apply)(AttributeRecord&, const double*, unsigned)) {
    return setOnAttribute(object, call, [&](AttributeRecord& a) {
        if (a.componentCount() != values.size()) return MStatus(MS::kInvalidParameter);
        apply(a, values.begin(), unsigned(values.size()));
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
MStatus MFnAttribute::setStorable(bool s) { return setFlag(object_, ApiCall::setStorable, &AttributeFlags::storable, s); }
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
    const auto valid = [&] { return isSimpleNumeric(unitType); };
    const auto fill = [&](AttributeRecord& a) {
        a.numericType = unitType;
        a.createDefault = defaultValue;
        a.defaultValue[0] = asStored(unitType, defaultValue);
    };
    object_ = createAttribute(ApiCall::numericCreate, fullName, briefName, AttributeKind::numeric, returnStatus, valid,
                              fill);
    return object_;
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName, const MObject& child1,
                                    const MObject& child2, const MObject& child3, MStatus* returnStatus) {
    AttributeRecord* children[3] = {attributeRecord(child1), attributeRecord(child2), attributeRecord(child3)};
    const std::size_t count = children[2] ? 3 : 2;
    // Two or three numeric children without a parent
    const auto valid = [&] {
        if (!children[0] || !children[1] || (!children[2] && !child3.isNull())) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (children[i]->kind != AttributeKind::numeric || children[i]->parentRecord) return false;
        return true;
    };
    const auto fill = [&](AttributeRecord& a) {
        bool sameType = true;
        for (std::size_t i = 0; i < count; ++i) {
            adopt(&a, children[i]);
            a.defaultValue[i] = children[i]->defaultValue[0];
            sameType = sameType && children[i]->numericType == children[0]->numericType;
        }
        a.numericType = sameType ? compoundType(children[0]->numericType, count) : MFnNumericData::kInvalid;
    };
    object_ = createAttribute(ApiCall::numericCreate, fullName, briefName, AttributeKind::numericCompound,
                              returnStatus, valid, fill);
    return object_;
}

MObject MFnNumericAttribute::createAddr(const MString& fullName, const MString& briefName, void* defaultValue,
                                        MStatus* returnStatus) {
    const auto fill = [&](AttributeRecord& a) {
        a.numericType = MFnNumericData::kAddr;
        a.defaultAddress = defaultValue;
    };
    object_ = createAttribute(ApiCall::numericCreateAddr, fullName, briefName, AttributeKind::address, returnStatus,
                              anyArguments, fill);
    return object_;
}

MStatus MFnNumericAttribute::setDefault(bool value) {
    return setComponents(object_, ApiCall::numericSetDefault, {value ? 1.0 : 0.0}, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value) {
    return setComponents(object_, ApiCall::numericSetDefault, {double(value)}, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2) {
    return setComponents(object_, ApiCall::numericSetDefault, {double(value1), double(value2)}, applyDefault);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    const std::initializer_list<double> values = {double(value1), double(value2), double(value3)};
    return setComponents(object_, ApiCall::numericSetDefault, values, applyDefault);
}

MStatus MFnNumericAttribute::setMin(double value1, double value2, double value3) {
    return setComponents(object_, ApiCall::setMin, {value1, value2, value3}, applyMin);
}
MStatus MFnNumericAttribute::setMax(double value) {
    return setComponents(object_, ApiCall::setMax, {value}, applyMax);
}
MStatus MFnNumericAttribute::setMax(double value1, double value2) {
    return setComponents(object_, ApiCall::setMax, {value1, value2}, applyMax);
}
MStatus MFnNumericAttribute::setMax(double value1, double value2, double value3) {
    return setComponents(object_, ApiCall::setMax, {value1, value2, value3}, applyMax);
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
    object_ = createAttribute(ApiCall::matrixCreate, fullName, briefName, AttributeKind::matrix, returnStatus,
                              anyArguments, [&](AttributeRecord& a) { a.matrixType = matrixType; });
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
    AttributeRecord* children[8] = {attributeRecord(direction),      attributeRecord(intensity),
                                    attributeRecord(ambient),        attributeRecord(diffuse),
                                    attributeRecord(specular),       attributeRecord(shadowFraction),
                                    attributeRecord(preShadowIntensity), attributeRecord(blindData)};
    // Eight children without a parent
    const auto valid = [&] {
        for (AttributeRecord* child : children)
            if (!child || child->parentRecord) return false;
        return true;
    };
    const auto fill = [&](AttributeRecord& a) {
        for (AttributeRecord* child : children) adopt(&a, child);
    };
    object_ = createAttribute(ApiCall::lightDataCreate, fullName, briefName, AttributeKind::lightData, returnStatus,
                              valid, fill);
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
