#ifndef FLAKECOAT_HOST_MAYA_MFNPLUGIN_H
#define FLAKECOAT_HOST_MAYA_MFNPLUGIN_H

#include <maya/MFnBase.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <maya/MApiVersion.h>

// The plug-in's Windows loader entry, in the one source that includes this
// header plainly (any other defines MNoPluginEntry first): it keeps the
// module's instance handle, the way a plug-in finds what ships beside it.
#if defined(NT_PLUGIN) && !defined(MNoPluginEntry)
#include <windows.h>

HINSTANCE MhInstPlugin;

extern "C" int APIENTRY DllMain(HINSTANCE hInstance, DWORD, LPVOID) {
    MhInstPlugin = hInstance;
    return 1;
}
#endif

// Function set on the plug-in object the host passes to initializePlugin and
// uninitializePlugin: registers what the plug-in provides.
class MFnPlugin : public MFnBase {
public:
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* returnStatus = nullptr);

    // Registers a node type and runs its attribute-initialise function once.
    MStatus registerNode(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                         MInitializeFunction initFunction, MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus deregisterNode(const MTypeId& typeId);
};

#endif
