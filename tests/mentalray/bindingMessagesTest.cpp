// The binding messages of the shader library itself, byte for byte: shading
// with no handle, with a module that lacks mi_noise_2d, and with the
// complete renderer module.

#include <dlfcn.h>

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <flakeCoatParameters.h>
#include <mentalrayHost/shadingSample.h>

namespace {

struct Library {
    void* handle;
    MiSetModuleHandleFunction setModuleHandle;
    TarnFlakeCoatFunction shade;
};

const Library& library() {
    static const Library loaded = [] {
        void* handle = dlopen(TARN_FLAKECOAT_PATH, RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle, nullptr) << dlerror();
        return Library{handle, reinterpret_cast<MiSetModuleHandleFunction>(dlsym(handle, "miSetModuleHandle")),
                       reinterpret_cast<TarnFlakeCoatFunction>(dlsym(handle, "tarn_flakeCoat"))};
    }();
    return loaded;
}

// Shades once with no lights, no reflection and no irradiance: the only
// renderer calls are the two noise lookups.
std::string messagesOfOneNoiseOnlyCall() {
    flakeCoatParameters parameters{};  // no lights, reflectivity 0, irradiance off
    miFunction function{0, 0};
    mentalrayHost::ShadingSample sample(mentalrayHost::SurfaceHit{}, function, nullptr);
    miColor result{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(library().shade(&result, &sample.state(), &parameters), miTRUE);
    return testing::internal::GetCapturedStderr();
}

// The handle as the message prints it: lowercase hex, all its digits, at
// least eight.
std::string printedHandle(const void* handle) {
    std::ostringstream text;
    text << std::hex << std::nouppercase << std::setw(8) << std::setfill('0')
         << reinterpret_cast<std::uintptr_t>(handle);
    return text.str();
}

}  // namespace

TEST(BindingMessages, NoHandleReportsBothMessagesOnEveryCall) {
    library().setModuleHandle(nullptr);
    const std::string once = "DYNLOAD: dl_handle null\n"
                             "dlsym failed on \"mi_noise_2d\" (handle: 00000000 error: " +
                             std::to_string(NULL_HANDLE_LOOKUP_ERROR) + ")\n";
    EXPECT_EQ(messagesOfOneNoiseOnlyCall(), once + once);
    EXPECT_EQ(messagesOfOneNoiseOnlyCall(), once + once);
}

TEST(BindingMessages, AMissingFunctionIsReportedWithTheHandleAndCode127) {
    void* partial = dlopen(PARTIAL_PROBE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(partial, nullptr);
    library().setModuleHandle(partial);
    const std::string once = "dlsym failed on \"mi_noise_2d\" (handle: " + printedHandle(partial) + " error: 127)\n";
    EXPECT_EQ(messagesOfOneNoiseOnlyCall(), once + once);
    // A 64-bit handle is printed whole, not cut to 32 bits; a 32-bit one
    // (where 32-bit Windows loads modules) in its eight digits
    if (sizeof(void*) > 4 && reinterpret_cast<std::uintptr_t>(partial) > 0xffffffffu)
        EXPECT_GT(printedHandle(partial).size(), 8u);
    else
        EXPECT_EQ(printedHandle(partial).size(), 8u);
    library().setModuleHandle(nullptr);
    dlclose(partial);
}

TEST(BindingMessages, AFoundFunctionIsSilent) {
    void* module = dlopen(STANDIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr);
    library().setModuleHandle(module);
    EXPECT_EQ(messagesOfOneNoiseOnlyCall(), "");
    EXPECT_EQ(messagesOfOneNoiseOnlyCall(), "");
    library().setModuleHandle(nullptr);
    dlclose(module);
}
