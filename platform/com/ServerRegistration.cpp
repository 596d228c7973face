#include "platform/com/ServerRegistration.h"

#include <new>

#include "platform/registry/Registry.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

namespace {

std::string FolderOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? std::string_view()
                                                       : path.substr(0, slash));
}

LONG WriteKey(const RegistryScriptKey& key, std::string_view modulePath) {
    HKEY handle = nullptr;
    LONG status = RegCreateKeyEx(HKEY_CLASSES_ROOT, key.path, &handle);
    if (status != ERROR_SUCCESS)
        return status;
    const std::string folder = FolderOf(modulePath);
    for (const RegistryScriptValue& value : key.values) {
        std::string text = ReplaceAll(value.text, "%MODULEFOLDER%", folder);
        text = ReplaceAll(text, "%MODULE%", modulePath);
        status =
            RegSetValueEx(handle, value.name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
        if (status != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(handle);
    return status;
}

bool IsEmptyKey(const std::string& path) {
    HKEY handle = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    const bool empty = RegEnumKeyEx(handle, 0, nullptr) == ERROR_NO_MORE_ITEMS &&
                       RegEnumValue(handle, 0, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS;
    RegCloseKey(handle);
    return empty;
}

// Deletes an owned key and then the keys above it that it leaves empty.
LONG RemoveOwnedKey(const std::string& path) {
    LONG status = RegDeleteTree(HKEY_CLASSES_ROOT, path);
    if (status == ERROR_FILE_NOT_FOUND)
        status = ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    std::string parent = path;
    for (size_t cut = parent.rfind('\\'); cut != std::string::npos; cut = parent.rfind('\\')) {
        parent.resize(cut);
        if (!IsEmptyKey(parent))
            break;
        status = RegDeleteKey(HKEY_CLASSES_ROOT, parent);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return status;
    }
    return ERROR_SUCCESS;
}

LONG RemoveScript(const RegistryScript& script) {
    LONG result = ERROR_SUCCESS;
    for (const std::string& owned : script.ownedKeys) {
        const LONG status = RemoveOwnedKey(owned);
        if (status != ERROR_SUCCESS) {
            Trace("com", "unregistration: the key %s was not removed (%ld)", owned.c_str(),
                  static_cast<long>(status));
            result = status;
        }
    }
    return result;
}

}  // namespace

HRESULT RegisterServerScript(const RegistryScript& script, std::string_view modulePath) {
    try {
        LONG status = ERROR_SUCCESS;
        for (const std::string& owned : script.ownedKeys) {
            status = RegDeleteTree(HKEY_CLASSES_ROOT, owned);
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
                break;
            status = ERROR_SUCCESS;
        }
        for (size_t i = 0; status == ERROR_SUCCESS && i < script.keys.size(); ++i)
            status = WriteKey(script.keys[i], modulePath);
        if (status == ERROR_SUCCESS)
            return S_OK;
        Trace("com", "registration of %.*s failed (%ld)", static_cast<int>(modulePath.size()),
              modulePath.data(), static_cast<long>(status));
        RemoveScript(script);
        return SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServerScript(const RegistryScript& script) {
    try {
        return RemoveScript(script) == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
