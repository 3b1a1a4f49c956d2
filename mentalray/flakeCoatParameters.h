#ifndef TARN_FLAKECOAT_PARAMETERS_H
#define TARN_FLAKECOAT_PARAMETERS_H

// The shader's parameter block: a binary record the renderer builds from the
// scene description (tarn_flakeCoat.mi declares the same fields in the same
// order) and hands to every call. The layout is the contract with the
// renderer: 4-byte fields, no padding, no pointers, so it is the same for
// 32- and 64-bit builds.

#include <cstddef>

#include <shader.h>

struct flakeCoatParameters {
    miColor color;              // tints the diffuse, ambient and irradiance terms
    miColor ambientColor;
    miColor incandescence;      // added unweighted
    miVector normalCamera;      // added to the renderer's normal; (0, 0, 0) keeps it
    miScalar diffuse;
    miScalar depthRangeMin;     // film depth where the film noise is 0
    miScalar depthRangeMax;     // film depth where the film noise is 1
    miVector refractiveIndex;   // coat index per channel: x red, y green, z blue
    miScalar specularMin;       // exponent of the coat lobe
    miScalar specularMax;       // exponent of the flake lobe
    miScalar specularPower;
    miColor specularColor;
    miScalar frequencyX;        // texture-space frequency of the film noise
    miScalar frequencyY;        // texture-space frequency of the flake noise
    miScalar normalDeviation;   // strength of the flake tilt
    miInteger seed;             // added to both noise coordinates
    miScalar reflectivity;
    miBoolean useIrradiance;
    miColor irradianceColor;    // black switches the irradiance term off
    miInteger i_light;          // first tag in use, counted from light[0]
    miInteger n_light;          // number of tags in use
    miTag light[1];             // the renderer allocates as many slots as the scene gives
};

static_assert(sizeof(miScalar) == 4 && sizeof(miInteger) == 4 && sizeof(miBoolean) == 4 && sizeof(miTag) == 4,
              "renderer scalars are 4 bytes");
static_assert(sizeof(miColor) == 16 && sizeof(miVector) == 12, "renderer records are packed floats");
static_assert(offsetof(flakeCoatParameters, color) == 0);
static_assert(offsetof(flakeCoatParameters, ambientColor) == 16);
static_assert(offsetof(flakeCoatParameters, incandescence) == 32);
static_assert(offsetof(flakeCoatParameters, normalCamera) == 48);
static_assert(offsetof(flakeCoatParameters, diffuse) == 60);
static_assert(offsetof(flakeCoatParameters, depthRangeMin) == 64);
static_assert(offsetof(flakeCoatParameters, depthRangeMax) == 68);
static_assert(offsetof(flakeCoatParameters, refractiveIndex) == 72);
static_assert(offsetof(flakeCoatParameters, specularMin) == 84);
static_assert(offsetof(flakeCoatParameters, specularMax) == 88);
static_assert(offsetof(flakeCoatParameters, specularPower) == 92);
static_assert(offsetof(flakeCoatParameters, specularColor) == 96);
static_assert(offsetof(flakeCoatParameters, frequencyX) == 112);
static_assert(offsetof(flakeCoatParameters, frequencyY) == 116);
static_assert(offsetof(flakeCoatParameters, normalDeviation) == 120);
static_assert(offsetof(flakeCoatParameters, seed) == 124);
static_assert(offsetof(flakeCoatParameters, reflectivity) == 128);
static_assert(offsetof(flakeCoatParameters, useIrradiance) == 132);
static_assert(offsetof(flakeCoatParameters, irradianceColor) == 136);
static_assert(offsetof(flakeCoatParameters, i_light) == 152);
static_assert(offsetof(flakeCoatParameters, n_light) == 156);
static_assert(offsetof(flakeCoatParameters, light) == 160);
static_assert(sizeof(flakeCoatParameters) == 164, "one light slot, no tail padding");

// The shader's exports, as a host resolves them with dlsym.
using MiSetModuleHandleFunction = int (*)(void* handle);
using TarnFlakeCoatFunction = miBoolean (*)(miColor* result, miState* state, flakeCoatParameters* paras);
using TarnFlakeCoatVersionFunction = int (*)();

#endif
