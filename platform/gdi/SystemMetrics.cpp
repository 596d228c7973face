#include "platform/gdi/SystemMetrics.h"

#include <cstring>

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYMENU:
            return 19;
        default:
            return 0;
    }
}

BOOL SystemParametersInfo(UINT action, UINT size, void* parameter, UINT) {
    if (action != SPI_GETNONCLIENTMETRICS || parameter == nullptr ||
        size != sizeof(NONCLIENTMETRICS))
        return FALSE;
    auto* metrics = static_cast<NONCLIENTMETRICS*>(parameter);
    if (metrics->cbSize != sizeof(NONCLIENTMETRICS))
        return FALSE;
    LOGFONT font{};
    if (GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0)
        return FALSE;
    NONCLIENTMETRICS filled{};
    filled.cbSize = sizeof(NONCLIENTMETRICS);
    filled.iBorderWidth = 1;
    filled.iScrollWidth = 16;
    filled.iScrollHeight = 16;
    filled.iCaptionWidth = 18;
    filled.iCaptionHeight = 18;
    filled.lfCaptionFont = font;
    filled.lfCaptionFont.lfWeight = FW_BOLD;
    filled.iSmCaptionWidth = 12;
    filled.iSmCaptionHeight = 15;
    filled.lfSmCaptionFont = font;
    filled.iMenuWidth = 18;
    filled.iMenuHeight = GetSystemMetrics(SM_CYMENU);
    filled.lfMenuFont = font;
    filled.lfStatusFont = font;
    filled.lfMessageFont = font;
    *metrics = filled;
    return TRUE;
}
