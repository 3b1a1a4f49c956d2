#ifndef FLAKECOAT_HOST_MAYA_MPLUG_H
#define FLAKECOAT_HOST_MAYA_MPLUG_H

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

// One attribute of one node, as requested from the node's compute. A plug
// compares equal to the attribute it is on, which is how compute dispatches.
class MPlug {
public:
    MPlug() = default;
    MPlug(const MObject& node, const MObject& attribute) : node_(node), attribute_(attribute) {}

    MObject node(MStatus* returnStatus = nullptr) const;
    MObject attribute(MStatus* returnStatus = nullptr) const;
    // "<node name>.<attribute long name>".
    MString name(MStatus* returnStatus = nullptr) const;

    bool operator==(const MPlug& other) const { return node_ == other.node_ && attribute_ == other.attribute_; }
    bool operator!=(const MPlug& other) const { return !(*this == other); }
    bool operator==(const MObject& attribute) const { return attribute_ == attribute; }
    bool operator!=(const MObject& attribute) const { return attribute_ != attribute; }

private:
    MObject node_;
    MObject attribute_;
};

#endif
