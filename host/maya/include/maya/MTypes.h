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

// The platform comes from the plug-in build's own definitions: NT_PLUGIN on
// Windows, the GNU-mode macro linux on Linux (strict ISO mode lacks it, so
// such a build defines it).
#if defined(NT_PLUGIN)

// What a plug-in exports to its host (its entry points and MApiVersion):
// exported from the DLL. The keyword is spelt as the Microsoft compiler
// reads it; MinGW builds define _declspec as __declspec.
#define PLUGIN_EXPORT _declspec(dllexport)

// The process-wide seedable generator. The Windows C library has none, so
// Foundation supplies it: the same sequence for a seed as the GNU C
// library's random().
extern "C" {
int srandom(unsigned int seed);
long random(void);
}

#elif defined(linux)

// Nothing: an exported symbol is one the build leaves visible. srandom and
// random are the C library's (<stdlib.h>).
#define PLUGIN_EXPORT

#else
#error "<maya/MTypes.h>: build with NT_PLUGIN (Windows) or with linux defined (Linux, GNU mode)"
#endif

#endif
