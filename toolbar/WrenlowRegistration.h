// What Wrenlow writes into the registry: its value under the browser's toolbar key
// (HKEY_LOCAL_MACHINE) and its keys under HKEY_CLASSES_ROOT.
#pragma once

#include "platform/com/ServerRegistration.h"

inline constexpr const char* kBrowserToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr const char* kGorsebeckClassId = "{5DE4E98D-DE09-4BC3-8A70-A6D9A24F4EC9}";
inline constexpr const char* kWrenlowTypeLibraryId = "{FB1CCD0F-D917-435A-9E2E-4B21DDE5B68E}";

// The class keys: both ProgIDs, the CLSID key (its default value "Sollet", the band's
// friendly name), its in-process server with the apartment model and the type library,
// whose version key holds the library's name.
const RegistryScript& WrenlowRegistryScript();
