#include "band/settings/PanelPreferences.h"

#include "engine/util/PathHelpers.h"
#include "engine/util/RegistryValues.h"
#include "engine/util/SystemHelpers.h"

PanelPreferences::PanelPreferences() : storageFolder(JoinPath(GetModulePath(false), "storage")) {}

bool PanelPreferences::SaveSettings(std::string_view keyName) const {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, keyName, &key) != ERROR_SUCCESS)
        return false;
    bool written = true;
    written &= RegWriteBool(key, "autoGenerateViewNames", autoGenerateViewNames);
    written &= RegWriteBool(key, "dontBug", dontBug);
    written &= RegWriteString(key, "storage", storageFolder);
    written &= RegWriteInt(key, "depth", settings.depth);
    written &= RegWriteBool(key, "wander", settings.wander);
    written &= RegWriteBool(key, "cache", settings.cache);
    written &= RegWriteBool(key, "removecache", settings.removeCache);
    written &= RegWriteBool(key, "thumbnails", settings.thumbnails);
    written &= RegWriteInt(key, "minwidth", settings.minWidth);
    written &= RegWriteInt(key, "minheight", settings.minHeight);
    written &= RegWriteInt(key, "maximages", settings.maxImages);
    written &= RegWriteInt(key, "minfilesize", settings.minFileSize);
    written &= RegWriteInt(key, "thumbwidth", settings.thumbnailWidth);
    written &= RegWriteInt(key, "thumbheight", settings.thumbnailHeight);
    written &= RegWriteInt(key, "zoomsize", settings.zoomSize);
    written &= RegWriteString(key, "style", style);
    RegCloseKey(key);
    return written;
}

bool PanelPreferences::LoadSettings(std::string_view keyName) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        SaveSettings(keyName);
        if (RegOpenKeyEx(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
    }
    autoGenerateViewNames = RegReadBool(key, "autoGenerateViewNames");
    dontBug = RegReadBool(key, "dontBug");
    const std::string storage = RegReadString(key, "storage");
    if (!storage.empty())
        storageFolder = storage;
    style = RegReadString(key, "style");

    settings.depth = RegReadInt(key, "depth");
    settings.wander = RegReadBool(key, "wander");
    settings.cache = RegReadBool(key, "cache");
    settings.removeCache = RegReadBool(key, "removecache");
    settings.thumbnails = RegReadBool(key, "thumbnails");
    settings.minWidth = RegReadInt(key, "minwidth");
    settings.minHeight = RegReadInt(key, "minheight");
    settings.maxImages = RegReadInt(key, "maximages");
    settings.minFileSize = RegReadInt(key, "minfilesize");
    settings.thumbnailWidth = RegReadInt(key, "thumbwidth");
    settings.thumbnailHeight = RegReadInt(key, "thumbheight");
    settings.zoomSize = RegReadInt(key, "zoomsize");

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
