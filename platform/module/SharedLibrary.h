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
// the module; the module itself stays mapped until the process ends. The process keeps
// pointers into its modules beyond their last use (the resource tables they registered,
// their class objects' code, destructors of their statics run at exit): unmapping a
// module would cut them off.
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
// The identity of the loaded module that holds address, and of a library loaded by
// LoadSharedLibrary: the same value for one module however it is reached, null for
// none.
const void* ModuleKeyOfAddress(const void* address);
const void* ModuleKeyOfLibrary(HLIBRARY module);
// The identity and the absolute Linux path of the program (the executable) itself.
const void* ModuleKeyOfProgram();
std::string ProgramPath();

// The path of the module whose code calls (ModulePathOfAddress of its own code): each
// program and shared library carries this call hidden for itself
// (platform/module/ThisModule.cpp), so a server finds its own file with it.
__attribute__((visibility("hidden"))) std::string CurrentModulePath();
