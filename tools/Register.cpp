// morvelle-register: registers an in-process server by calling its DllRegisterServer,
// or with "/u" unregisters it by calling its DllUnregisterServer, as the product's
// installation does. A developer's tool for the build and the tests.
//
//     morvelle-register <module path> [/u]
//
// The keys go into the registry store of the current user (MORVELLE_CONFIG_HOME
// chooses another). Exits with 0 on success, 1 on failure, 2 on a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/com/ServerExports.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"

int main(int argc, char** argv) {
    const bool unregister =
        argc == 3 && (std::strcmp(argv[2], "/u") == 0 || std::strcmp(argv[2], "-u") == 0);
    if (argc < 2 || argc > 3 || (argc == 3 && !unregister)) {
        std::fprintf(stderr, "usage: morvelle-register <module path> [/u]\n");
        return 2;
    }
    std::string path = argv[1];
    // A bare file name would be searched for on the library path, not here.
    if (path.find('/') == std::string::npos)
        path = "./" + path;
    std::string reason;
    HLIBRARY module = LoadSharedLibrary(path, &reason);
    if (!module) {
        std::fprintf(stderr, "morvelle-register: cannot load %s: %s\n", path.c_str(),
                     reason.c_str());
        return 1;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto function = reinterpret_cast<DllRegisterServerFunction>(GetLibrarySymbol(module, entry));
    if (!function) {
        std::fprintf(stderr,
                     "morvelle-register: %s exports no %s: it is not an in-process server\n",
                     path.c_str(), entry);
        FreeSharedLibrary(module);
        return 1;
    }
    const HRESULT hr = function();
    FreeSharedLibrary(module);
    if (FAILED(hr)) {
        std::fprintf(stderr, "morvelle-register: %s of %s failed with 0x%08X (registry store %s)\n",
                     entry, path.c_str(), static_cast<unsigned>(hr), RegistryStorePath().c_str());
        return 1;
    }
    std::printf("%s %s in %s\n", unregister ? "Unregistered" : "Registered", path.c_str(),
                RegistryStorePath().c_str());
    return 0;
}
