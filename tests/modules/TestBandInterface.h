// The test band module's class: a vertical band whose panel is a browser control on a
// res: page. A click on its "#/panel/open" link cancels the navigation, reads the page's
// "target" field through the document model, records the command and the value under
// HKEY_CURRENT_USER "Software\Morvelle\TestBand" ("LastCommand", "LastField") and
// navigates the hosting browser to the value.
#pragma once

#include "platform/com/Guid.h"

inline constexpr CLSID CLSID_TestBand = {
    0x6F1B2C3D, 0x4E5F, 0x4A6B, {0x8C, 0x7D, 0x9E, 0x0F, 0x1A, 0x2B, 0x3C, 0x4D}};
inline constexpr const char* kTestBandTitle = "Test band";
inline constexpr const char* kTestBandKey = "Software\\Morvelle\\TestBand";
// The band's sizes as GetBandInfo gives them.
inline constexpr int kTestBandMinWidth = 180;
inline constexpr int kTestBandActualWidth = 240;
