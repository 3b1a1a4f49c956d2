#ifndef FLAKECOAT_TESTS_PREVIEW_MENTALRAY_PROBE_H
#define FLAKECOAT_TESTS_PREVIEW_MENTALRAY_PROBE_H

// What the probe shader library saw in its last call at each reflection
// level: the state the renderer filled, its parameter block, and the
// renderer functions' answers. The probe stands in for tarn_flakeCoat under
// the same exports.

#include <shader.h>

#include <flakeCoatParameters.h>

constexpr int kProbeLevels = 4;
constexpr int kProbeLights = 4;

struct ProbeCall {
    int calls = 0;
    miState state{};
    miVector texture0{};
    flakeCoatParameters parameters{};
    miTag lightTags[kProbeLights] = {};
    int lightSamples[kProbeLights] = {};
    miColor lightColourSum[kProbeLights] = {};
    miVector lightDirection[kProbeLights] = {};  // of the first sample
    miVector reflectionDirection{};
    miBoolean reflected = miFALSE;
    miColor reflectionColour{};
    miBoolean environmentFound = miFALSE;
    miColor environmentColour{};
    miBoolean irradianceFound = miFALSE;
    miColor irradiance{};
};

struct ProbeRecord {
    ProbeCall level[kProbeLevels];
};

// Exported by the probe library with C linkage.
using ProbeRecordFunction = ProbeRecord* (*)();

#endif
