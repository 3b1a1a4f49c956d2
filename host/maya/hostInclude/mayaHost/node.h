#ifndef FLAKECOAT_HOST_MAYA_HOST_NODE_H
#define FLAKECOAT_HOST_MAYA_HOST_NODE_H

#include <memory>
#include <string>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <mayaHost/registry.h>

namespace mayaHost {

// A dependency node created through its type's registered creator, with
// postConstructor run once. A node must be destroyed before its plug-in is
// unloaded (the unload is refused otherwise).
class Node {
public:
    // Null with a message in error when the type is unknown or its creator
    // returns nothing.
    static std::unique_ptr<Node> create(const std::string& typeName, std::string& error);
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    const NodeType& type() const;
    const std::string& name() const;  // "<type name><n>"
    MObject object() const;
    MPxNode& userNode() const;
    bool isMPSafe() const;

    // The type's attribute by long or short name (MObject::kNullObj if none).
    MObject attribute(const std::string& name) const;
    MPlug plug(const MObject& attribute) const;
    MPlug plug(const std::string& attributeName) const;

    struct Record;

private:
    explicit Node(Record* record);
    Record* record_;
};

}  // namespace mayaHost

#endif
