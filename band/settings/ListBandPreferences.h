// What the list bands (the file finder band and the MP3 finder band) keep in the
// registry: the image band's PanelPreferences record, fewer of its values, each band
// under its own key and with its own storage folder. A scheme names the key, the
// storage folder and the values in the order they are read and written.
#pragma once

#include <span>
#include <string_view>

#include "band/settings/PanelPreferences.h"

inline constexpr std::string_view FileBandSettingsKey = "Software\\Morvelle\\Ferncastle";
inline constexpr std::string_view Mp3BandSettingsKey = "Software\\Morvelle\\Harrowby";

// The value names a scheme may hold: "autoGenerateViewNames", "dontBug", "storage",
// "style" (read only: no list band writes it), "filter" (the filter words), "sites" (the
// site list), "depth", "wander", "maximages".
struct ListBandSettingsScheme {
    std::string_view key;
    // Joined to the folder of the running module for the default storage folder.
    std::string_view storageFolderName;
    std::span<const std::string_view> loadOrder;
    std::span<const std::string_view> saveOrder;
};

inline constexpr std::string_view FileBandLoadOrder[] = {"autoGenerateViewNames",
                                                         "dontBug",
                                                         "storage",
                                                         "style",
                                                         "filter",
                                                         "sites",
                                                         "depth",
                                                         "wander",
                                                         "maximages"};
inline constexpr std::string_view FileBandSaveOrder[] = {"autoGenerateViewNames",
                                                         "dontBug",
                                                         "storage",
                                                         "filter",
                                                         "sites",
                                                         "depth",
                                                         "wander",
                                                         "maximages"};
inline constexpr std::string_view Mp3BandLoadOrder[] = {
    "autoGenerateViewNames", "dontBug", "storage", "style", "depth", "wander", "maximages"};
inline constexpr std::string_view Mp3BandSaveOrder[] = {
    "autoGenerateViewNames", "dontBug", "storage", "depth", "wander", "maximages"};

inline constexpr ListBandSettingsScheme FileBandSettingsScheme{
    FileBandSettingsKey, "fileStorage", FileBandLoadOrder, FileBandSaveOrder};
inline constexpr ListBandSettingsScheme Mp3BandSettingsScheme{Mp3BandSettingsKey, "mp3Storage",
                                                              Mp3BandLoadOrder, Mp3BandSaveOrder};

// The defaults before the first save: those of PanelPreferences, with the storage folder
// the scheme's folder beside the running module.
PanelPreferences ListBandDefaultPreferences(const ListBandSettingsScheme& scheme);

// Reads the scheme's values, in its load order, under its key. A key that is missing is
// first written with the current values. A missing value reads as false, 0 or "" ("style"
// too); an empty "storage" keeps the storage folder. Then a maxImages of 0 becomes 20, a
// zoomSize of 0 becomes 500, and a thumbnail width of 0 makes the box 100 x 100. False,
// everything unchanged, when the key can be neither opened nor created. The panel's
// thread, with or without the process lock.
bool LoadListBandSettings(PanelPreferences& preferences, const ListBandSettingsScheme& scheme);
// Writes the scheme's values, in its save order, under its key, creating it when
// missing. False when the key cannot be created or a value could not be written (the
// others are written all the same).
bool SaveListBandSettings(const PanelPreferences& preferences,
                          const ListBandSettingsScheme& scheme);
