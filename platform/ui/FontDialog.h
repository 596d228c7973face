// The font dialog goes through a service, as the file dialogs do. The default service
// has no display to show it on: it answers at once as a cancelled dialog. Tests install
// a scripted service.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiText.h"

constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;

struct CHOOSEFONT {
    DWORD lStructSize;
    HWND hwndOwner;
    LOGFONT* lpLogFont;  // the font shown first (with CF_INITTOLOGFONTSTRUCT); the answer
    DWORD Flags;
};

class FontDialogService {
public:
    virtual ~FontDialogService() = default;
    // Called on the thread that asks; font holds the font to start from. True with the
    // chosen font in *font; false when cancelled (*font unchanged).
    virtual bool ChooseFont(HWND owner, DWORD flags, LOGFONT* font) = 0;
};

// Installs a service for the rest of the process (null restores the default). The
// caller keeps ownership and keeps it alive while installed.
void SetFontDialogService(FontDialogService* service);

// Shows the dialog: TRUE with the chosen font in *choice->lpLogFont, FALSE when cancelled
// or for a bad structure (lStructSize must be sizeof(CHOOSEFONT), lpLogFont set).
BOOL ChooseFont(CHOOSEFONT* choice);
