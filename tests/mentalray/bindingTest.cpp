// The binding layer compiled into this test with a counting lookup: caching,
// clearing, pass-through and the answers while a function is missing.

#include <dlfcn.h>

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "bits.h"

#include <shader.h>

#include "countingLookup.h"
#include "dynload.h"

namespace {

const char* const kFunctionNames[] = {"mi_compute_irradiance", "mi_trace_reflection", "mi_trace_environment",
                                      "mi_sample_light",       "mi_phen_eval",        "mi_reflection_dir",
                                      "mi_noise_2d"};

struct Probe {
    ModuleHandle handle = nullptr;
    std::uint32_t* noiseBits = nullptr;
    miBoolean* boolean = nullptr;
    std::intptr_t* pointerShift = nullptr;
    const void** arguments = nullptr;
    miTag* light = nullptr;
    float* noiseArguments = nullptr;
};

Probe openProbe(const char* path) {
    Probe probe;
    probe.handle = static_cast<ModuleHandle>(dlopen(path, RTLD_NOW | RTLD_LOCAL));
    EXPECT_NE(probe.handle, nullptr) << dlerror();
    probe.noiseBits = static_cast<std::uint32_t*>(dlsym(probe.handle, "probe_noise_bits"));
    probe.boolean = static_cast<miBoolean*>(dlsym(probe.handle, "probe_boolean"));
    probe.pointerShift = static_cast<std::intptr_t*>(dlsym(probe.handle, "probe_pointer_shift"));
    probe.arguments = static_cast<const void**>(dlsym(probe.handle, "probe_arguments"));
    probe.light = static_cast<miTag*>(dlsym(probe.handle, "probe_light"));
    probe.noiseArguments = static_cast<float*>(dlsym(probe.handle, "probe_noise_arguments"));
    return probe;
}

const Probe& fullProbe() {
    static const Probe probe = openProbe(PROBE_MODULE_PATH);
    return probe;
}

const Probe& partialProbe() {
    static const Probe probe = openProbe(PARTIAL_PROBE_MODULE_PATH);
    return probe;
}

// Calls every binder once with throw-away arguments.
void callEveryBinder() {
    miColor colour{};
    miVector direction{};
    miScalar scalar = 0.0f;
    miInteger samples = 0;
    miState state{};
    miTag parameter = 0;
    mi_compute_irradiance(&colour, &state);
    mi_trace_reflection(&colour, &state, &direction);
    mi_trace_environment(&colour, &state, &direction);
    mi_sample_light(&colour, &direction, &scalar, &state, 1, &samples);
    mi_phen_eval(&state, &parameter);
    mi_reflection_dir(&direction, &state);
    mi_noise_2d(0.0f, 0.0f);
}

}  // namespace

TEST(Binding, SettingTheHandleEmptiesEverySlotAndReturnsZero) {
    static int dummy;
    for (std::atomic<void*>& slot : dl_functions) slot.store(&dummy);
    EXPECT_EQ(miSetModuleHandle(fullProbe().handle), 0);
    EXPECT_EQ(dl_handle.load(), fullProbe().handle);
    for (int slot = 0; slot < kFunctionSlots; ++slot) EXPECT_EQ(dl_functions[slot].load(), nullptr) << slot;
}

TEST(Binding, LooksAFunctionUpOnceUntilTheHandleIsSetAgain) {
    miSetModuleHandle(fullProbe().handle);
    int before[7];
    for (int i = 0; i < 7; ++i) before[i] = lookupCount(kFunctionNames[i]);

    testing::internal::CaptureStderr();
    for (int call = 0; call < 3; ++call) callEveryBinder();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (int i = 0; i < 7; ++i) EXPECT_EQ(lookupCount(kFunctionNames[i]) - before[i], 1) << kFunctionNames[i];

    // A second handle: every binder looks its function up afresh, once
    miSetModuleHandle(fullProbe().handle);
    for (int call = 0; call < 2; ++call) callEveryBinder();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(lookupCount(kFunctionNames[i]) - before[i], 2) << kFunctionNames[i];
}

TEST(Binding, PassesArgumentsAndResultsThroughBitForBit) {
    const Probe& probe = fullProbe();
    miSetModuleHandle(probe.handle);

    // Noise: ordinary, negative zero, subnormal and NaN-with-payload results
    for (std::uint32_t bits : {0x3f3504f3u, 0x80000000u, 0x00000001u, 0x7fc01234u, 0xff800000u}) {
        *probe.noiseBits = bits;
        EXPECT_EQ(bitsOf(mi_noise_2d(19928.125f, -1998122.5f)), bits);
        EXPECT_EQ(bitsOf(probe.noiseArguments[0]), bitsOf(19928.125f));
        EXPECT_EQ(bitsOf(probe.noiseArguments[1]), bitsOf(-1998122.5f));
    }

    // Booleans come back as the renderer gave them, not folded to 0 or 1
    miColor colour{};
    miVector direction{};
    miScalar scalar = 0.0f;
    miInteger samples = 0;
    miState state{};
    for (miBoolean answer : {miFALSE, miTRUE, miBoolean(0x12345678), miBoolean(-1)}) {
        *probe.boolean = answer;
        EXPECT_EQ(mi_sample_light(&colour, &direction, &scalar, &state, 0xfedcba98u, &samples), answer);
        EXPECT_EQ(probe.arguments[0], &colour);
        EXPECT_EQ(probe.arguments[1], &direction);
        EXPECT_EQ(probe.arguments[2], &scalar);
        EXPECT_EQ(probe.arguments[3], &state);
        EXPECT_EQ(probe.arguments[4], &samples);
        EXPECT_EQ(*probe.light, 0xfedcba98u);
        EXPECT_EQ(mi_trace_reflection(&colour, &state, &direction), answer);
        EXPECT_EQ(probe.arguments[2], &direction);
        EXPECT_EQ(mi_trace_environment(&colour, &state, &direction), answer);
        EXPECT_EQ(mi_compute_irradiance(&colour, &state), answer);
        EXPECT_EQ(probe.arguments[1], &state);
    }

    // Pointers: the renderer's answer, not the parameter
    char block[16] = {};
    *probe.pointerShift = 12;
    EXPECT_EQ(mi_phen_eval(&state, block), block + 12);
    EXPECT_EQ(probe.arguments[0], &state);
    mi_reflection_dir(&direction, &state);
    EXPECT_EQ(direction.x, 1.0f);
    EXPECT_EQ(direction.z, 3.0f);
}

TEST(Binding, AFailedLookupLeavesTheOtherFunctionsAlone) {
    const Probe& probe = partialProbe();
    miSetModuleHandle(probe.handle);
    *probe.boolean = miTRUE;
    const int noiseBefore = lookupCount("mi_noise_2d");
    const int lightBefore = lookupCount("mi_sample_light");

    testing::internal::CaptureStderr();
    miColor colour{};
    miVector direction{};
    miScalar scalar = 0.0f;
    miInteger samples = 0;
    miState state{};
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(bitsOf(mi_noise_2d(0.5f, 0.5f)), 0u);
        EXPECT_EQ(mi_trace_environment(&colour, &state, &direction), miFALSE);
        EXPECT_EQ(mi_sample_light(&colour, &direction, &scalar, &state, 3, &samples), miTRUE);
        EXPECT_EQ(mi_trace_reflection(&colour, &state, &direction), miTRUE);
    }
    const std::string messages = testing::internal::GetCapturedStderr();

    // Failures are looked up (and reported) on every call; the others once
    EXPECT_EQ(lookupCount("mi_noise_2d") - noiseBefore, 3);
    EXPECT_EQ(lookupCount("mi_sample_light") - lightBefore, 1);
    EXPECT_NE(dl_functions[dynload::kSampleLight].load(), nullptr);
    EXPECT_NE(dl_functions[dynload::kTraceReflection].load(), nullptr);
    EXPECT_EQ(dl_functions[dynload::kNoise2d].load(), nullptr);
    EXPECT_EQ(dl_functions[dynload::kTraceEnvironment].load(), nullptr);
    EXPECT_NE(messages.find("\"mi_noise_2d\""), std::string::npos);
    EXPECT_EQ(messages.find("mi_sample_light"), std::string::npos);
}

TEST(Binding, AnswersSoundlyWhileNoFunctionCanBeFound) {
    miSetModuleHandle(nullptr);
    testing::internal::CaptureStderr();

    miColor colour{0.25f, 0.5f, 0.75f, 1.0f};
    miVector direction{0.1f, 0.2f, 0.3f};
    miScalar scalar = 7.0f;
    miInteger samples = 0;
    miState state{};
    miTag parameter = 0;
    // No light sample, no trace, no irradiance
    EXPECT_EQ(mi_sample_light(&colour, &direction, &scalar, &state, 1, &samples), miFALSE);
    EXPECT_EQ(mi_trace_reflection(&colour, &state, &direction), miFALSE);
    EXPECT_EQ(mi_trace_environment(&colour, &state, &direction), miFALSE);
    EXPECT_EQ(mi_compute_irradiance(&colour, &state), miFALSE);
    // The parameter's own value, a zero noise, an untouched direction
    EXPECT_EQ(mi_phen_eval(&state, &parameter), &parameter);
    EXPECT_EQ(bitsOf(mi_noise_2d(1.0f, 2.0f)), 0u);
    mi_reflection_dir(&direction, &state);
    EXPECT_EQ(direction.x, 0.1f);
    EXPECT_EQ(direction.y, 0.2f);
    EXPECT_EQ(direction.z, 0.3f);
    EXPECT_EQ(samples, 0);
    EXPECT_EQ(colour.r, 0.25f);
    testing::internal::GetCapturedStderr();
}
