#include "engine/util/ClipboardText.h"

#include "platform/shell/Clipboard.h"

void SetClipboardText(std::string_view text) {
    WriteClipboardText(text);
}

std::string GetClipboardText() {
    return ReadClipboardText();
}
