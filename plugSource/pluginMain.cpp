// The plug-in's entry points: register and deregister the flakeCoat node
// type, each followed by a refresh of the render-node creation window.
// <maya/MFnPlugin.h> brings MApiVersion (and the Windows loader entry) into
// this source and no other.

#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include "flakeCoatPlugInt.h"

namespace {

const char kRefreshStart[] = "if( `window -exists createRenderNodeWindow` )  {refreshCreateRenderNodeWindow(\"";
const char kRefreshEnd[] = "\");}\n";

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    const MString classification("shader/surface");
    MString command(kRefreshStart);

    MFnPlugin plugin(obj, "The flakeCoat team at Tarn", "1.0", "Any");
    plugin.registerNode("flakeCoat", flakeCoat::id, flakeCoat::creator, flakeCoat::initialize,
                        MPxNode::kDependNode, &classification);

    command += classification;
    command += kRefreshEnd;
    MGlobal::executeCommand(command, false, false);
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    const MString classification("shader/surface");
    MString command(kRefreshStart);

    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    plugin.deregisterNode(flakeCoat::id);

    command += classification;
    command += kRefreshEnd;
    MGlobal::executeCommand(command, false, false);
    return MS::kSuccess;
}
