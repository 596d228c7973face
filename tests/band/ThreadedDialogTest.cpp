// The dialog with a modal loop of its own, run on a thread of its own as a browser's
// user-interface thread runs it.
#include "band/ThreadedDialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Timer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

DialogTemplate OkDialog() {
    std::string error;
    auto parsed = ParseDialogTemplate(
        "DIALOG 300 10 10 120 40\n"
        "CAPTION \"Threaded\"\n"
        "STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\n"
        "BEGIN\n"
        "  DEFPUSHBUTTON 1 \"OK\" 35 15 50 14\n"
        "END\n",
        &error);
    EXPECT_TRUE(parsed) << error;
    return parsed ? *parsed : DialogTemplate{};
}

// A message posted to the dialog as an idle phase ends, and whether it starts another
// idle phase before the thread's next timer tick.
struct IdleCase {
    const char* name;
    UINT message;
    LPARAM lParam;
    bool startsPhase;
};

constexpr IdleCase kIdleCases[] = {
    {"a mouse move", WM_MOUSEMOVE, MAKELPARAM(5, 5), true},
    {"a mouse move to the same place", WM_MOUSEMOVE, MAKELPARAM(5, 5), false},
    {"a mouse move elsewhere", WM_MOUSEMOVE, MAKELPARAM(6, 5), true},
    {"a paint", WM_PAINT, 0, false},
    {"the caret's blink", 0x0118, 0, false},
    {"any other message", WM_APP + 7, 0, true},
};

constexpr UINT_PTR kTickTimer = 5;

// Posts each case as an idle phase ends and, at the next tick, counts the idle phases
// its message started; then ends itself with OK, a click on its button.
class ScriptedDialog : public ThreadedDialog {
public:
    ScriptedDialog(HWND owner, const std::atomic<int>& ownerIdles)
        : ThreadedDialog(OkDialog(), owner), ownerIdles_(ownerIdles) {}

    std::vector<LPARAM> firstKicks;   // the idle counts of the first phase
    bool shownOnTopWhenIdle = false;  // at the first kick
    bool ownerDisabledWhenIdle = false;
    std::vector<int> phasesStarted;  // by case

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KICKIDLE) {
            const bool firstPhase = ownerIdles_ == 1;
            if (firstPhase && firstKicks.empty()) {
                shownOnTopWhenIdle = ::IsWindowVisible(hwnd) &&
                                     (GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                ownerDisabledWhenIdle = !::IsWindowEnabled(GetWindow(hwnd, GW_OWNER));
            }
            if (firstPhase)
                firstKicks.push_back(lParam);
            if (lParam < 2)
                return TRUE;
            // The phase ends here: the next case waits for the loop.
            if (!ticking_ && next_ < std::size(kIdleCases)) {
                ::PostMessage(hwnd, kIdleCases[next_].message, 0, kIdleCases[next_].lParam);
                idlesAtPost_ = ownerIdles_;
                ticking_ = true;
                SetTimer(kTickTimer, USER_TIMER_MINIMUM);
            } else if (!ticking_) {
                UserInput::ClickButton(::GetDlgItem(hwnd, IDOK));
            }
            return FALSE;
        }
        if (message == WM_TIMER && wParam == kTickTimer) {
            KillTimer(kTickTimer);
            phasesStarted.push_back(ownerIdles_ - idlesAtPost_);
            ticking_ = false;
            ++next_;
            return 0;
        }
        return ThreadedDialog::WindowProc(hwnd, message, wParam, lParam);
    }

private:
    const std::atomic<int>& ownerIdles_;
    size_t next_ = 0;
    bool ticking_ = false;
    int idlesAtPost_ = 0;
};

// Runs body on a thread of its own, with a window there that owns the dialog; waits for
// the thread to end.
template <typename Body>
void OnDialogThread(Body body) {
    std::atomic<bool> done{false};
    std::thread thread([&] {
        body();
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }, std::chrono::seconds(30)))
        << "the dialog's loop did not end";
    thread.join();
}

TEST(ThreadedDialogTest, TheLoopPlacesTheDialogOnTopKicksItsIdleAndEndsWithItsButton) {
    OnDialogThread([] {
        std::atomic<int> ownerIdles{0};
        HWND idleDialog = nullptr;
        FunctionWindow ownerHandler([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_ENTERIDLE) {
                ++ownerIdles;
                idleDialog = reinterpret_cast<HWND>(lParam);
            }
            return DefWindowProc(hwnd, message, wParam, lParam);
        });
        const HWND owner =
            CreateWindowForHandler(&ownerHandler, 0, "TestOwner", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                   300, 200, nullptr, nullptr);
        ScriptedDialog dialog(owner, ownerIdles);
        EXPECT_EQ(dialog.DoModal(), IDOK);

        EXPECT_TRUE(dialog.shownOnTopWhenIdle);
        EXPECT_TRUE(dialog.ownerDisabledWhenIdle);
        EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
        EXPECT_EQ(dialog.m_hWnd, nullptr) << "DoModal destroys the window";
        EXPECT_NE(idleDialog, nullptr);
        // Kicked with a rising count until it answered 0.
        EXPECT_EQ(dialog.firstKicks, (std::vector<LPARAM>{0, 1, 2}));
        ASSERT_EQ(dialog.phasesStarted.size(), std::size(kIdleCases));
        for (size_t i = 0; i < std::size(kIdleCases); ++i)
            EXPECT_EQ(dialog.phasesStarted[i], kIdleCases[i].startsPhase ? 1 : 0)
                << kIdleCases[i].name;
        DestroyWindow(owner);
    });
}

TEST(ThreadedDialogTest, AQuitEndsTheLoopAndIsPostedAgainForTheThreadsOwnLoop) {
    OnDialogThread([] {
        class QuittingDialog : public ThreadedDialog {
        public:
            QuittingDialog() : ThreadedDialog(OkDialog()) {}
            BOOL OnInitDialog() override {
                PostQuitMessage(4);
                return TRUE;
            }
        } dialog;
        EXPECT_EQ(dialog.DoModal(), -1);
        MSG msg;
        EXPECT_FALSE(GetMessage(&msg));
        EXPECT_EQ(msg.wParam, 4u);
    });
}

}  // namespace
