// The resource table that a module's generated resource source defines (see
// morvelle_embed_resources in cmake/Morvelle.cmake). Plain C layout: a module loaded by
// path hands its table over through the exported function MorvelleModuleResources.
#pragma once

#define MORVELLE_RESOURCE_TABLE_VERSION 1u

extern "C" {

struct MorvelleResourceEntry {
    int typeNumber;        // the type's number; 0 when the type has a name
    const char* typeName;  // the type's name; null when it has a number
    int id;
    const unsigned char* data;
    unsigned long size;
};

struct MorvelleResourceTable {
    unsigned version;  // MORVELLE_RESOURCE_TABLE_VERSION
    unsigned count;
    const MorvelleResourceEntry* entries;
};

}  // extern "C"

// The name of the exported C function, `const MorvelleResourceTable*
// MorvelleModuleResources(void)`, that every module with resources provides.
constexpr const char* kModuleResourcesFunctionName = "MorvelleModuleResources";

// Makes table the resources of the module this call is linked into. The generated
// resource source calls it once, while the module starts; the table lives as long as the
// module. Hidden: each module carries it for itself (platform/module/ThisModule.cpp).
__attribute__((visibility("hidden"))) void RegisterThisModuleResources(
    const MorvelleResourceTable* table);

// Makes table the resources of the loaded module that holds address: what
// RegisterThisModuleResources does in the shared platform. A table of another version is
// ignored, with a trace line.
void SetModuleResources(const void* address, const MorvelleResourceTable* table);
