// What a window draws on and how the pointer moves over windows: each window of the tree
// has a pixel surface (DrawingSurface) the size of its client area, made on first use
// and resized to the client area on every GetDC and BeginPaint; GetDC(hwnd) and
// BeginPaint hand out its context. The surface goes with the window. A window's capture
// is its surface (SaveDcImage of GetDC(hwnd) and its client rectangle).
//
// Owner drawing: DrawOwnerDrawnControl sends the WM_DRAWITEM a control of an owner-drawn
// style (BS_OWNERDRAW) sends its parent when it must be painted, with the control's own
// surface context.
//
// Hover tracking: the model keeps where the pointer is (the window under it and the
// point, per process); a person's pointer gestures (ControlInput.h) move it.
//
// The drawing calls run on the window's thread; GetCursorPos and WindowFromPoint on any.
#pragma once

#include "platform/gdi/DrawingSurface.h"
#include "platform/ui/CommonControls.h"

// GetDC(hwnd) and ReleaseDC(hwnd, dc) (Gdi.h) give and take back a window's surface
// context: null for a dead window or one of another thread; ReleaseDC answers 1 for it.
struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;  // the whole client area
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};
// For WM_PAINT: clears the window's paint mark (ValidateRect) and gives its surface
// context. Null for a dead window or one of another thread.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// The window's surface (sized to its client area), null for a dead window or one of
// another thread. It stays the window's; tests read its pixels.
DrawingSurface* GetWindowSurface(HWND hwnd);
// Whether the window's surface was made (something drew on the window or asked for its
// context); makes none. For a screen that shows only the windows that draw.
bool WindowHasSurface(HWND hwnd);

// The ODS_ state of an owner-drawn control as the window shows it: ODS_DISABLED when it
// is disabled, ODS_FOCUS when it has the focus, plus the control's own bits (ODS_SELECTED
// while pushed, ODS_CHECKED, ODS_DEFAULT...).
UINT OwnerDrawState(HWND control, UINT ownBits);
// Sends the control's parent WM_DRAWITEM (wParam the control id) with a DRAWITEMSTRUCT of
// type ctlType (ODT_BUTTON for a button), the action (ODA_DRAWENTIRE...), the state, the
// control's surface context (with the dialog font, DEFAULT_GUI_FONT, selected while the
// parent draws) and its client rectangle, then clears the control's paint mark. Answers the
// parent's answer (TRUE when it drew); 0 for a dead control or one without a parent. A button's
// WM_PAINT with BS_OWNERDRAW calls it.
LRESULT DrawOwnerDrawnControl(HWND control, UINT ctlType, UINT action, UINT state);

// TrackMouseEvent: TME_LEAVE asks for one WM_MOUSELEAVE when the pointer leaves the
// window (posted at once when it is not over the window); TME_CANCEL with TME_LEAVE
// withdraws the request; TME_QUERY fills the record with the request in force. TME_HOVER
// is taken and never answered (the model has no pointer timing).
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

// Where the pointer is, in screen coordinates.
BOOL GetCursorPos(POINT* point);
// The deepest visible window at a screen point: top-level windows in the screen's order,
// then down through the visible children whose rectangles hold it (earlier children on
// top). Null when none.
HWND WindowFromPoint(POINT point);
