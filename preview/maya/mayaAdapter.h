#ifndef FLAKECOAT_PREVIEW_MAYA_MAYA_ADAPTER_H
#define FLAKECOAT_PREVIEW_MAYA_MAYA_ADAPTER_H

// Maya's software renderer, stood in for over the preview scene. The plug-in
// is loaded as Maya loads it and one flakeCoat node is created. For each
// sample on the painted object the renderer fills the node's sample
// attributes in a data block of its own (one per thread and ray depth) and
// requests outColor through the node's compute:
//   pointCamera, normalCamera, rayDirection, rayOrigin  camera space
//   pointWorld                                          world space
//               (normalCamera is the shading normal)
//   raySampler  the sample's context (never null: eye and reflected rays)
//   rayDepth    0 for eye rays, 1 for a reflection's hit
//   objectId    the object hit (the ball or the model)
//   lightDataArray  one element per light: the direction towards the light
//               in camera space (its centre for an area light), the
//               intensity attenuated by distance and shadow (the mean of an
//               area light's shadowed samples), lightShadowFraction and
//               preShadowIntensity to match; point, directional and area
//               lights set lightDiffuse and lightSpecular, an ambient light
//               only lightAmbient (its direction is the normal).
// MRenderUtil::raytrace reaches the installed tracer, which finds the sample
// through raySampler, traces the scene in world space and returns the colour
// seen: the object shaded again at rayDepth 1, the ground, or the environment
// on a miss.

#include <memory>
#include <string>

#include "hosts/renderHost.h"

namespace mayaHost {
class DataBlock;
}

namespace flakecoat::preview::maya {

constexpr const char* kPluginFile = "flakeCoat.so";

// Loads kPluginFile from libraryDirectory (ending in '/').
std::unique_ptr<RenderHost> loadMayaHost(const std::string& libraryDirectory, std::string& error);
// The same from the plug-in's path.
std::unique_ptr<RenderHost> loadMayaHostFrom(const std::string& pluginPath, std::string& error);

// For tests: the data block a worker of a Maya host's shader fills for
// samples at the given ray depth; null for any other worker.
const mayaHost::DataBlock* workerDataBlock(const SurfaceWorker& worker, int rayDepth);

}  // namespace flakecoat::preview::maya

#endif
