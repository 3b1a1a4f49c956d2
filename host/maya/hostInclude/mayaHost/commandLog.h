#ifndef FLAKECOAT_HOST_MAYA_HOST_COMMAND_LOG_H
#define FLAKECOAT_HOST_MAYA_HOST_COMMAND_LOG_H

#include <string>
#include <vector>

#include <maya/MStatus.h>

namespace mayaHost {

// MEL commands run through MGlobal::executeCommand, in order, byte for byte.
// The host has no windows, so every command does nothing and succeeds
// (unless a failure is injected).
struct RecordedCommand {
    std::string command;
    bool displayEnabled = false;
    bool undoEnabled = false;
    MS::MStatusCode result = MS::kSuccess;
};

std::vector<RecordedCommand> recordedCommands();
void clearRecordedCommands();

}  // namespace mayaHost

#endif
