// The clipboard's text. There is no display-backed clipboard here: the text lives in
// this process, shared by all its threads, and is gone when the process ends. Safe on
// any thread.
#pragma once

#include <string>
#include <string_view>

// Replaces the clipboard's text with text up to its first NUL (the clipboard holds
// NUL-terminated text).
void WriteClipboardText(std::string_view text);
// The clipboard's text; "" when none was put there.
std::string ReadClipboardText();
