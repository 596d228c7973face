// The tooltip control's handler: what it was told lives here, on the control's thread.
#include <memory>

#include "platform/thread/Thread.h"
#include "platform/ui/ToolTip.h"
#include "platform/window/WindowTree.h"

namespace {

// Asks a tooltip control for its state (lParam a ToolTipState*); answers TRUE. Private to
// this file: GetToolTipState is the public face.
constexpr UINT kGetStateMessage = 0x03AF;

class ToolTipControl final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case TTM_ACTIVATE:
                state_.active = wParam != FALSE;
                return 0;
            case TTM_RELAYEVENT:
                if (const auto* relayed = reinterpret_cast<const MSG*>(lParam)) {
                    ++state_.relayed;
                    state_.lastHwnd = relayed->hwnd;
                    state_.lastMessage = relayed->message;
                }
                return 0;
            case TTM_SETMAXTIPWIDTH: {
                const int before = state_.maxTipWidth;
                state_.maxTipWidth = static_cast<int>(lParam);
                return before;
            }
            case TTM_GETMAXTIPWIDTH:
                return state_.maxTipWidth;
            case kGetStateMessage:
                if (auto* out = reinterpret_cast<ToolTipState*>(lParam)) {
                    *out = state_;
                    return TRUE;
                }
                return FALSE;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    ToolTipState state_{true, -1, 0, nullptr, WM_NULL};
};

}  // namespace

BOOL GetToolTipState(HWND tooltip, ToolTipState* state) {
    if (state == nullptr || GetClassName(tooltip) != TOOLTIPS_CLASS ||
        GetWindowThreadId(tooltip) != GetCurrentThreadId())
        return FALSE;
    return static_cast<BOOL>(
        SendMessage(tooltip, kGetStateMessage, 0, reinterpret_cast<LPARAM>(state)));
}

void RegisterToolTipClass() {
    RegisterWindowClass(TOOLTIPS_CLASS, [] { return std::make_unique<ToolTipControl>(); });
}
