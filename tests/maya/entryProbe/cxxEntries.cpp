// The entry points as C++ functions, the way the headers declare them.
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

PLUGIN_EXPORT MStatus initializePlugin(MObject) { return MS::kSuccess; }
PLUGIN_EXPORT MStatus uninitializePlugin(MObject) { return MS::kSuccess; }
