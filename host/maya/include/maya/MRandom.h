#ifndef FLAKECOAT_HOST_MAYA_MRANDOM_H
#define FLAKECOAT_HOST_MAYA_MRANDOM_H

// srandom and random: the one process-wide seedable generator plug-ins use.
// On Linux they are the C library's. The Windows C library has neither, so
// there Foundation supplies the same generator (foundation/windowsRandom.cpp)
// and a seed gives the same numbers on both platforms.
#if defined(_WIN32)
extern "C" void srandom(unsigned int seed);
extern "C" long random(void);
#else
#include <stdlib.h>
#endif

#endif
