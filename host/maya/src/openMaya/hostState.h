#ifndef FLAKECOAT_HOST_MAYA_SRC_HOST_STATE_H
#define FLAKECOAT_HOST_MAYA_SRC_HOST_STATE_H

// The host's own records behind the published handles, and the process-wide
// registry that holds them. Registration-time state is guarded by one
// recursive mutex (a plug-in's initialise function calls back into the
// registry while registerNode holds it); nothing on the per-sample path
// takes it.

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <mayaHost/commandLog.h>
#include <mayaHost/dataBlock.h>
#include <mayaHost/faultInjection.h>
#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>
#include <mayaHost/registry.h>

namespace mayaHost {

struct NodeTypeRecord;

struct AttributeRecord : AttributeInfo {
    NodeTypeRecord* owner = nullptr;  // the type whose initialise function created it
    AttributeRecord* parentRecord = nullptr;
    std::vector<AttributeRecord*> childRecords;
    bool inType = false;    // added, or a descendant of an added attribute
    int typeIndex = -1;     // position in the type's attributes() when inType

    // Storage of one value: size and alignment; offset within the parent's
    // value (children) or within the block's root buffer (roots).
    std::size_t size = 0;
    std::size_t align = 1;
    std::size_t offset = 0;
    long blockOffset = -1;  // in the root buffer; -1 inside array elements
    int arraySlot = -1;     // root arrays: index of the block's array storage
};

struct NodeTypeRecord : NodeType {
    MCreatorFunction creator = nullptr;
    MInitializeFunction initialize = nullptr;
    PluginLibrary::Record* plugin = nullptr;
    std::vector<std::unique_ptr<AttributeRecord>> owned;
    std::vector<AttributeRecord*> roots;  // stored in the root buffer or as arrays
    std::vector<AttributeRecord*> arrays; // by arraySlot
    std::size_t rootSize = 0;
    std::atomic<int> liveNodes{0};
    unsigned nodesCreated = 0;

    // The view's fields, written by the registry.
    using NodeType::added_;
    using NodeType::affects_;
    using NodeType::attributes_;
    using NodeType::classification_;
    using NodeType::created_;
    using NodeType::id_;
    using NodeType::name_;
    using NodeType::nodeKind_;
    using NodeType::pluginPath_;
};

struct PluginLibrary::Record {
    std::string path;
    void* handle = nullptr;
    std::string vendor = "Unknown";
    std::string version = "Unknown";
    std::string requiredApiVersion = "Any";
    MStatus initializeStatus;
    MStatus uninitializeStatus;
    bool loaded = false;
};

struct Node::Record {
    NodeTypeRecord* type = nullptr;
    MPxNode* user = nullptr;
    std::string name;
    bool mpSafe = false;
};

// The elements of one array attribute in one block. Capacity only grows.
struct ArrayStorage {
    const AttributeRecord* attribute = nullptr;
    std::size_t elementSize = 0;
    unsigned count = 0;
    unsigned capacity = 0;
    std::unique_ptr<std::max_align_t[]> elements;
    unsigned char* element(unsigned index) {
        return reinterpret_cast<unsigned char*>(elements.get()) + std::size_t(index) * elementSize;
    }
};

struct DataBlock::Storage {
    const NodeTypeRecord* type = nullptr;
    std::unique_ptr<std::max_align_t[]> bytes;  // the root buffer
    std::vector<ArrayStorage> arrays;           // by arraySlot
    std::vector<unsigned char> clean;           // by typeIndex
    // What handles on nothing point at: zeroed when handed out.
    alignas(16) unsigned char scratch[128];

    unsigned char* root() { return reinterpret_cast<unsigned char*>(bytes.get()); }
    unsigned char* zeroedScratch();
};

struct Registry {
    std::recursive_mutex mutex;
    std::vector<std::unique_ptr<NodeTypeRecord>> types;
    std::vector<std::unique_ptr<PluginLibrary::Record>> plugins;
    NodeTypeRecord* initializing = nullptr;  // during an attribute-initialise function
    std::vector<std::unique_ptr<AttributeRecord>> loose;  // created outside one

    std::vector<RecordedCommand> commands;

    // Fault injection and call recording.
    struct NthRule {
        ApiCall call;
        unsigned remaining;
        MS::MStatusCode code;
    };
    std::vector<NthRule> nthRules;
    std::string failingAttribute;
    MS::MStatusCode failingAttributeCode = MS::kFailure;
    std::atomic<bool> nextRuleArmed{false};
    bool recording = false;
    std::vector<RecordedCall> calls;
};
Registry& registry();

// The record behind a handle; null when it is on no attribute.
inline AttributeRecord* attributeRecord(const MObject& object) {
    if (object.referent() != MObject::Referent::attribute) return nullptr;
    return static_cast<AttributeRecord*>(object.hostObject());
}
inline MObject attributeObject(const AttributeRecord* record) {
    return record ? MObject(const_cast<AttributeRecord*>(record), MObject::Referent::attribute) : MObject();
}

// The injected result for a call acting on the named attributes (success
// when nothing is injected). Caller holds the registry mutex.
MStatus injectedResult(ApiCall call, const std::string& attribute, const std::string& attribute2 = "");
void recordCall(ApiCall call, const std::string& attribute, const std::string& attribute2, bool statusArgument,
                MStatus result);
// For MArrayDataHandle::next, without the mutex when nothing is armed.
MStatus injectedArrayNext();

// Node types: lay out the values once the initialise function has run, and
// remove a type with its attributes.
void finalizeNodeType(NodeTypeRecord& type);
void removeNodeType(NodeTypeRecord* type);

// Writes the default value of an attribute (its children included) at data.
void writeDefault(const AttributeRecord& attribute, unsigned char* data);

}  // namespace mayaHost

#endif
