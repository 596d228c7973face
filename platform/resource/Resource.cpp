#include "platform/resource/Resource.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "platform/resource/ResourceTable.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

// A module handle: a module's own handle (ThisModule), one per module and kept to the
// process's end, or a handle LoadLibrary made, which holds its library until FreeLibrary.
struct HMODULE__ {
    HLIBRARY library = nullptr;  // null for a module's own handle
    std::atomic<const MorvelleResourceTable*> table{nullptr};
    std::string path;  // the module's Linux path; set once, before the handle is shared
};

namespace {

struct Modules {
    std::mutex mutex;
    std::unordered_set<HMODULE> live;              // every usable handle
    std::unordered_map<const void*, HMODULE> own;  // by module key (ModuleKeyOfAddress)
};

Modules& TheModules() {
    static Modules* modules = new Modules;  // lives to the process's very end
    return *modules;
}

// The module's own handle, made on first use. The caller holds the mutex.
HMODULE OwnHandleLocked(Modules& modules, const void* key, const std::string& path) {
    HMODULE& handle = modules.own[key];
    if (!handle) {
        handle = new HMODULE__;
        handle->path = path;
        modules.live.insert(handle);
    }
    return handle;
}

bool IsUsableTable(const MorvelleResourceTable* table) {
    return table && table->version == MORVELLE_RESOURCE_TABLE_VERSION &&
           (table->count == 0 || table->entries);
}

// The table of a module; false for a handle that is not loaded. A module without
// resources has a null table.
bool TableOf(HMODULE module, const MorvelleResourceTable** table) {
    Modules& modules = TheModules();
    std::lock_guard<std::mutex> guard(modules.mutex);
    if (!module || !modules.live.count(module))
        return false;
    *table = module->table.load(std::memory_order_acquire);
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

HMODULE ModuleOfAddress(const void* address) {
    const void* key = ModuleKeyOfAddress(address);
    Modules& modules = TheModules();
    std::lock_guard<std::mutex> guard(modules.mutex);
    return OwnHandleLocked(modules, key, ModulePathOfAddress(address));
}

HMODULE ProgramModule() {
    const void* key = ModuleKeyOfProgram();
    Modules& modules = TheModules();
    std::lock_guard<std::mutex> guard(modules.mutex);
    return OwnHandleLocked(modules, key, ProgramPath());
}

void SetModuleResources(const void* address, const MorvelleResourceTable* table) {
    if (!IsUsableTable(table)) {
        Trace("resource", "a resource table of another version is ignored");
        return;
    }
    ModuleOfAddress(address)->table.store(table, std::memory_order_release);
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

namespace {

std::string SystemFormOf(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A handle for a library just opened from linuxPath, with its resource table: the one
// the module registered while it started or, for a module that registered nothing, the
// one its export hands over (in-process servers export none: their tables come by
// registration).
HMODULE AdoptLibrary(HLIBRARY library, const std::string& linuxPath) {
    auto* module = new HMODULE__;
    module->library = library;
    module->path = linuxPath;
    const void* key = ModuleKeyOfLibrary(library);
    Modules& modules = TheModules();
    {
        std::lock_guard<std::mutex> guard(modules.mutex);
        const auto own = modules.own.find(key);
        if (key && own != modules.own.end())
            module->table.store(own->second->table.load(std::memory_order_acquire));
    }
    using TableFunction = const MorvelleResourceTable* (*)();
    void* symbol = GetLibrarySymbol(library, kModuleResourcesFunctionName);
    if (!module->table.load() && symbol && ModuleKeyOfAddress(symbol) == key) {
        const MorvelleResourceTable* table = reinterpret_cast<TableFunction>(symbol)();
        if (IsUsableTable(table))
            module->table.store(table);
        else
            Trace("resource", "%s: a resource table of another version is ignored",
                  linuxPath.c_str());
    }
    std::lock_guard<std::mutex> guard(modules.mutex);
    modules.live.insert(module);
    return module;
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
    const std::string linuxPath = MapToLinuxPath(path);
    if (linuxPath.empty() || linuxPath.front() != '/' ||
        linuxPath.find('\0') != std::string::npos) {
        return FALSE;
    }
    {
        // A module's own handle carries the table it registered; the program itself is
        // reached only this way.
        Modules& modules = TheModules();
        std::lock_guard<std::mutex> guard(modules.mutex);
        for (const auto& [key, own] : modules.own) {
            if (own->path == linuxPath) {
                *module = own;
                return TRUE;
            }
        }
    }
    HLIBRARY library = OpenLoadedSharedLibrary(linuxPath);
    if (!library)
        return FALSE;
    *module = AdoptLibrary(library, linuxPath);
    return TRUE;
}

std::string GetModuleFileName(HMODULE module) {
    Modules& modules = TheModules();
    std::lock_guard<std::mutex> guard(modules.mutex);
    if (!module || !modules.live.count(module))
        return {};
    return SystemFormOf(module->path);
}

BOOL FreeLibrary(HMODULE module) {
    {
        Modules& modules = TheModules();
        std::lock_guard<std::mutex> guard(modules.mutex);
        if (!module || !modules.live.count(module) || !module->library)
            return FALSE;
        modules.live.erase(module);
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
