// Resources: files built into the module that owns them (morvelle_embed_resources in
// cmake/Morvelle.cmake), found by type and number in the platform's way.
//
// A module is either this module, the program or shared library whose code makes the
// call, or a shared library loaded by path with LoadLibrary. Each module registers its
// table while it starts (platform/resource/ResourceTable.h); a library loaded by path
// that registered none is asked through the C function it exports, if any. A type is a
// number or a name compared ignoring ASCII case.
//
// The calls live in the shared platform library, except ThisModule, which every module
// carries hidden for itself (platform/module/ThisModule.cpp): a band's code finds the
// band's resources as "this module", its host's code the host's. All calls are safe on
// any thread; none throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

struct HMODULE__;
using HMODULE = HMODULE__*;
struct HRSRC__;
using HRSRC = HRSRC__*;

// The type of HTML pages ("HTML" in a resource manifest).
constexpr int RT_HTML = 23;

// A resource type: a number, or a name. The text "#23" names the number 23.
struct ResourceType {
    ResourceType(int typeNumber) : number(typeNumber) {}
    ResourceType(const char* typeName) : ResourceType(std::string_view(typeName ? typeName : "")) {}
    ResourceType(std::string_view typeName);

    int number = 0;    // 0 when the type has a name
    std::string name;  // "" when the type has a number
};

// The module whose code calls: never null, never to be freed; the same handle for every
// call from one module. Called from a platform source it names the platform library, so
// platform code that needs its caller's resources takes the caller's handle.
__attribute__((visibility("hidden"))) HMODULE ThisModule();

// Loads the shared library that path names (a system path, mapped by the file layer; a
// bare name is searched as the system searches libraries) and holds it until
// FreeLibrary. A library without resources loads and holds none. Null when it cannot be
// loaded. Runs the library's start-up code, as loading any library does.
HMODULE LoadLibrary(std::string_view path);
// A module the process has loaded already (this module, or a shared library), named by
// its path as GetModuleFileName gives it; held in *module until FreeLibrary (nothing to
// free for this module). No file is loaded and no start-up code runs. flags must be 0.
// FALSE, *module null, when no loaded module has that path.
BOOL GetModuleHandleEx(DWORD flags, std::string_view path, HMODULE* module);
// The file of a module as a system path: its absolute Linux path with every "/" written
// "\" ("\opt\band\libQuillet.so"), which the file layer maps back. A path in this form
// holds no "/", so an address built from it ("res://%s/%d") shows none of its folder
// names between slashes. "" for a handle that is not loaded.
std::string GetModuleFileName(HMODULE module);
// Releases a module loaded by LoadLibrary. FALSE for this module, null or a handle that
// is not (or no longer) loaded.
BOOL FreeLibrary(HMODULE module);

// The resource of that number and type in the module; null when it has none, and for a
// handle that is not loaded.
HRSRC FindResource(HMODULE module, int id, const ResourceType& type);
// The resource's bytes, valid while the module stays loaded; null for a resource that is
// not the module's.
const BYTE* LoadResource(HMODULE module, HRSRC resource);
// The number of the resource's bytes; 0 for a resource that is not the module's.
DWORD SizeofResource(HMODULE module, HRSRC resource);

// For the piece every module carries (platform/module/ThisModule.cpp): the own handle of
// the loaded module that holds address, made at the first call and kept to the
// process's end. FreeLibrary refuses it.
HMODULE ModuleOfAddress(const void* address);
// The program's own module (the executable's), whichever module calls: where the
// framework looks for resources until a module names itself.
HMODULE ProgramModule();
