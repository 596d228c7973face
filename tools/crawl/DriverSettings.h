// The settings record the driver hands to its job, as a finder panel makes it.
#pragma once

#include <string>

#include "engine/extract/PanelSettings.h"
#include "tools/crawl/DriverOptions.h"

// The image band's stored settings (PanelPreferences::LoadSettings on its registry key,
// which writes the defaults on first start), with the values the panel's criteria form
// always sets (cache on, no minimum file size, view "default", thumbnail height = width,
// the storage folder), then what the command line gives. Site URL = startUrl. On the
// main thread, before the engine starts.
PanelSettings MakeDriverSettings(const DriverOptions& options, const std::string& startUrl);
