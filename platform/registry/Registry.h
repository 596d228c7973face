// The registry: a per-user store of keys and typed values, in the platform's shape.
//
// Three hives: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. Keys hold
// sub-keys and values; key and value names compare ignoring ASCII case, as the
// platform's do; the empty value name is the key's default value. Values keep their
// type and their exact bytes: a REG_SZ written with 4 bytes and no NUL reads back as
// those 4 bytes, a REG_BINARY of length 0 exists and is empty.
//
// The store lives in one file, $MORVELLE_CONFIG_HOME/registry (else
// $XDG_CONFIG_HOME/morvelle/registry, else ~/.config/morvelle/registry). Every call
// sees what other threads and processes wrote before it (a file lock guards each
// call; changes are written to a temporary file and renamed). A store file that cannot
// be read is moved aside under another name and reported, never overwritten silently.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

struct HKEY__;
using HKEY = HKEY__*;

extern HKEY const HKEY_CLASSES_ROOT;
extern HKEY const HKEY_CURRENT_USER;
extern HKEY const HKEY_LOCAL_MACHINE;

using REGSAM = DWORD;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens a key, creating it and any missing keys on the way. disposition (optional)
// tells which happened.
LONG RegCreateKeyEx(HKEY key, std::string_view subKey, HKEY* result, DWORD* disposition = nullptr);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it is missing.
LONG RegOpenKeyEx(HKEY key, std::string_view subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCloseKey(HKEY key);

// The platform's query: with data null, *size receives the value's length; with a
// buffer too small, ERROR_MORE_DATA and *size the length needed. type may be null.
LONG RegQueryValueEx(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size);
// The whole value at once, of any length.
LONG RegQueryValueBytes(HKEY key, std::string_view name, DWORD* type, std::string* data);
LONG RegSetValueEx(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValue(HKEY key, std::string_view name);

// Deletes a key that has no sub-keys; ERROR_ACCESS_DENIED when it has some.
LONG RegDeleteKey(HKEY key, std::string_view subKey);
// Deletes a key with all its sub-keys and values.
LONG RegDeleteTree(HKEY key, std::string_view subKey);

// Enumeration by index, in name order; ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKeyEx(HKEY key, DWORD index, std::string* name);
LONG RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type, std::string* data);

// The Linux path of the store file.
std::string RegistryStorePath();
