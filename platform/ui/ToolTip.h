// The tooltip control ("tooltips_class32") as far as the owner-drawn controls call it: a
// hidden popup owned by the window it serves, active or not, with a maximum tip width,
// handed that window's mouse messages (TTM_RELAYEVENT). It holds no tools, so it never
// shows a tip; GetToolTipState reads what it was told.
//
// Threading: the control's own thread, like every control.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/WindowMessages.h"

constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";

// Styles.
constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;

// wParam TRUE activates the control, FALSE deactivates it (it starts active).
constexpr UINT TTM_ACTIVATE = WM_USER + 1;
// lParam a const MSG* of the served window; answers 0.
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
// lParam the width in pixels (-1: no limit, the start); answers the width before.
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;

// What a tooltip control was told: whether it is active, its maximum tip width, how many
// messages were relayed to it and the last of them.
struct ToolTipState {
    bool active = false;
    int maxTipWidth = -1;
    int relayed = 0;
    HWND lastHwnd = nullptr;
    UINT lastMessage = WM_NULL;
};
// FALSE for a window that is no tooltip control (or one of another thread).
BOOL GetToolTipState(HWND tooltip, ToolTipState* state);

// Registers the class; called from the common controls' registration.
void RegisterToolTipClass();
