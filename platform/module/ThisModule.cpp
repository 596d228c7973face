// The calls that name the module whose code makes them. This file is built twice: into
// the shared platform library and, as a static library of hidden symbols, into every
// program and shared library (platform/CMakeLists.txt), so each module answers for
// itself.
#include <string>

#include "platform/module/SharedLibrary.h"
#include "platform/resource/Resource.h"
#include "platform/resource/ResourceTable.h"

namespace {

// An address inside this module: hidden, so it never binds to another module's copy.
const void* Here() {
    return reinterpret_cast<const void*>(&ThisModule);
}

}  // namespace

HMODULE ThisModule() {
    static const HMODULE self = ModuleOfAddress(Here());
    return self;
}

void RegisterThisModuleResources(const MorvelleResourceTable* table) {
    SetModuleResources(Here(), table);
}

std::string CurrentModulePath() {
    return ModulePathOfAddress(Here());
}
