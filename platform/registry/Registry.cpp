#include "platform/registry/Registry.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <vector>

#include "platform/registry/RegistryStore.h"

// A key handle: the hive and the names of the keys below it, as stored.
struct HKEY__ {
    int hive = 0;
    std::vector<std::string> path;
    REGSAM access = KEY_ALL_ACCESS;
};

namespace {

HKEY__ hiveHandles[kRegistryHiveCount] = {
    {0, {}, KEY_ALL_ACCESS}, {1, {}, KEY_ALL_ACCESS}, {2, {}, KEY_ALL_ACCESS}};

struct OpenHandles {
    std::mutex mutex;
    std::unordered_set<HKEY__*> live;
};

OpenHandles& Handles() {
    static OpenHandles* handles = new OpenHandles;  // lives to the process's very end
    return *handles;
}

bool IsHive(HKEY key) {
    return key >= &hiveHandles[0] && key < &hiveHandles[kRegistryHiveCount];
}

// A copy of what a handle names, or nothing for a stale or unknown handle.
std::optional<HKEY__> Resolve(HKEY key) {
    if (IsHive(key))
        return *key;
    OpenHandles& handles = Handles();
    std::lock_guard<std::mutex> guard(handles.mutex);
    if (!handles.live.count(key))
        return std::nullopt;
    return *key;
}

HKEY NewHandle(HKEY__ value) {
    HKEY key = new HKEY__(std::move(value));
    OpenHandles& handles = Handles();
    std::lock_guard<std::mutex> guard(handles.mutex);
    handles.live.insert(key);
    return key;
}

// The names of a sub-key path; nothing when it holds an empty name. A trailing "\" is
// allowed.
std::optional<std::vector<std::string>> SplitSubKey(std::string_view subKey) {
    std::vector<std::string> names;
    if (subKey.empty())
        return names;
    if (subKey.back() == '\\')
        subKey.remove_suffix(1);
    size_t start = 0;
    for (;;) {
        const size_t end = subKey.find('\\', start);
        const std::string_view name = subKey.substr(start, end - start);
        if (name.empty())
            return std::nullopt;
        names.emplace_back(name);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return names;
}

RegistryKeyNode* FindChild(RegistryKeyNode* node, const std::string& name) {
    const auto found = node->subKeys.find(name);
    return found == node->subKeys.end() ? nullptr : found->second.get();
}

// The key a handle names in the tree; null when it was deleted.
RegistryKeyNode* FindKey(RegistryTree& tree, const HKEY__& handle) {
    RegistryKeyNode* node = &tree.hives[handle.hive];
    for (const std::string& name : handle.path) {
        node = FindChild(node, name);
        if (!node)
            return nullptr;
    }
    return node;
}

// Runs body on the key that handle names, inside the store.
template <typename Body>
LONG OnKey(HKEY key, Body body) {
    const std::optional<HKEY__> handle = Resolve(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    return WithRegistryStore([&](RegistryTree& tree, bool* changed) -> LONG {
        RegistryKeyNode* node = FindKey(tree, *handle);
        if (!node)
            return ERROR_KEY_DELETED;
        return body(*handle, *node, changed);
    });
}

}  // namespace

HKEY const HKEY_CLASSES_ROOT = &hiveHandles[0];
HKEY const HKEY_CURRENT_USER = &hiveHandles[1];
HKEY const HKEY_LOCAL_MACHINE = &hiveHandles[2];

std::string RegistryStorePath() {
    if (const char* own = std::getenv("MORVELLE_CONFIG_HOME"); own && *own) {
        return std::string(own) + "/registry";
    }
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        return std::string(xdg) + "/morvelle/registry";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/morvelle/registry";
}

LONG RegCreateKeyEx(HKEY key, std::string_view subKey, HKEY* result, DWORD* disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    const auto names = SplitSubKey(subKey);
    if (!names)
        return ERROR_INVALID_PARAMETER;
    HKEY__ opened;
    bool created = false;
    const LONG status = OnKey(key, [&](const HKEY__& handle, RegistryKeyNode& node, bool* changed) {
        if (handle.path.size() + names->size() > kMaxRegistryKeyDepth)
            return ERROR_INVALID_PARAMETER;
        opened = handle;
        opened.access = KEY_ALL_ACCESS;
        RegistryKeyNode* current = &node;
        for (const std::string& name : *names) {
            auto found = current->subKeys.find(name);
            if (found == current->subKeys.end()) {
                if (!(handle.access & KEY_CREATE_SUB_KEY))
                    return ERROR_ACCESS_DENIED;
                found = current->subKeys.emplace(name, std::make_unique<RegistryKeyNode>()).first;
                created = true;
            }
            opened.path.push_back(found->first);
            current = found->second.get();
        }
        *changed = created;
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    *result = NewHandle(std::move(opened));
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegOpenKeyEx(HKEY key, std::string_view subKey, DWORD, REGSAM access, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    const auto names = SplitSubKey(subKey);
    if (!names)
        return ERROR_INVALID_PARAMETER;
    HKEY__ opened;
    const LONG status = OnKey(key, [&](const HKEY__& handle, RegistryKeyNode& node, bool*) {
        opened = handle;
        opened.access = access;
        RegistryKeyNode* current = &node;
        for (const std::string& name : *names) {
            const auto found = current->subKeys.find(name);
            if (found == current->subKeys.end())
                return ERROR_FILE_NOT_FOUND;
            opened.path.push_back(found->first);
            current = found->second.get();
        }
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    *result = NewHandle(std::move(opened));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (IsHive(key))
        return ERROR_SUCCESS;
    OpenHandles& handles = Handles();
    {
        std::lock_guard<std::mutex> guard(handles.mutex);
        if (!handles.live.erase(key))
            return ERROR_INVALID_HANDLE;
    }
    delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    return OnKey(key, [&](const HKEY__&, RegistryKeyNode& node, bool*) {
        const auto found = node.values.find(std::string(name));
        if (found == node.values.end())
            return ERROR_FILE_NOT_FOUND;
        const RegistryValue& value = found->second;
        const DWORD length = static_cast<DWORD>(value.data.size());
        if (type)
            *type = value.type;
        if (!data) {
            if (size)
                *size = length;
            return ERROR_SUCCESS;
        }
        if (*size < length) {
            *size = length;
            return ERROR_MORE_DATA;
        }
        if (length)
            std::memcpy(data, value.data.data(), length);
        *size = length;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueBytes(HKEY key, std::string_view name, DWORD* type, std::string* data) {
    return OnKey(key, [&](const HKEY__&, RegistryKeyNode& node, bool*) {
        const auto found = node.values.find(std::string(name));
        if (found == node.values.end())
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = found->second.type;
        if (data)
            *data = found->second.data;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueEx(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    RegistryValue value;
    value.type = type;
    if (size)
        value.data.assign(reinterpret_cast<const char*>(data), size);
    return OnKey(key, [&](const HKEY__& handle, RegistryKeyNode& node, bool* changed) {
        if (!(handle.access & KEY_SET_VALUE))
            return ERROR_ACCESS_DENIED;
        const auto found = node.values.find(std::string(name));
        if (found != node.values.end()) {
            if (found->second.type == value.type && found->second.data == value.data) {
                return ERROR_SUCCESS;
            }
            found->second = std::move(value);
        } else {
            node.values.emplace(std::string(name), std::move(value));
        }
        *changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY key, std::string_view name) {
    return OnKey(key, [&](const HKEY__& handle, RegistryKeyNode& node, bool* changed) {
        if (!(handle.access & KEY_SET_VALUE))
            return ERROR_ACCESS_DENIED;
        if (!node.values.erase(std::string(name)))
            return ERROR_FILE_NOT_FOUND;
        *changed = true;
        return ERROR_SUCCESS;
    });
}

namespace {

// Deletes the key at names below node; withSubKeys false refuses a key that has some.
LONG DeleteKeyBelow(RegistryKeyNode& node, const std::vector<std::string>& names, bool withSubKeys,
                    bool* changed) {
    RegistryKeyNode* parent = &node;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        parent = FindChild(parent, names[i]);
        if (!parent)
            return ERROR_FILE_NOT_FOUND;
    }
    const auto found = parent->subKeys.find(names.back());
    if (found == parent->subKeys.end())
        return ERROR_FILE_NOT_FOUND;
    if (!withSubKeys && !found->second->subKeys.empty())
        return ERROR_ACCESS_DENIED;
    parent->subKeys.erase(found);
    *changed = true;
    return ERROR_SUCCESS;
}

// The names of the key to delete, from the hive down: the handle's path and subKey.
LONG DeleteKey(HKEY key, std::string_view subKey, bool withSubKeys) {
    const auto names = SplitSubKey(subKey);
    if (!names)
        return ERROR_INVALID_PARAMETER;
    const std::optional<HKEY__> handle = Resolve(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> full = handle->path;
    full.insert(full.end(), names->begin(), names->end());
    if (full.empty())
        return ERROR_ACCESS_DENIED;  // a hive
    return WithRegistryStore([&](RegistryTree& tree, bool* changed) -> LONG {
        if (!FindKey(tree, *handle))
            return ERROR_KEY_DELETED;
        return DeleteKeyBelow(tree.hives[handle->hive], full, withSubKeys, changed);
    });
}

}  // namespace

LONG RegDeleteKey(HKEY key, std::string_view subKey) {
    return DeleteKey(key, subKey, false);
}

LONG RegDeleteTree(HKEY key, std::string_view subKey) {
    if (!subKey.empty())
        return DeleteKey(key, subKey, true);
    return OnKey(key, [&](const HKEY__&, RegistryKeyNode& node, bool* changed) {
        *changed = !node.subKeys.empty() || !node.values.empty();
        node.subKeys.clear();
        node.values.clear();
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, std::string* name) {
    return OnKey(key, [&](const HKEY__&, RegistryKeyNode& node, bool*) {
        if (index >= node.subKeys.size())
            return ERROR_NO_MORE_ITEMS;
        auto it = node.subKeys.begin();
        std::advance(it, index);
        if (name)
            *name = it->first;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type, std::string* data) {
    return OnKey(key, [&](const HKEY__&, RegistryKeyNode& node, bool*) {
        if (index >= node.values.size())
            return ERROR_NO_MORE_ITEMS;
        auto it = node.values.begin();
        std::advance(it, index);
        if (name)
            *name = it->first;
        if (type)
            *type = it->second.type;
        if (data)
            *data = it->second.data;
        return ERROR_SUCCESS;
    });
}
