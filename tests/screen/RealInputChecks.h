// What the real-input screen tests check on every window, through the harness of
// RealInput.h: the first frame's layout, typing into an edit, a screenshot.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "tests/screen/RealInput.h"

namespace RealInput {

// Waits (at most timeoutMs) for the top-level window to show, then checks its first
// frame: its client area on the screen has the model's client size, every shown control
// lies inside its parent's widget on the screen, and no text is cut (CutTexts of
// ScreenLayoutChecks.h). A failure of the test's.
void ExpectLayoutFits(HWND top, int timeoutMs);

// Clicks the edit, selects all it holds (Ctrl+A) and types text as keys; true once the
// model's edit reads text (at most timeoutMs).
bool TypeInto(HWND edit, const std::string& text, int timeoutMs);

// Saves what the window shows under build/screenshots as name.png, once a frame has
// been drawn since the call; true when the file was written.
bool SaveShot(HWND hwnd, const std::string& name);

// The place of the first element of a browser control's page that the CSS selector
// finds, in the control's widget (its top-left counts 0, 0), once it is scrolled into
// view; none when the page has no such element.
std::optional<ScreenRect> PageElementRect(HWND control, const std::string& selector, int timeoutMs);

// Clicks that element at its centre with the pointer; false when it is not there.
bool ClickPageElement(HWND control, const std::string& selector, int timeoutMs);

// Clicks the page's field, selects what it holds (Ctrl+A) and types text as keys; true
// once the page's field holds text (at most timeoutMs).
bool TypeIntoPageField(HWND control, const std::string& selector, const std::string& text,
                       int timeoutMs);

}  // namespace RealInput
