#include "programs/tallowmere/TallowmereSettings.h"

#include "engine/util/RegistryValues.h"
#include "engine/util/StringArrays.h"
#include "engine/util/StringUtilities.h"

std::string TallowmereSettings::JoinSites(const StringArray& sites) {
    std::string joined;
    for (size_t i = 0; i < sites.size(); ++i) {
        if (i > 0)
            joined += ',';
        joined += ReplaceAll(sites[i], ",", "%2C");
    }
    return joined;
}

StringArray TallowmereSettings::SplitSites(std::string_view stored) {
    StringArray sites;
    size_t start = 0;
    while (start <= stored.size()) {
        size_t end = stored.find(',', start);
        if (end == std::string_view::npos)
            end = stored.size();
        if (end > start)
            sites.emplace_back(stored.substr(start, end - start));
        start = end + 1;
    }
    return sites;
}

bool TallowmereSettings::Save() const {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const std::string_view name : TallowmereSaveOrder) {
        if (name == "storage")
            written &= RegWriteString(key, name, storageFolder);
        else if (name == "depth")
            written &= RegWriteInt(key, name, settings.depth);
        else if (name == "wander")
            written &= RegWriteBool(key, name, settings.wander);
        else if (name == "sites")
            written &= RegWriteString(key, name, JoinSites(sites));
        else if (name == "maximages")
            written &= RegWriteInt(key, name, settings.maxImages);
    }
    RegCloseKey(key);
    return written;
}

bool TallowmereSettings::Load() {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        Save();
        if (RegOpenKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
    }
    const std::string storage = RegReadString(key, "storage");
    storageFolder = storage.empty() ? std::string(TallowmereDefaultStorageFolder) : storage;

    sites = SplitSites(RegReadString(key, "sites"));
    if (sites.empty())
        sites.assign(TallowmereBuiltInSites.begin(), TallowmereBuiltInSites.end());

    settings.depth = RegReadInt(key, "depth");
    settings.wander = RegReadBool(key, "wander");
    settings.maxImages = RegReadInt(key, "maximages");
    if (settings.maxImages == 0)
        settings.maxImages = 20;
    if (settings.zoomSize == 0)
        settings.zoomSize = 500;
    if (settings.thumbnailWidth == 0) {
        settings.thumbnailWidth = 100;
        settings.thumbnailHeight = 100;
    }

    settings.wander = true;
    settings.depth = TallowmereForcedDepth;
    settings.maxImages = TallowmereForcedMaxImages;
    RegCloseKey(key);
    return true;
}
