#ifndef FLAKECOAT_TESTS_MENTALRAY_SHADER_TEST_SUPPORT_H
#define FLAKECOAT_TESTS_MENTALRAY_SHADER_TEST_SUPPORT_H

#include <vector>

#include <flakeCoatParameters.h>
#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/shaderDeclaration.h>
#include <mentalrayHost/scriptedServices.h>
#include <mentalrayHost/shaderLibrary.h>
#include <mentalrayHost/shadingSample.h>

namespace testSupport {

// The library and the stand-in module, loaded once per test program.
const mentalrayHost::ShaderLibrary& shaderLibrary();

// tarn_flakeCoat.mi as the renderer reads it, read once per test program.
const mentalrayHost::ShaderDeclaration& declaration();

// The stand-in module's own mi_noise_2d.
float moduleNoise(float u, float v);

// One shading call; the result record starts as `entry`.
miColor shade(mentalrayHost::ParameterBlock& block, mentalrayHost::RendererServices& services,
              const mentalrayHost::SurfaceHit& hit, miColor entry = {0.0f, 0.0f, 0.0f, 0.0f});

// A block that shows the lights alone: no reflection, ambient or
// incandescence, white base and specular colours, and `lights` tags 1, 2, ...
// all in use.
mentalrayHost::ParameterBlock lightsOnlyBlock(int lights);

// A hit on the plane z = 0 seen from straight above.
mentalrayHost::SurfaceHit hitFromAbove();

}  // namespace testSupport

#endif
