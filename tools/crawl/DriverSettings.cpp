#include "tools/crawl/DriverSettings.h"

#include <cstdio>

#include "band/settings/PanelPreferences.h"
#include "engine/extract/StorageLayout.h"
#include "platform/registry/Registry.h"

PanelSettings MakeDriverSettings(const DriverOptions& options, const std::string& startUrl) {
    PanelPreferences preferences;
    if (!preferences.LoadSettings(ImageBandSettingsKey))
        std::fprintf(stderr,
                     "morvelle-crawl: the image band's settings could not be read or written "
                     "in the registry store %s; the defaults are used\n",
                     RegistryStorePath().c_str());
    PanelSettings settings = preferences.settings;
    settings.siteUrl = startUrl;
    settings.cache = true;
    settings.minFileSize = 0;
    settings.folder = preferences.storageFolder;
    settings.viewName = std::string(DefaultViewName);
    settings.thumbnails = false;
    settings.thumbnailHeight = settings.thumbnailWidth;
    settings.fast = false;
    if (options.depth)
        settings.depth = *options.depth;
    if (options.wander)
        settings.wander = *options.wander;
    if (options.minWidth)
        settings.minWidth = *options.minWidth;
    if (options.minHeight)
        settings.minHeight = *options.minHeight;
    if (options.maxImages)
        settings.maxImages = *options.maxImages;
    if (options.viewName)
        settings.viewName = *options.viewName;
    if (options.fast)
        settings.fast = *options.fast;
    if (options.folder)
        settings.folder = *options.folder;
    return settings;
}
