// Inside platform/ui only: what the common controls' handlers share.
#pragma once

#include <memory>
#include <string_view>

#include "platform/window/Window.h"

inline char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The width in pixels of text in the dialog font (DEFAULT_GUI_FONT); 0 when it cannot be
// measured.
int TextWidth(std::string_view text);

std::unique_ptr<WindowHandler> MakeListViewControl();
std::unique_ptr<WindowHandler> MakeTabControl();
std::unique_ptr<WindowHandler> MakeTreeViewControl();
std::unique_ptr<WindowHandler> MakeToolbarControl();

// The person's gestures on the calling thread's shown menu and on a system menu
// (Menus.cpp); platform/ui/ControlInput.h offers them.
bool ChooseShownMenuItem(unsigned id);
bool ChooseShownMenuItemByText(std::string_view text);
bool HighlightShownMenuItem(unsigned id);
bool PressShownMenuKey(char key);
bool DismissShownMenu();
bool ChooseSystemMenuItem(HWND window, unsigned id);
