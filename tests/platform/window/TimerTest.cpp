#include "platform/window/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "platform/thread/Thread.h"
#include "platform/window/MessageLoop.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Timers of a window on the test's own thread, pumped by the test.
class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE)) {
        }
        hwnd_ = CreateMessageWindow(&window_);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd_); }

    // Takes messages until a tick comes (dispatching everything else) and returns it.
    MSG NextTick() {
        MSG msg;
        while (GetMessage(&msg) && msg.message != WM_TIMER)
            DispatchMessage(&msg);
        return msg;
    }

    // Takes every message that can be taken now and checks that expected ticks were
    // waiting: any further tick must be due to time that passed while taking them.
    void ExpectTicksWaiting(int expected, std::chrono::milliseconds period) {
        const auto start = Clock::now();
        int ticks = 0;
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE)) {
            if (msg.message == WM_TIMER)
                ++ticks;
            DispatchMessage(&msg);
        }
        const auto elapsed = Clock::now() - start;
        EXPECT_LE(ticks, expected + static_cast<int>(elapsed / period)) << "ticks piled up";
        EXPECT_GE(ticks, expected);
    }

    std::atomic<int> ticksHandled_{0};
    std::function<void()> onTick_;
    FunctionWindow window_{
        [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message != WM_TIMER)
                return DefWindowProc(hwnd, message, wParam, lParam);
            ++ticksHandled_;
            if (onTick_)
                onTick_();
            return 0;
        }};
    HWND hwnd_ = nullptr;
};

TEST_F(TimerTest, AReplacedTimerTicksOnceOnItsNewPeriod) {
    const auto start = Clock::now();
    ASSERT_EQ(SetTimer(hwnd_, 7, USER_TIMER_MINIMUM), 7u);
    ASSERT_EQ(SetTimer(hwnd_, 7, 150), 7u);
    MSG tick = NextTick();
    EXPECT_GE(Clock::now() - start, 150ms) << "the first period still ran";
    EXPECT_EQ(tick.wParam, 7u);
    DispatchMessage(&tick);
    ExpectTicksWaiting(0, 150ms);  // a second timer of the first period would be due
    EXPECT_EQ(ticksHandled_.load(), 1);
    EXPECT_TRUE(KillTimer(hwnd_, 7));
}

TEST_F(TimerTest, KillTimerStopsATickThatWaitsToBeTaken) {
    SetTimer(hwnd_, 1, USER_TIMER_MINIMUM);
    MSG msg;
    ASSERT_TRUE(WaitUntil([&] {
        return PeekMessage(&msg, PM_NOREMOVE) && msg.message == WM_TIMER;
    })) << "the timer never fell due";
    EXPECT_TRUE(KillTimer(hwnd_, 1));
    EXPECT_FALSE(PeekMessage(&msg, PM_REMOVE));
    EXPECT_FALSE(KillTimer(hwnd_, 1));
}

// A tick taken but not yet dispatched is dropped when its timer is killed or replaced.
TEST_F(TimerTest, ATakenTickOfAKilledOrReplacedTimerIsNotDelivered) {
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "killed");
        SetTimer(hwnd_, 2, USER_TIMER_MINIMUM);
        MSG tick = NextTick();
        if (replace) {
            SetTimer(hwnd_, 2, 60000);
        } else {
            KillTimer(hwnd_, 2);
        }
        DispatchMessage(&tick);
        EXPECT_EQ(ticksHandled_.load(), 0);
        KillTimer(hwnd_, 2);
    }
}

TEST_F(TimerTest, TicksDoNotPileUpWhileTheHandlerIsSlow) {
    SetTimer(hwnd_, 3, USER_TIMER_MINIMUM);
    onTick_ = [] {
        const auto until = Clock::now() + 20 * std::chrono::milliseconds(USER_TIMER_MINIMUM);
        WaitUntil([&] { return Clock::now() >= until; });
    };
    MSG tick = NextTick();
    DispatchMessage(&tick);  // twenty periods pass inside
    onTick_ = nullptr;
    ExpectTicksWaiting(1, std::chrono::milliseconds(USER_TIMER_MINIMUM));
    KillTimer(hwnd_, 3);
}

TEST_F(TimerTest, DeadWindowsHaveNoTimers) {
    FunctionWindow handler(nullptr);
    HWND other = CreateMessageWindow(&handler);
    SetTimer(other, 1, USER_TIMER_MINIMUM);
    DestroyWindow(other);
    EXPECT_EQ(SetTimer(other, 1, 100), 0u);
    EXPECT_FALSE(KillTimer(other, 1));
    EXPECT_EQ(SetTimer(hwnd_, 0, 100), 0u) << "id 0 is refused";
    EXPECT_FALSE(KillTimer(hwnd_, 9));
}

TEST(TimerThreadTest, ATimerSetFromAnotherThreadTicksOnTheWindowThread) {
    std::atomic<int> ticks{0};
    std::atomic<DWORD> tickedOn{0};
    WindowThread thread([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_TIMER && wParam == 5) {
            tickedOn = GetCurrentThreadId();
            ++ticks;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    });
    ASSERT_TRUE(thread.Start());
    ASSERT_EQ(SetTimer(thread.Hwnd(), 5, USER_TIMER_MINIMUM), 5u);
    ASSERT_TRUE(WaitUntil([&] { return ticks.load() >= 3; })) << "the timer did not tick";
    EXPECT_TRUE(KillTimer(thread.Hwnd(), 5));
    EXPECT_EQ(tickedOn.load(), thread.GetThreadId());
}

}  // namespace
