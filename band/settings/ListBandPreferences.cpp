#include "band/settings/ListBandPreferences.h"

#include <cassert>

#include "engine/util/PathHelpers.h"
#include "engine/util/RegistryValues.h"
#include "engine/util/SystemHelpers.h"

namespace {

void ReadValue(HKEY key, std::string_view name, PanelPreferences& preferences) {
    PanelSettings& settings = preferences.settings;
    if (name == "autoGenerateViewNames") {
        preferences.autoGenerateViewNames = RegReadBool(key, name);
    } else if (name == "dontBug") {
        preferences.dontBug = RegReadBool(key, name);
    } else if (name == "storage") {
        std::string storage = RegReadString(key, name);
        if (!storage.empty())
            preferences.storageFolder = std::move(storage);
    } else if (name == "style") {
        preferences.style = RegReadString(key, name);
    } else if (name == "filter") {
        settings.filterWords = RegReadString(key, name);
    } else if (name == "sites") {
        settings.siteList = RegReadString(key, name);
    } else if (name == "depth") {
        settings.depth = RegReadInt(key, name);
    } else if (name == "wander") {
        settings.wander = RegReadBool(key, name);
    } else if (name == "maximages") {
        settings.maxImages = RegReadInt(key, name);
    } else {
        assert(false && "a value no list band keeps");
    }
}

bool WriteValue(HKEY key, std::string_view name, const PanelPreferences& preferences) {
    const PanelSettings& settings = preferences.settings;
    if (name == "autoGenerateViewNames")
        return RegWriteBool(key, name, preferences.autoGenerateViewNames);
    if (name == "dontBug")
        return RegWriteBool(key, name, preferences.dontBug);
    if (name == "storage")
        return RegWriteString(key, name, preferences.storageFolder);
    if (name == "filter")
        return RegWriteString(key, name, settings.filterWords);
    if (name == "sites")
        return RegWriteString(key, name, settings.siteList);
    if (name == "depth")
        return RegWriteInt(key, name, settings.depth);
    if (name == "wander")
        return RegWriteBool(key, name, settings.wander);
    if (name == "maximages")
        return RegWriteInt(key, name, settings.maxImages);
    assert(false && "a value no list band writes");
    return false;
}

}  // namespace

PanelPreferences ListBandDefaultPreferences(const ListBandSettingsScheme& scheme) {
    PanelPreferences preferences;
    preferences.storageFolder = JoinPath(GetModulePath(false), scheme.storageFolderName);
    return preferences;
}

bool SaveListBandSettings(const PanelPreferences& preferences,
                          const ListBandSettingsScheme& scheme) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, scheme.key, &key) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const std::string_view name : scheme.saveOrder)
        written &= WriteValue(key, name, preferences);
    RegCloseKey(key);
    return written;
}

bool LoadListBandSettings(PanelPreferences& preferences, const ListBandSettingsScheme& scheme) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, scheme.key, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        SaveListBandSettings(preferences, scheme);
        if (RegOpenKeyEx(HKEY_CURRENT_USER, scheme.key, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
    }
    for (const std::string_view name : scheme.loadOrder)
        ReadValue(key, name, preferences);
    PanelSettings& settings = preferences.settings;
    if (settings.maxImages == 0)
        settings.maxImages = 20;
    if (settings.zoomSize == 0)
        settings.zoomSize = 500;
    if (settings.thumbnailWidth == 0) {
        settings.thumbnailWidth = 100;
        settings.thumbnailHeight = 100;
    }
    RegCloseKey(key);
    return true;
}
