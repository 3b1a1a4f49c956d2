// Where each attribute's value lives in a data block, and its default.

#include <cstring>

#include "hostState.h"

namespace mayaHost {
namespace {

std::size_t roundUp(std::size_t n, std::size_t align) { return (n + align - 1) / align * align; }

void numericSize(MFnNumericData::Type type, std::size_t& size, std::size_t& align) {
    switch (type) {
        case MFnNumericData::kBoolean:
        case MFnNumericData::kByte:
        case MFnNumericData::kChar: size = align = 1; return;
        case MFnNumericData::kShort: size = align = sizeof(short); return;
        case MFnNumericData::kInt: size = align = sizeof(int); return;
        case MFnNumericData::kFloat: size = align = sizeof(float); return;
        case MFnNumericData::kDouble: size = align = sizeof(double); return;
        default: size = align = 1; return;
    }
}

// Size and alignment of one value; children are laid out in order, each at
// its own alignment, so a three-float compound is an MFloatVector.
void layOut(AttributeRecord& a) {
    switch (a.kind) {
        case AttributeKind::numeric: numericSize(a.numericType, a.size, a.align); return;
        case AttributeKind::address: a.size = a.align = sizeof(void*); return;
        case AttributeKind::matrix:
            a.size = a.matrixType == MFnMatrixAttribute::kFloat ? 16 * sizeof(float) : 16 * sizeof(double);
            a.align = a.matrixType == MFnMatrixAttribute::kFloat ? alignof(float) : alignof(double);
            return;
        case AttributeKind::numericCompound:
        case AttributeKind::lightData: {
            std::size_t size = 0;
            a.align = 1;
            for (AttributeRecord* child : a.childRecords) {
                layOut(*child);
                child->offset = roundUp(size, child->align);
                size = child->offset + child->size;
                if (child->align > a.align) a.align = child->align;
            }
            a.size = roundUp(size, a.align);
            return;
        }
    }
}

void setBlockOffsets(AttributeRecord& a, long offset) {
    a.blockOffset = offset;
    for (AttributeRecord* child : a.childRecords)
        setBlockOffsets(*child, offset < 0 ? -1 : offset + long(child->offset));
}

template <typename T>
void store(unsigned char* data, T value) {
    std::memcpy(data, &value, sizeof(T));
}

void writeNumeric(MFnNumericData::Type type, unsigned char* data, double value) {
    switch (type) {
        case MFnNumericData::kBoolean: store<bool>(data, value != 0); return;
        case MFnNumericData::kByte:
        case MFnNumericData::kChar: store<char>(data, char(value)); return;
        case MFnNumericData::kShort: store<short>(data, short(value)); return;
        case MFnNumericData::kInt: store<int>(data, int(value)); return;
        case MFnNumericData::kFloat: store<float>(data, float(value)); return;
        case MFnNumericData::kDouble: store<double>(data, value); return;
        default: return;
    }
}

}  // namespace

void finalizeNodeType(NodeTypeRecord& type) {
    type.attributes_.clear();
    type.roots.clear();
    type.arrays.clear();
    for (const AttributeInfo* info : type.created_) {
        AttributeRecord* a = const_cast<AttributeRecord*>(static_cast<const AttributeRecord*>(info));
        if (!a->inType) continue;
        a->typeIndex = int(type.attributes_.size());
        type.attributes_.push_back(a);
    }
    // Roots: attributes without a parent in the type (a child added by
    // itself whose parent never joined the type is stored on its own).
    std::size_t size = 0;
    for (const AttributeInfo* info : type.attributes_) {
        AttributeRecord* a = const_cast<AttributeRecord*>(static_cast<const AttributeRecord*>(info));
        if (a->parentRecord && a->parentRecord->inType) continue;
        layOut(*a);
        type.roots.push_back(a);
        if (a->flags.array) {
            a->arraySlot = int(type.arrays.size());
            type.arrays.push_back(a);
            setBlockOffsets(*a, -1);
        } else {
            a->offset = roundUp(size, a->align);
            size = a->offset + a->size;
            setBlockOffsets(*a, long(a->offset));
        }
    }
    type.rootSize = size;
}

void writeDefault(const AttributeRecord& a, unsigned char* data) {
    switch (a.kind) {
        case AttributeKind::numeric: writeNumeric(a.numericType, data, a.defaultValue[0]); return;
        case AttributeKind::address: store<void*>(data, a.defaultAddress); return;
        case AttributeKind::matrix:
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 4; ++col) {
                    const double v = row == col ? 1.0 : 0.0;
                    if (a.matrixType == MFnMatrixAttribute::kFloat)
                        store<float>(data + (row * 4 + col) * sizeof(float), float(v));
                    else
                        store<double>(data + (row * 4 + col) * sizeof(double), v);
                }
            return;
        case AttributeKind::numericCompound:
            // The compound's default is its children's values.
            for (std::size_t i = 0; i < a.childRecords.size() && i < 3; ++i) {
                const AttributeRecord& child = *a.childRecords[i];
                writeDefault(child, data + child.offset);
                writeNumeric(child.numericType, data + child.offset, a.defaultValue[i]);
            }
            return;
        case AttributeKind::lightData: {
            for (const AttributeRecord* child : a.childRecords) writeDefault(*child, data + child->offset);
            if (!a.hasLightDataDefault || a.childRecords.size() != 8) return;
            // The compound's light-data default overrides the children's own.
            const LightDataValue& d = a.lightDataDefault;
            const float* vectors[2] = {d.direction, d.intensity};
            for (int v = 0; v < 2; ++v) {
                const AttributeRecord& vector = *a.childRecords[std::size_t(v)];
                for (std::size_t i = 0; i < vector.childRecords.size() && i < 3; ++i)
                    writeNumeric(vector.childRecords[i]->numericType,
                                 data + vector.offset + vector.childRecords[i]->offset, vectors[v][i]);
            }
            const bool flags[3] = {d.ambient, d.diffuse, d.specular};
            for (int f = 0; f < 3; ++f) {
                const AttributeRecord& flag = *a.childRecords[std::size_t(2 + f)];
                writeNumeric(flag.numericType, data + flag.offset, flags[f] ? 1.0 : 0.0);
            }
            writeNumeric(a.childRecords[5]->numericType, data + a.childRecords[5]->offset, d.shadowFraction);
            writeNumeric(a.childRecords[6]->numericType, data + a.childRecords[6]->offset, d.preShadowIntensity);
            if (a.childRecords[7]->kind == AttributeKind::address)
                store<void*>(data + a.childRecords[7]->offset, d.blindData);
            return;
        }
    }
}

}  // namespace mayaHost
