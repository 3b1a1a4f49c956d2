// The host program's data blocks: storage for every attribute of a node,
// reused from sample to sample.

#include <algorithm>
#include <cstring>

#include "hostState.h"

namespace mayaHost {
namespace {

void writeRootDefaults(DataBlock::Storage& s) {
    for (const AttributeRecord* root : s.type->roots)
        if (root->arraySlot < 0) writeDefault(*root, s.root() + root->offset);
}

void growArray(ArrayStorage& array, unsigned capacity) {
    if (capacity <= array.capacity) return;
    const std::size_t words = (std::size_t(capacity) * array.elementSize + sizeof(std::max_align_t) - 1) /
                              sizeof(std::max_align_t);
    std::unique_ptr<std::max_align_t[]> elements(new std::max_align_t[words > 0 ? words : 1]);
    if (array.count > 0)
        std::memcpy(elements.get(), array.elements.get(), std::size_t(array.count) * array.elementSize);
    array.elements = std::move(elements);
    array.capacity = capacity;
}

ArrayStorage* arrayOf(DataBlock::Storage& s, const MObject& attribute) {
    const AttributeRecord* a = attributeRecord(attribute);
    if (!a || a->owner != s.type || a->arraySlot < 0) return nullptr;
    return &s.arrays[std::size_t(a->arraySlot)];
}

void markDirty(DataBlock::Storage& s, const AttributeRecord& a) {
    s.clean[std::size_t(a.typeIndex)] = 0;
    for (const AttributeRecord* child : a.childRecords) markDirty(s, *child);
}

}  // namespace

DataBlock::DataBlock(const Node& node) : node_(node), storage_(new Storage), block_(storage_) {
    const NodeTypeRecord* type = static_cast<const NodeTypeRecord*>(&node.type());
    storage_->type = type;
    const std::size_t words = (type->rootSize + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
    storage_->bytes.reset(new std::max_align_t[words > 0 ? words : 1]());
    storage_->arrays.resize(type->arrays.size());
    for (std::size_t i = 0; i < type->arrays.size(); ++i) {
        storage_->arrays[i].attribute = type->arrays[i];
        storage_->arrays[i].elementSize = type->arrays[i]->size;
    }
    storage_->clean.assign(type->attributes().size(), 0);
    writeRootDefaults(*storage_);
}

DataBlock::~DataBlock() { delete storage_; }

MDataBlock& DataBlock::dataBlock() { return block_; }

MDataHandle DataBlock::value(const MObject& attribute) { return block_.inputValue(attribute); }

MDataHandle DataBlock::element(const MObject& arrayAttribute, unsigned index) {
    MArrayDataHandle array = block_.inputArrayValue(arrayAttribute);
    if (array.jumpToArrayElement(index) != MS::kSuccess)
        return MDataHandle(storage_->zeroedScratch(), nullptr, storage_, MDataHandle::Form::none);
    return array.inputValue();
}

void DataBlock::setElementCount(const MObject& arrayAttribute, unsigned count) {
    ArrayStorage* array = arrayOf(*storage_, arrayAttribute);
    if (!array) return;
    growArray(*array, count);
    for (unsigned i = array->count; i < count; ++i) writeDefault(*array->attribute, array->element(i));
    array->count = count;
}

unsigned DataBlock::elementCount(const MObject& arrayAttribute) const {
    ArrayStorage* array = arrayOf(*storage_, arrayAttribute);
    return array ? array->count : 0;
}

void DataBlock::reserveElements(const MObject& arrayAttribute, unsigned capacity) {
    ArrayStorage* array = arrayOf(*storage_, arrayAttribute);
    if (array) growArray(*array, capacity);
}

void DataBlock::setDefaults() {
    writeRootDefaults(*storage_);
    for (ArrayStorage& array : storage_->arrays) array.count = 0;
    std::fill(storage_->clean.begin(), storage_->clean.end(), 0);
}

MStatus DataBlock::compute(const MPlug& plug) {
    const AttributeRecord* a = attributeRecord(plug.attribute());
    if (a && a->owner == storage_->type && a->typeIndex >= 0) {
        // The whole compound the plug belongs to is recomputed.
        const AttributeRecord* top = a;
        while (top->parentRecord && top->parentRecord->inType) top = top->parentRecord;
        markDirty(*storage_, *top);
    }
    return node_.userNode().compute(plug, block_);
}

bool DataBlock::isClean(const MObject& attribute) const {
    const AttributeRecord* a = attributeRecord(attribute);
    if (!a || a->owner != storage_->type || a->typeIndex < 0) return false;
    return storage_->clean[std::size_t(a->typeIndex)] != 0;
}

}  // namespace mayaHost
