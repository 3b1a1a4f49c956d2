#ifndef FLAKECOAT_TOOLS_MODULE_PATHS_H
#define FLAKECOAT_TOOLS_MODULE_PATHS_H

#include <string>

#include "hosts/renderHost.h"

// Where the tool finds the libraries it loads at run time, relative to its
// own location so that a build or an installed tree can be moved:
//   build tree  every module in <tool directory>/../lib/
//   installed   the deliverables in their hosts' layouts (the Maya module's
//               plug-ins/, the mental ray tree's lib/ and include/), the
//               host stand-ins in the tool's private library folder
// fileName is one of flakeCoat.so, tarn_flakeCoat.so, tarn_flakeCoat.mi or a
// stand-in library.
std::string defaultModulePath(const std::string& fileName);

// The four modules a render host loads, each by defaultModulePath.
flakecoat::preview::HostModules defaultHostModules();

#endif
