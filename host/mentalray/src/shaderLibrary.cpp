#include <mentalrayHost/shaderLibrary.h>

#include <dlfcn.h>

namespace mentalrayHost {

namespace {

std::string lastLoaderError() {
    const char* message = dlerror();
    return message ? message : "unknown loader error";
}

template <class Function>
bool resolve(void* library, const char* name, Function& function, std::string& error) {
    dlerror();
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function) return true;
    error = std::string("missing export ") + name + ": " + lastLoaderError();
    return false;
}

}  // namespace

std::unique_ptr<ShaderLibrary> ShaderLibrary::open(const std::string& libraryPath, const std::string& modulePath,
                                                   std::string& error) {
    std::unique_ptr<ShaderLibrary> loaded(new ShaderLibrary);

    // The renderer module first: the library is of no use without it
    loaded->module_ = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!loaded->module_) {
        error = "cannot load renderer module " + modulePath + ": " + lastLoaderError();
        return nullptr;
    }
    loaded->library_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!loaded->library_) {
        error = "cannot load shader library " + libraryPath + ": " + lastLoaderError();
        return nullptr;
    }

    // The exports, then the handle and the version check
    if (!resolve(loaded->library_, "miSetModuleHandle", loaded->setModuleHandle_, error) ||
        !resolve(loaded->library_, "tarn_flakeCoat", loaded->shader_, error) ||
        !resolve(loaded->library_, "tarn_flakeCoat_version", loaded->version_, error)) {
        error = libraryPath + ": " + error;
        return nullptr;
    }
    loaded->setModuleHandle_(loaded->module_);
    const int version = loaded->version_();
    if (version != kExpectedVersion) {
        error = libraryPath + ": shader version " + std::to_string(version) + ", expected " +
                std::to_string(kExpectedVersion);
        return nullptr;
    }
    return loaded;
}

ShaderLibrary::~ShaderLibrary() {
    if (library_) dlclose(library_);
    if (module_) dlclose(module_);
}

}  // namespace mentalrayHost
