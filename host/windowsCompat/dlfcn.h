#ifndef FLAKECOAT_WINDOWS_COMPAT_DLFCN_H
#define FLAKECOAT_WINDOWS_COMPAT_DLFCN_H

// dlopen, dlsym, dlclose and dlerror over the Windows loader, so that the
// host stand-ins and the tests load modules the same way on both platforms.
// The flags are accepted and ignored: Windows resolves a DLL's imports when
// it loads it and keeps its symbols to itself.

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#define RTLD_LAZY 0x1
#define RTLD_NOW 0x2
#define RTLD_LOCAL 0x0
#define RTLD_GLOBAL 0x100

namespace windowsDlfcn {

// The last failure of this thread, reported once by dlerror as dlerror does.
struct LastError {
    std::string text;
    bool pending = false;
};

inline LastError& lastError() {
    thread_local LastError error;
    return error;
}

inline void fail(const char* what, const char* name) {
    const DWORD code = GetLastError();
    char message[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, message,
                   sizeof message, nullptr);
    std::string text = std::string(what) + " " + name + ": error " + std::to_string(code);
    if (message[0]) text += std::string(" (") + message + ")";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    lastError() = {text, true};
}

}  // namespace windowsDlfcn

inline void* dlopen(const char* path, int /*flags*/) {
    // The loader's own separator: forward slashes are not promised to work
    std::string windowsPath = path;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    HMODULE module = LoadLibraryA(windowsPath.c_str());
    if (!module) windowsDlfcn::fail("LoadLibrary", path);
    return reinterpret_cast<void*>(module);
}

inline void* dlsym(void* handle, const char* name) {
    FARPROC function = GetProcAddress(static_cast<HMODULE>(handle), name);
    if (!function) windowsDlfcn::fail("GetProcAddress", name);
    return reinterpret_cast<void*>(function);
}

inline int dlclose(void* handle) { return FreeLibrary(static_cast<HMODULE>(handle)) ? 0 : -1; }

inline char* dlerror() {
    windowsDlfcn::LastError& error = windowsDlfcn::lastError();
    if (!error.pending) return nullptr;
    error.pending = false;
    return &error.text[0];
}

#endif
