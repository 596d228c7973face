#include "platform/module/SharedLibrary.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>

#include <string>

HLIBRARY LoadSharedLibrary(std::string_view path, std::string* error) {
    const std::string file(path);
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle && error) {
        const char* reason = dlerror();
        *error = reason ? reason : "the module could not be loaded";
    }
    return static_cast<HLIBRARY>(handle);
}

HLIBRARY OpenLoadedSharedLibrary(std::string_view path) {
    const std::string file(path);
    return static_cast<HLIBRARY>(
        dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE | RTLD_NOLOAD));
}

void* GetLibrarySymbol(HLIBRARY module, const char* name) {
    if (!module || !name)
        return nullptr;
    return dlsym(module, name);
}

BOOL FreeSharedLibrary(HLIBRARY module) {
    return module && dlclose(module) == 0 ? TRUE : FALSE;
}

std::string ModulePathOfAddress(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}

// A module's link map entry names it: one per loaded module, reached from an address in
// it as from its dlopen handle.
const void* ModuleKeyOfAddress(const void* address) {
    Dl_info info{};
    struct link_map* map = nullptr;
    if (!address || dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
        return nullptr;
    return map;
}

const void* ModuleKeyOfProgram() {
    static const void* const key = [] {
        void* program = dlopen(nullptr, RTLD_NOW);
        struct link_map* map = nullptr;
        if (program && dlinfo(program, RTLD_DI_LINKMAP, &map) != 0)
            map = nullptr;
        return static_cast<const void*>(map);
    }();
    return key;
}

std::string ProgramPath() {
    char resolved[PATH_MAX];
    if (realpath("/proc/self/exe", resolved))
        return resolved;
    return {};
}

const void* ModuleKeyOfLibrary(HLIBRARY module) {
    struct link_map* map = nullptr;
    if (!module || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0)
        return nullptr;
    return map;
}
