#include "band/ThreadedDialog.h"

#include <utility>

#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"

namespace {

// The system timer that blinks the caret.
constexpr UINT kCaretBlinkTimer = 0x0118;

}  // namespace

ThreadedDialog::ThreadedDialog(int templateId, HWND parent) : CDialog(templateId, parent) {}

ThreadedDialog::ThreadedDialog(DialogTemplate dialogTemplate, HWND parent)
    : CDialog(std::move(dialogTemplate), parent) {}

bool ThreadedDialog::StartsIdlePhase(const MSG& msg) {
    if (msg.message == WM_MOUSEMOVE) {
        const bool repeated =
            movedBefore_ && msg.hwnd == lastMoveWindow_ && msg.lParam == lastMovePlace_;
        movedBefore_ = true;
        lastMoveWindow_ = msg.hwnd;
        lastMovePlace_ = msg.lParam;
        return !repeated;
    }
    return msg.message != WM_PAINT && msg.message != kCaretBlinkTimer;
}

int ThreadedDialog::RunModalLoop() {
    const HWND hwnd = m_hWnd;
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    bool toBeShown = !::IsWindowVisible(hwnd);
    bool idle = true;
    LPARAM idleCount = 0;
    bool ownerTold = false;
    MSG msg;
    while (!HasEnded()) {
        if (idle && !PeekMessage(&msg, PM_NOREMOVE)) {
            if (toBeShown) {
                ::ShowWindow(hwnd, SW_SHOWNORMAL);
                toBeShown = false;
            }
            if (!ownerTold) {
                if (HWND owner = GetWindow(hwnd, GW_OWNER))
                    ::SendMessage(owner, WM_ENTERIDLE, 0, reinterpret_cast<LPARAM>(hwnd));
                ownerTold = true;
            }
            if (HasEnded() || !IsWindow(hwnd))
                break;
            if (::SendMessage(hwnd, WM_KICKIDLE, 0, idleCount++) == 0)
                idle = false;
            continue;
        }
        if (!GetMessage(&msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return -1;
        }
        if (msg.message != WM_KICKIDLE)
            DispatchMessage(&msg);
        if (!IsWindow(hwnd))
            return -1;  // destroyed under the loop
        if (StartsIdlePhase(msg)) {
            idle = true;
            idleCount = 0;
            ownerTold = false;
        }
    }
    return GetEndCode();
}
