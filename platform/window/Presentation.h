// The presentation: an observer of the window model that shows it somewhere (a screen
// in a later layer). It is chosen once, at start-up, before the first window is made;
// without one (headless, and every test that installs none) the model runs alone.
// Nothing above platform/ asks which presentation runs.
//
// Every call comes after the change, on the thread of the window concerned, with no lock
// of the window layer held; the presentation reads what it needs through the ordinary
// calls (GetWindowText, GetWindowRect, GetWindowLong...). It must not destroy windows or
// send them messages from inside a call. Input goes the other way through
// platform/ui/UserInput.h, as the tests' calls do.
#pragma once

#include "platform/base/Types.h"

class WindowPresentation {
public:
    virtual ~WindowPresentation() = default;

    // A window of the tree (not a message window) now exists; it gets its WM_CREATE
    // next, so its children made there are announced after it.
    virtual void WindowCreated(HWND hwnd) = 0;
    // The handle ends (after WM_NCDESTROY, or with its thread).
    virtual void WindowDestroyed(HWND hwnd) = 0;
    // The window rectangle or the place in its siblings' order changed.
    virtual void WindowMoved(HWND hwnd) = 0;
    virtual void WindowShown(HWND hwnd, bool visible) = 0;
    virtual void WindowEnabled(HWND hwnd, bool enabled) = 0;
    virtual void WindowTextChanged(HWND hwnd) = 0;
    virtual void WindowStyleChanged(HWND hwnd) = 0;
    // The thread's focus moved (to null: no window).
    virtual void FocusChanged(HWND from, HWND to) = 0;
    // The window's drawing is out of date (InvalidateRect).
    virtual void WindowInvalidated(HWND hwnd) = 0;
    // The content of a control changed (list box strings or selection, check state, an
    // edit's selection...). message is the control message that changed it (LB_ADDSTRING,
    // BM_SETCHECK...) so the presentation knows what to read again.
    virtual void ControlContentChanged(HWND hwnd, UINT message) = 0;
    // The window's big or small icon changed (WM_SETICON; WM_GETICON reads them).
    virtual void WindowIconChanged(HWND) {}
};

// Installs the process's presentation (null: none). Call it once at start-up, before any
// window exists; the caller keeps the object alive for the rest of the process.
void SetWindowPresentation(WindowPresentation* presentation);
WindowPresentation* GetWindowPresentation();

// For control code: tells the presentation, if any, that a control's content changed.
void PresentControlContent(HWND hwnd, UINT message);
