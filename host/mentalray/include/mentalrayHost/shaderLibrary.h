#ifndef MENTALRAY_HOST_SHADER_LIBRARY_H
#define MENTALRAY_HOST_SHADER_LIBRARY_H

#include <memory>
#include <string>

#include <shader.h>

namespace mentalrayHost {

// The shader library tarn_flakeCoat.so loaded the way the renderer loads it:
// the library and the renderer module (libmentalray_standin.so) with dlopen,
// the module's handle handed to miSetModuleHandle, the shader's version
// checked. shade() may be called from any number of threads at once, and
// again from inside a service's trace.
//
// The library's binding state is per process: two ShaderLibrary objects over
// the same file share it, and the last one opened wins.
class ShaderLibrary {
public:
    static constexpr int kExpectedVersion = 1;

    // Null with `error` set when a file cannot be loaded, an export is missing
    // or the version is not the expected one.
    static std::unique_ptr<ShaderLibrary> open(const std::string& libraryPath, const std::string& modulePath,
                                               std::string& error);
    ~ShaderLibrary();
    ShaderLibrary(const ShaderLibrary&) = delete;
    ShaderLibrary& operator=(const ShaderLibrary&) = delete;

    // `paras` is a parameter block laid out by the shader's declaration.
    miBoolean shade(miColor* result, miState* state, void* paras) const { return shader_(result, state, paras); }
    int version() const { return version_(); }

    // The renderer's handle calls, for hosts and tests that rebind.
    int setModuleHandle(void* handle) const { return setModuleHandle_(handle); }
    void* moduleHandle() const { return module_; }
    void* libraryHandle() const { return library_; }

private:
    ShaderLibrary() = default;

    void* library_ = nullptr;
    void* module_ = nullptr;
    // The exports as the renderer calls them: the block is an address to it.
    int (*setModuleHandle_)(void* handle) = nullptr;
    miBoolean (*shader_)(miColor* result, miState* state, void* paras) = nullptr;
    int (*version_)() = nullptr;
};

}  // namespace mentalrayHost

#endif
