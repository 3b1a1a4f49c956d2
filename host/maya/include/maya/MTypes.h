#ifndef FLAKECOAT_HOST_MAYA_MTYPES_H
#define FLAKECOAT_HOST_MAYA_MTYPES_H

// Basic types shared by the API headers.

// The API version this host implements; a plug-in exports the version it
// was built for as the string MApiVersion and the host refuses any other.
#define MAYA_API_VERSION 200900

typedef float float2[2];
typedef float float3[3];
typedef short short2[2];
typedef short short3[3];
typedef double double2[2];
typedef double double3[3];

class MStatus;

// A plug-in's node creator and attribute-initialise function.
typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();

// Functions a plug-in exports to its host: C linkage, default visibility
// (exported from the DLL on Windows).
#if defined(_WIN32)
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#endif
