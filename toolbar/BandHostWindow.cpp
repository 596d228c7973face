#include "toolbar/BandHostWindow.h"

#include <utility>

#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

BandHostWindow::BandHostWindow(std::function<void(bool)> onFocus) : onFocus_(std::move(onFocus)) {}

BandHostWindow::~BandHostWindow() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

HWND BandHostWindow::Create(HWND parent) {
    RECT client{};
    if (!GetClientRect(parent, &client))
        return nullptr;
    hwnd_ = CreateWindowForHandler(this, 0, "WrenlowBandHost", "", WS_CHILD, client.left,
                                   client.top, client.right - client.left,
                                   client.bottom - client.top, parent, nullptr);
    return hwnd_;
}

LRESULT BandHostWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            RECT client{};
            GetClientRect(hwnd, &client);
            return toolbar_.Create(hwnd, client) ? 0 : -1;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (onFocus_)
                onFocus_(message == WM_SETFOCUS);
            break;
        case WM_COMMAND:
            // The toolbar's buttons report to their parent.
            if (toolbar_.Hwnd())
                return SendMessage(toolbar_.Hwnd(), message, wParam, lParam);
            break;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}
