// MGlobal: MEL commands are recorded, never run.

#include <maya/MGlobal.h>

#include "hostState.h"

using namespace mayaHost;

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool undoEnabled) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    // There is no user interface, so there is no window to refresh: a
    // command does nothing and succeeds.
    const MStatus status = injectedResult(ApiCall::executeCommand, "");
    r.commands.push_back({command.asChar(), displayEnabled, undoEnabled, status.statusCode()});
    recordCall(ApiCall::executeCommand, "", "", false, status);
    return status;
}

namespace mayaHost {

std::vector<RecordedCommand> recordedCommands() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    return r.commands;
}

void clearRecordedCommands() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    r.commands.clear();
}

}  // namespace mayaHost
