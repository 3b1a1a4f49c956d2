// The entry points under their plain (C) names, answering PLAIN_RESULT: a
// module holding both forms answers kFailure here, so a host that took the
// plain names before the C++ ones would fail to load it.
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

extern "C" {
PLUGIN_EXPORT MStatus initializePlugin(MObject) { return MS::PLAIN_RESULT; }
PLUGIN_EXPORT MStatus uninitializePlugin(MObject) { return MS::PLAIN_RESULT; }
}
