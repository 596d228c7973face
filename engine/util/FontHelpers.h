// Font helpers of the dialogs: a font handle held by its owner, recreated from another
// font or a LOGFONT, named, or chosen in the font dialog. Any thread (the dialog only
// on a user-interface thread, never with the process lock held). None throws.
#pragma once

#include <string>

#include "platform/gdi/GdiText.h"

// Recreates *target from source's LOGFONT, deleting the font *target held. Nothing
// changes when source names no font.
void CopyFont(HFONT* target, HFONT source);

// Recreates *target from font, deleting the font *target held.
void SetFontFromLogFont(HFONT* target, const LOGFONT& font);

// The face name of the font's LOGFONT; "" without a font.
std::string FontFaceName(HFONT font);

// Shows the font dialog (screen fonts) started from *font, or from the system font when
// *font names none. On OK *font is recreated from the choice and the result is true.
bool ChooseFont(HFONT* font);
