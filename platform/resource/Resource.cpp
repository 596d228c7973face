#include "platform/resource/Resource.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <unordered_set>

#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "platform/resource/ResourceTable.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

// A module handle. This module's handle is one static object whose table is the one the
// module registered; a loaded library's handle holds its library and its table.
struct HMODULE__ {
    HLIBRARY library = nullptr;
    const MorvelleResourceTable* table = nullptr;
    std::string path;  // the Linux path it was loaded from
};

namespace {

std::atomic<const MorvelleResourceTable*> thisModuleTable{nullptr};
HMODULE__ thisModule;

struct LoadedModules {
    std::mutex mutex;
    std::unordered_set<HMODULE> live;
};

LoadedModules& Loaded() {
    static LoadedModules* loaded = new LoadedModules;  // lives to the process's very end
    return *loaded;
}

bool IsUsableTable(const MorvelleResourceTable* table) {
    return table && table->version == MORVELLE_RESOURCE_TABLE_VERSION &&
           (table->count == 0 || table->entries);
}

// The table of a module; false for a handle that is not loaded. A module without
// resources has a null table.
bool TableOf(HMODULE module, const MorvelleResourceTable** table) {
    if (module == &thisModule) {
        *table = thisModuleTable.load(std::memory_order_acquire);
        return true;
    }
    LoadedModules& loaded = Loaded();
    std::lock_guard<std::mutex> guard(loaded.mutex);
    if (!module || !loaded.live.count(module))
        return false;
    *table = module->table;
    return true;
}

bool TypeMatches(const MorvelleResourceEntry& entry, const ResourceType& type) {
    if (type.name.empty())
        return !entry.typeName && entry.typeNumber == type.number;
    return entry.typeName && EqualsNoCase(entry.typeName, type.name);
}

// The entry a resource handle names, when it is one of the module's.
const MorvelleResourceEntry* EntryOf(HMODULE module, HRSRC resource) {
    const MorvelleResourceTable* table = nullptr;
    if (!resource || !TableOf(module, &table) || !table)
        return nullptr;
    const auto* entry = reinterpret_cast<const MorvelleResourceEntry*>(resource);
    const std::less<const MorvelleResourceEntry*> before;
    if (before(entry, table->entries) || !before(entry, table->entries + table->count))
        return nullptr;
    return entry;
}

}  // namespace

void RegisterThisModuleResources(const MorvelleResourceTable* table) {
    if (!IsUsableTable(table)) {
        Trace("resource", "a resource table of another version is ignored");
        return;
    }
    thisModuleTable.store(table, std::memory_order_release);
}

ResourceType::ResourceType(std::string_view typeName) {
    if (typeName.size() > 1 && typeName[0] == '#' && typeName.size() <= 10 &&
        typeName.substr(1).find_first_not_of("0123456789") == std::string_view::npos) {
        long value = 0;
        for (char c : typeName.substr(1))
            value = value * 10 + (c - '0');
        number = value > 0xFFFF ? -1 : static_cast<int>(value);
        return;
    }
    name = std::string(typeName);
    if (name.empty())
        number = -1;  // matches nothing
}

HMODULE ThisModule() {
    return &thisModule;
}

namespace {

// A handle for a library just opened from linuxPath, with its resource table.
HMODULE AdoptLibrary(HLIBRARY library, const std::string& linuxPath) {
    auto* module = new HMODULE__;
    module->library = library;
    module->path = linuxPath;
    using TableFunction = const MorvelleResourceTable* (*)();
    if (void* symbol = GetLibrarySymbol(library, kModuleResourcesFunctionName)) {
        const MorvelleResourceTable* table = reinterpret_cast<TableFunction>(symbol)();
        if (IsUsableTable(table))
            module->table = table;
        else
            Trace("resource", "%s: a resource table of another version is ignored",
                  linuxPath.c_str());
    }
    LoadedModules& loaded = Loaded();
    std::lock_guard<std::mutex> guard(loaded.mutex);
    loaded.live.insert(module);
    return module;
}

std::string SystemFormOf(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace

HMODULE LoadLibrary(std::string_view path) {
    const std::string linuxPath = MapToLinuxPath(path);
    if (linuxPath.empty() || linuxPath.find('\0') != std::string::npos)
        return nullptr;
    std::string why;
    HLIBRARY library = LoadSharedLibrary(linuxPath, &why);
    if (!library) {
        Trace("resource", "cannot load %s: %s", linuxPath.c_str(), why.c_str());
        return nullptr;
    }
    return AdoptLibrary(library, linuxPath);
}

BOOL GetModuleHandleEx(DWORD flags, std::string_view path, HMODULE* module) {
    if (module == nullptr)
        return FALSE;
    *module = nullptr;
    if (flags != 0 || path.empty())
        return FALSE;
    if (path == GetModuleFileName(ThisModule())) {
        *module = ThisModule();
        return TRUE;
    }
    const std::string linuxPath = MapToLinuxPath(path);
    if (linuxPath.empty() || linuxPath.front() != '/' ||
        linuxPath.find('\0') != std::string::npos) {
        return FALSE;
    }
    HLIBRARY library = OpenLoadedSharedLibrary(linuxPath);
    if (!library)
        return FALSE;
    *module = AdoptLibrary(library, linuxPath);
    return TRUE;
}

std::string GetModuleFileName(HMODULE module) {
    if (module == &thisModule)
        return SystemFormOf(CurrentModulePath());
    LoadedModules& loaded = Loaded();
    std::lock_guard<std::mutex> guard(loaded.mutex);
    if (!module || !loaded.live.count(module))
        return {};
    return SystemFormOf(module->path);
}

BOOL FreeLibrary(HMODULE module) {
    {
        LoadedModules& loaded = Loaded();
        std::lock_guard<std::mutex> guard(loaded.mutex);
        if (!module || !loaded.live.erase(module))
            return FALSE;
    }
    FreeSharedLibrary(module->library);
    delete module;
    return TRUE;
}

HRSRC FindResource(HMODULE module, int id, const ResourceType& type) {
    const MorvelleResourceTable* table = nullptr;
    if (!TableOf(module, &table) || !table)
        return nullptr;
    for (unsigned i = 0; i < table->count; ++i) {
        const MorvelleResourceEntry& entry = table->entries[i];
        if (entry.id == id && TypeMatches(entry, type))
            return reinterpret_cast<HRSRC>(const_cast<MorvelleResourceEntry*>(&entry));
    }
    return nullptr;
}

const BYTE* LoadResource(HMODULE module, HRSRC resource) {
    const MorvelleResourceEntry* entry = EntryOf(module, resource);
    return entry ? entry->data : nullptr;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const MorvelleResourceEntry* entry = EntryOf(module, resource);
    return entry ? static_cast<DWORD>(entry->size) : 0;
}
