// The registry: a per-user store of keys and typed values, in the platform's shape.
//
// Three hives: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. Keys hold
// sub-keys and values; key and value names compare ignoring ASCII case, as the
// platform's do; the empty value name is the key's default value. Values keep their
// type and their exact bytes: a REG_SZ written with 4 bytes and no NUL reads back as
// those 4 bytes, a REG_BINARY of length 0 exists and is empty.
//
// The store lives in one file, $MORVELLE_CONFIG_HOME/registry (else
// $XDG_CONFIG_HOME/morvelle/registry, else ~/.config/morvelle/registry), read again
// at the next call when the variables change. Every call sees what other threads and
// processes wrote before it (a file lock guards each call; changes are written to a
// temporary file and renamed). Lines of the store file that cannot be read are set
// aside in a side file (registry.corrupt-<date>-<time>) and reported, and the rest of
// the store is kept; a file that is no store at all is moved aside under that name and
// reported, never overwritten silently. The file's format:
// docs/internals/registry-store.md.
//
// A handle names its key by path: a handle whose key was deleted answers
// ERROR_KEY_DELETED (or names the key again once one of that path is re-created).
// A handle opened without KEY_SET_VALUE cannot set or delete values, one without
// KEY_CREATE_SUB_KEY cannot create sub-keys (ERROR_ACCESS_DENIED). A stale or unknown
// handle answers ERROR_INVALID_HANDLE. All calls are safe on any thread.
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
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr LONG ERROR_WRITE_FAULT = 29;    // the store file could not be written
constexpr LONG ERROR_KEY_DELETED = 1018;  // the handle's key no longer exists

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Sub-key paths are names joined with "\"; an empty path names the key itself; an
// empty name inside the path (a leading or doubled "\") is ERROR_INVALID_PARAMETER.

// Opens a key with full access, creating it and any missing keys on the way.
// disposition (optional) tells which happened. A key lies at most 512 levels below its
// hive, as on the platform: a deeper one is ERROR_INVALID_PARAMETER.
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
// Deletes a key with all its sub-keys and values; with an empty subKey, empties the
// key itself (its sub-keys and values go, the key stays). A hive is never deleted.
LONG RegDeleteTree(HKEY key, std::string_view subKey);

// Enumeration by index, in name order ignoring case; ERROR_NO_MORE_ITEMS past the end.
// Any out-parameter may be null.
LONG RegEnumKeyEx(HKEY key, DWORD index, std::string* name);
LONG RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type, std::string* data);

// The Linux path of the store file.
std::string RegistryStorePath();
// The last problem met with the store file, "" when none: a malformed file moved
// aside, or a file that could not be read or written. Each report also leaves a trace
// line on the channel "registry".
std::string RegistryStoreReport();
