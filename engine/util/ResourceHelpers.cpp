#include "engine/util/ResourceHelpers.h"

#include "platform/file/FileLayer.h"

bool SaveResourceToFile(std::string_view module, const ResourceType& type, int id,
                        std::string_view path) {
    const bool own = module == "this";
    HMODULE handle = own ? ThisModule() : LoadLibrary(module);
    if (!handle)
        return false;
    bool saved = false;
    if (HRSRC resource = FindResource(handle, id, type)) {
        const BYTE* data = LoadResource(handle, resource);
        const std::string_view bytes(reinterpret_cast<const char*>(data),
                                     data ? SizeofResource(handle, resource) : 0);
        saved = data && WriteFileBytes(path, bytes);
    }
    if (!own)
        FreeLibrary(handle);
    return saved;
}

bool SaveResourceToFileById(std::string_view module, int id, std::string_view path) {
    return SaveResourceToFile(module, id, id, path);
}

bool ResourceExists(int id) {
    return FindResource(ThisModule(), id, id) != nullptr;
}
