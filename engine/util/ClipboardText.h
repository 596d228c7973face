// Text on the clipboard (platform/shell/Clipboard.h: this process's own clipboard).
#pragma once

#include <string>
#include <string_view>

// Puts text, up to its first NUL, on the clipboard in place of what was there.
void SetClipboardText(std::string_view text);
// The clipboard's text; "" when there is none.
std::string GetClipboardText();
