// Nodes: the MPxNode base, plugs, and the host program's node creation.

#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include "hostState.h"

using namespace mayaHost;

namespace {

Node::Record* nodeRecord(const MObject& object) {
    if (object.referent() != MObject::Referent::node) return nullptr;
    return static_cast<Node::Record*>(object.hostObject());
}

template <typename T>
T withStatus(T value, bool ok, MStatus* returnStatus) {
    if (returnStatus) *returnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return value;
}

}  // namespace

// ---- MPxNode ---------------------------------------------------------------

MPxNode::MPxNode() = default;
MPxNode::~MPxNode() = default;
void MPxNode::postConstructor() {}
MStatus MPxNode::compute(const MPlug&, MDataBlock&) { return MS::kUnknownParameter; }
MStatus MPxNode::legalConnection(const MPlug&, const MPlug&, bool, bool&) const { return MS::kUnknownParameter; }
MStatus MPxNode::legalDisconnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MS::kUnknownParameter;
}
MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool) { return MS::kUnknownParameter; }
MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool) { return MS::kUnknownParameter; }
bool MPxNode::isPassiveOutput(const MPlug&) const { return false; }
MStatus MPxNode::shouldSave(const MPlug&, bool&) { return MS::kUnknownParameter; }
MPlug MPxNode::passThroughToOne(const MPlug&) const { return MPlug(); }
MPxNode::Type MPxNode::type() const { return kDependNode; }
bool MPxNode::isAbstractClass() const { return false; }

MTypeId MPxNode::typeId() const {
    const Node::Record* node = static_cast<const Node::Record*>(instance);
    return node ? node->type->id() : MTypeId();
}

void MPxNode::setMPSafe(bool flag) {
    Node::Record* node = static_cast<Node::Record*>(instance);
    if (node) node->mpSafe = flag;
}

// ---- MPlug -----------------------------------------------------------------

MObject MPlug::node(MStatus* s) const { return withStatus(node_, !node_.isNull(), s); }
MObject MPlug::attribute(MStatus* s) const { return withStatus(attribute_, !attribute_.isNull(), s); }

MString MPlug::name(MStatus* s) const {
    const Node::Record* node = nodeRecord(node_);
    const AttributeRecord* a = attributeRecord(attribute_);
    if (!node || !a) return withStatus(MString(), false, s);
    return withStatus(MString((node->name + "." + a->longName).c_str()), true, s);
}

// ---- mayaHost::Node --------------------------------------------------------

namespace mayaHost {

std::unique_ptr<Node> Node::create(const std::string& typeName, std::string& error) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    NodeTypeRecord* type = nullptr;
    for (const auto& t : r.types)
        if (t->name() == typeName) type = t.get();
    if (!type) {
        error = "no node type \"" + typeName + "\" is registered";
        return nullptr;
    }
    MPxNode* user = static_cast<MPxNode*>(type->creator());
    if (!user) {
        error = "the creator of node type \"" + typeName + "\" returned no node";
        return nullptr;
    }
    Record* record = new Record;
    record->type = type;
    record->user = user;
    record->name = typeName + std::to_string(++type->nodesCreated);
    user->instance = record;
    type->liveNodes.fetch_add(1);
    user->postConstructor();
    return std::unique_ptr<Node>(new Node(record));
}

Node::Node(Record* record) : record_(record) {}

Node::~Node() {
    record_->type->liveNodes.fetch_sub(1);
    delete record_->user;
    delete record_;
}

const NodeType& Node::type() const { return *record_->type; }
const std::string& Node::name() const { return record_->name; }
MObject Node::object() const { return MObject(record_, MObject::Referent::node); }
MPxNode& Node::userNode() const { return *record_->user; }
bool Node::isMPSafe() const { return record_->mpSafe; }
MObject Node::attribute(const std::string& name) const { return record_->type->attribute(name); }
MPlug Node::plug(const MObject& attribute) const { return MPlug(object(), attribute); }
MPlug Node::plug(const std::string& attributeName) const { return plug(attribute(attributeName)); }

}  // namespace mayaHost
