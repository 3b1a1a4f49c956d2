#ifndef FLAKECOAT_HOST_MAYA_MAPIVERSION_H
#define FLAKECOAT_HOST_MAYA_MAPIVERSION_H

#include <maya/MTypes.h>

// The API version a plug-in is built for, defined in the one source that
// includes <maya/MFnPlugin.h> plainly; every other source defines
// MNoVersionString first. The host reads it before anything else.
#ifndef MNoVersionString
extern "C" {
PLUGIN_EXPORT char MApiVersion[] = "200900";
}
#endif

#endif
