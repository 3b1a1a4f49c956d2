// MApiVersion (and on Windows the loader entry), as a plug-in gets them.
#include <maya/MFnPlugin.h>
