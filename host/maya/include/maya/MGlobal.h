#ifndef FLAKECOAT_HOST_MAYA_MGLOBAL_H
#define FLAKECOAT_HOST_MAYA_MGLOBAL_H

#include <maya/MStatus.h>
#include <maya/MString.h>

// Host-wide services.
class MGlobal {
public:
    // Runs a MEL command. This host has no user interface: it records the
    // command (see mayaHost/commandLog.h) and reports success.
    static MStatus executeCommand(const MString& command, bool displayEnabled = false, bool undoEnabled = false);
};

#endif
