// What the real-input screen tests check on every window, through the harness of
// RealInput.h: the first frame's layout, typing into an edit, a screenshot.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

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

}  // namespace RealInput
