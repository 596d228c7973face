// Shared libraries: loading a module by its path, finding its exports, and the path of
// the module that holds a piece of code.
//
// All calls are safe on any thread; none throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

struct SharedLibrary__;
using HLIBRARY = SharedLibrary__*;

// Loads the shared library at a Linux path, binding all its symbols now and keeping
// them to itself. Null on failure; error (optional) receives the loader's reason.
// Each successful load is matched by one FreeSharedLibrary, which ends this load's use of
// the module; the module itself stays mapped until the process ends. Each module
// carries its own copy of the platform code, whose state lives as long as the process
// (the registry store's open handles, lock file and cache): unmapping the module
// would leak it and cut off whatever still pointed into the module.
HLIBRARY LoadSharedLibrary(std::string_view path, std::string* error = nullptr);
// The address of an exported symbol, null when the module has none of that name.
void* GetLibrarySymbol(HLIBRARY module, const char* name);
// The shared library at a Linux path only when the process has it loaded already: no
// file is opened and no start-up code runs. Null otherwise. Matched by one
// FreeSharedLibrary, as a load is.
HLIBRARY OpenLoadedSharedLibrary(std::string_view path);
BOOL FreeSharedLibrary(HLIBRARY module);

// The absolute Linux path of the loaded module (executable or shared library) whose
// code or data holds address; "" when no module holds it.
std::string ModulePathOfAddress(const void* address);
// The module this copy of the platform code is linked into: each shared library
// carries its own copy, so a server finds its own file with it.
std::string CurrentModulePath();
