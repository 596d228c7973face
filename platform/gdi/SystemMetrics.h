// The fixed sizes and fonts of the system's look that drawing code asks for. They never
// change while a process runs. Any thread.
#pragma once

#include "platform/gdi/GdiText.h"

constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
// Icons are 32 x 32, small icons 16 x 16, a menu bar 19 pixels high; 0 for others.
int GetSystemMetrics(int index);

struct NONCLIENTMETRICS {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};

// SPI_GETNONCLIENTMETRICS fills a NONCLIENTMETRICS whose cbSize is its size (size
// equal to it too); every font is the DEFAULT_GUI_FONT's, the caption's bold. FALSE
// for anything else.
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
BOOL SystemParametersInfo(UINT action, UINT size, void* parameter, UINT winIni);
