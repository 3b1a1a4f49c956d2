#ifndef FLAKECOAT_HOST_MAYA_MPXNODE_H
#define FLAKECOAT_HOST_MAYA_MPXNODE_H

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

// Base class of a plug-in's dependency-graph node. The host creates nodes
// through the registered creator, then calls postConstructor once.
class MPxNode {
public:
    enum Type {
        kDependNode = 0,
        kLocatorNode,
        kDeformerNode,
        kManipContainer,
        kSurfaceShape,
        kFieldNode,
        kEmitterNode,
        kSpringNode,
        kIkSolverNode,
        kHardwareShader,
        kHwShaderNode,
        kTransformNode,
        kObjectSet,
        kLast
    };

    MPxNode();
    virtual ~MPxNode();
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;

    virtual void postConstructor();
    // Computes the requested plug into the block; the base knows no plug.
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc, bool& isLegal) const;
    virtual MStatus legalDisconnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                       bool& isLegal) const;
    virtual MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual bool isPassiveOutput(const MPlug& plug) const;
    virtual MStatus shouldSave(const MPlug& plug, bool& isSaving);
    virtual MPlug passThroughToOne(const MPlug& plug) const;
    virtual Type type() const;
    virtual bool isAbstractClass() const;

    MTypeId typeId() const;

    // During the attribute-initialise function of a node type being
    // registered: add an attribute to the type, declare a dependency.
    static MStatus addAttribute(const MObject& attribute);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);

    // Host side only: the host's record of this node.
    void* instance = nullptr;

protected:
    // Marks this node safe for rendering on several processors at once.
    void setMPSafe(bool flag);
};

#endif
