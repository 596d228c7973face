// The band's window in the browser: a plain child window of the band's site that holds
// the toolbar over its whole client area, and tells the band when the focus comes or
// goes.
//
// Threading: the band's window thread only.
#pragma once

#include <functional>

#include "platform/window/Window.h"
#include "toolbar/ExtractToolbar.h"

class BandHostWindow : public WindowHandler {
public:
    // onFocus is told true when the host or its toolbar takes the focus, false when it
    // goes.
    explicit BandHostWindow(std::function<void(bool)> onFocus);
    ~BandHostWindow() override;

    // A hidden child of parent with parent's client rectangle (WS_CHILD only); its
    // WM_CREATE makes the toolbar. Null when either cannot be made.
    HWND Create(HWND parent);
    HWND Hwnd() const { return hwnd_; }
    ExtractToolbar& Toolbar() { return toolbar_; }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void(bool)> onFocus_;
    HWND hwnd_ = nullptr;
    ExtractToolbar toolbar_;  // its window is a child of this one
};
