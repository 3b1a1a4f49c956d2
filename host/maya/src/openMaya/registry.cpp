// The registry of node types: registration through MFnPlugin, the
// attribute-initialise calls of MPxNode, and the host's read-only queries.

// The host implements MFnPlugin: it defines no MApiVersion and no loader
// entry of its own (a plug-in linked against it would otherwise find the
// host's MApiVersion through its dependencies).
#define MNoVersionString
#define MNoPluginEntry
#include <algorithm>

#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

#include "hostState.h"

namespace mayaHost {

// Never destroyed: host programs may unload plug-ins and release nodes from
// their own static destructors, after this library's would have run.
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

const char* attributeKindName(AttributeKind kind) {
    switch (kind) {
        case AttributeKind::numeric: return "numeric";
        case AttributeKind::numericCompound: return "compound";
        case AttributeKind::address: return "address";
        case AttributeKind::matrix: return "matrix";
        case AttributeKind::lightData: return "lightData";
    }
    return "?";
}

unsigned AttributeInfo::componentCount() const {
    if (kind == AttributeKind::numeric) return 1;
    if (kind == AttributeKind::numericCompound) return unsigned(children.size());
    return 0;
}

const AttributeInfo* NodeType::findAttribute(const std::string& name) const {
    for (const AttributeInfo* a : attributes_)
        if (a->longName == name) return a;
    for (const AttributeInfo* a : attributes_)
        if (a->shortName == name) return a;
    return nullptr;
}

MObject NodeType::attribute(const std::string& name) const {
    return attributeObject(static_cast<const AttributeRecord*>(findAttribute(name)));
}

MObject NodeType::attribute(const AttributeInfo& info) const {
    return attributeObject(static_cast<const AttributeRecord*>(&info));
}

const AttributeInfo* NodeType::info(const MObject& attribute) { return attributeRecord(attribute); }

const NodeType* findNodeType(const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    for (const auto& t : r.types)
        if (t->name_ == name) return t.get();
    return nullptr;
}

const NodeType* findNodeType(MTypeId id) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    for (const auto& t : r.types)
        if (t->id_ == id) return t.get();
    return nullptr;
}

std::vector<const NodeType*> registeredNodeTypes() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    std::vector<const NodeType*> types;
    for (const auto& t : r.types) types.push_back(t.get());
    return types;
}

void removeNodeType(NodeTypeRecord* type) {
    Registry& r = registry();
    auto found = std::find_if(r.types.begin(), r.types.end(),
                              [type](const std::unique_ptr<NodeTypeRecord>& t) { return t.get() == type; });
    if (found != r.types.end()) r.types.erase(found);
}

}  // namespace mayaHost

using namespace mayaHost;

namespace {

PluginLibrary::Record* pluginRecord(const MObject& object) {
    if (object.referent() != MObject::Referent::plugin) return nullptr;
    return static_cast<PluginLibrary::Record*>(object.hostObject());
}

void markInType(AttributeRecord* attribute) {
    attribute->inType = true;
    for (AttributeRecord* child : attribute->childRecords) markInType(child);
}

}  // namespace

// ---- MFnPlugin ------------------------------------------------------------

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* returnStatus) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    PluginLibrary::Record* plugin = pluginRecord(object);
    if (plugin) {
        object_ = object;
        plugin->vendor = vendor ? vendor : "";
        plugin->version = version ? version : "";
        plugin->requiredApiVersion = requiredApiVersion ? requiredApiVersion : "";
    }
    if (returnStatus) *returnStatus = plugin ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                                MInitializeFunction initFunction, MPxNode::Type type,
                                const MString* classification) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    MStatus status = injectedResult(ApiCall::registerNode, typeName.asChar());
    PluginLibrary::Record* plugin = pluginRecord(object_);
    if (status == MS::kSuccess && (!plugin || !creatorFunction || typeName.length() == 0 || r.initializing))
        status = MS::kInvalidParameter;
    if (status == MS::kSuccess && (findNodeType(typeName.asChar()) || findNodeType(typeId))) status = MS::kFailure;
    if (status != MS::kSuccess) {
        recordCall(ApiCall::registerNode, typeName.asChar(), "", false, status);
        return status;
    }

    r.types.push_back(std::make_unique<NodeTypeRecord>());
    NodeTypeRecord* record = r.types.back().get();
    record->name_ = typeName.asChar();
    record->id_ = typeId;
    record->classification_ = classification ? classification->asChar() : "";
    record->nodeKind_ = type;
    record->pluginPath_ = plugin->path;
    record->creator = creatorFunction;
    record->initialize = initFunction;
    record->plugin = plugin;

    // The initialise function creates and adds the attributes now.
    MStatus initialized = MS::kSuccess;
    if (initFunction) {
        r.initializing = record;
        initialized = initFunction();
        r.initializing = nullptr;
    }
    if (initialized != MS::kSuccess) {
        removeNodeType(record);
        status = MS::kFailure;
    } else {
        finalizeNodeType(*record);
    }
    recordCall(ApiCall::registerNode, typeName.asChar(), "", false, status);
    return status;
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    NodeTypeRecord* type = nullptr;
    for (const auto& t : r.types)
        if (t->id_ == typeId) type = t.get();
    MStatus status = injectedResult(ApiCall::deregisterNode, type ? type->name_ : "");
    if (status == MS::kSuccess && (!type || type->plugin != pluginRecord(object_))) status = MS::kInvalidParameter;
    // Nodes of the type still exist: the type stays.
    if (status == MS::kSuccess && type->liveNodes.load() > 0) status = MS::kFailure;
    if (status == MS::kSuccess) removeNodeType(type);
    recordCall(ApiCall::deregisterNode, "", "", false, status);
    return status;
}

// ---- MPxNode: attribute-initialise calls ----------------------------------

MStatus MPxNode::addAttribute(const MObject& attribute) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    AttributeRecord* record = attributeRecord(attribute);
    const std::string name = record ? record->longName : "";
    MStatus status = injectedResult(ApiCall::addAttribute, name);
    NodeTypeRecord* type = r.initializing;
    if (status == MS::kSuccess && (!type || !record || record->owner != type)) status = MS::kInvalidParameter;
    if (status == MS::kSuccess && record->inType) status = MS::kFailure;  // already part of the type
    if (status == MS::kSuccess) {
        type->added_.push_back(record);
        markInType(record);
    }
    recordCall(ApiCall::addAttribute, name, "", false, status);
    return status;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    AttributeRecord* input = attributeRecord(whenChanges);
    AttributeRecord* output = attributeRecord(isAffected);
    const std::string inputName = input ? input->longName : "";
    const std::string outputName = output ? output->longName : "";
    MStatus status = injectedResult(ApiCall::attributeAffects, inputName, outputName);
    NodeTypeRecord* type = r.initializing;
    if (status == MS::kSuccess &&
        (!type || !input || !output || input->owner != type || output->owner != type || !input->inType ||
         !output->inType))
        status = MS::kInvalidParameter;
    if (status == MS::kSuccess) type->affects_.emplace_back(input, output);
    recordCall(ApiCall::attributeAffects, inputName, outputName, false, status);
    return status;
}
