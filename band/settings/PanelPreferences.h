// What a band's panel keeps in the registry: its settings record and four values of its
// own, under one key of HKEY_CURRENT_USER, one text value per name.
#pragma once

#include <string>
#include <string_view>

#include "engine/extract/PanelSettings.h"

// The image finder band's key.
inline constexpr std::string_view ImageBandSettingsKey = "Software\\Morvelle\\Brisquel";

struct PanelPreferences {
    // Defaults: the record's own; the storage folder "storage" in the folder of the
    // running module (the web browser that hosts the band); style "blue"; view names
    // asked for (autoGenerateViewNames false); dontBug true.
    PanelPreferences();

    PanelSettings settings;
    std::string storageFolder;
    std::string style = "blue";
    bool autoGenerateViewNames = false;
    bool dontBug = true;

    // Reads the values under the key (a path below HKEY_CURRENT_USER). A key that is
    // missing is first written with the current values. A missing value reads as false,
    // 0 or ""; then a maxImages of 0 becomes 20, a zoomSize of 0 becomes 500, and a
    // thumbnail width of 0 makes the thumbnail box 100 x 100. An empty "storage" keeps
    // the storage folder. False, everything unchanged, when the key can be neither
    // opened nor created (a later load tries again). Called on the panel's thread, with
    // or without the process lock: the registry takes no other lock than its own.
    bool LoadSettings(std::string_view keyName);
    // Writes the sixteen values under the key, creating it when missing. False when the
    // key cannot be opened or created, or a value could not be written (the others are
    // written all the same).
    bool SaveSettings(std::string_view keyName) const;
};
