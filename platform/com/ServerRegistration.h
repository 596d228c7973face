// Registration of an in-process server: the keys of its registry script written into
// and removed from HKEY_CLASSES_ROOT of the registry store.
//
// A script names the keys the server owns (its CLSID key, its ProgID keys, its type
// library's version key...) and the text values under them. Registering first
// deletes each owned key with everything below it, then writes the values ("%MODULE%"
// in a value becomes the module's Linux path, "%MODULEFOLDER%" its folder). The keys
// above the owned ones ("CLSID", "TypeLib"...) are shared with other servers; they
// are created when missing. Unregistering deletes each owned key with everything below
// it, then each key above it that is left with neither sub-keys nor values, so a store
// that had none of them before the registration is left as it was.
//
// Any thread; each key and value is one registry call, so another process may see a
// registration half written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

struct RegistryScriptValue {
    std::string name;  // "" for the key's default value
    std::string text;  // written as REG_SZ with its terminating NUL
};

struct RegistryScriptKey {
    std::string path;                         // under HKEY_CLASSES_ROOT, names joined with "\"
    std::vector<RegistryScriptValue> values;  // may be empty: the key alone
};

struct RegistryScript {
    std::vector<std::string> ownedKeys;   // under HKEY_CLASSES_ROOT
    std::vector<RegistryScriptKey> keys;  // each at or below an owned key
};

// Writes the script for the module at modulePath. S_OK, or SELFREG_E_CLASS when the
// store refused a key or value; the owned keys are removed again then.
HRESULT RegisterServerScript(const RegistryScript& script, std::string_view modulePath);
// Removes the script's keys as described above. S_OK also when they were not there;
// SELFREG_E_CLASS when the store refused a deletion.
HRESULT UnregisterServerScript(const RegistryScript& script);
