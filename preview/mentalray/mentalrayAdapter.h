#ifndef FLAKECOAT_PREVIEW_MENTALRAY_MENTALRAY_ADAPTER_H
#define FLAKECOAT_PREVIEW_MENTALRAY_MENTALRAY_ADAPTER_H

// The mental ray stand-in renderer over the preview scene. For each sample
// on the painted object it fills a render state in world space (dir along the
// eye or reflected ray, point, normal the shading normal, normal_geom the
// geometric one, tex_list[0] the object's (u, v), reflection_level the ray
// depth), attaches the sample's services and calls tarn_flakeCoat, loaded as
// the renderer loads it.
//
// The services answer the renderer functions from the scene:
//   mi_sample_light       point and directional lights: one shadowed sample,
//                         none when the light is behind the surface; area
//                         lights: all their stratified samples, shadowed
//                         ones and those from behind black
//   mi_reflection_dir     the stand-in module's mirror direction
//   mi_trace_reflection   traces the scene: the object shaded again one level
//                         deeper (up to kMaxReflectionLevel), the ground by
//                         the kernel; false when the ray leaves the scene
//   mi_trace_environment  the scene's environment
//   mi_compute_irradiance kIrradianceSamples cosine-weighted directions of
//                         the environment, blocked ones black
// Light tags are the scene's light indices plus one; ambient lights have no
// mental ray counterpart and are not in the shader's light list.

#include <memory>
#include <string>

#include "hosts/renderHost.h"

namespace flakecoat::preview::mentalray {

constexpr int kMaxReflectionLevel = 2;
constexpr int kIrradianceSamples = 16;

// File names in the library directory.
constexpr const char* kShaderLibraryFile = "tarn_flakeCoat.so";
constexpr const char* kRendererModuleFile = "libmentalray_standin.so";
constexpr const char* kDeclarationFile = "tarn_flakeCoat.mi";

// Loads the three files from libraryDirectory (ending in '/').
std::unique_ptr<RenderHost> loadMentalrayHost(const std::string& libraryDirectory, std::string& error);
// The same from explicit paths (tests load a probe library in its place).
std::unique_ptr<RenderHost> loadMentalrayHostFrom(const std::string& shaderLibraryPath, const std::string& modulePath,
                                                  const std::string& declarationPath, std::string& error);

}  // namespace flakecoat::preview::mentalray

#endif
