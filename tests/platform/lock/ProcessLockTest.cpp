#include "platform/lock/ProcessLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/thread/Thread.h"
#include "platform/window/Window.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

using namespace std::chrono_literals;

TEST(ProcessLockTest, IsReentrantAndCountsTheHoldsOfItsThread) {
    EXPECT_EQ(ProcessLockDepth(), 0);
    {
        ProcessLockGuard outer;
        EXPECT_EQ(ProcessLockDepth(), 1);
        {
            ProcessLockGuard inner;  // does not block
            EXPECT_EQ(ProcessLockDepth(), 2);
        }
        EXPECT_EQ(ProcessLockDepth(), 1);
    }
    EXPECT_EQ(ProcessLockDepth(), 0);
}

TEST(ProcessLockTest, ExcludesOtherThreadsUntilTheLastHoldIsGivenBack) {
    std::atomic<bool> waiting{false};
    std::atomic<bool> acquired{false};
    std::atomic<bool> finished{false};
    AcquireProcessLock();
    AcquireProcessLock();
    ASSERT_TRUE(StartWorkerThread([&] {
        waiting = true;
        ProcessLockGuard guard;
        acquired = true;
        EXPECT_EQ(ProcessLockDepth(), 1);
        finished = true;
    }));
    ASSERT_TRUE(WaitUntil([&] { return waiting.load(); }));
    EXPECT_FALSE(WaitUntil([&] { return acquired.load(); }, 50ms));
    ReleaseProcessLock();
    EXPECT_FALSE(WaitUntil([&] { return acquired.load(); }, 20ms)) << "one hold is still there";
    ReleaseProcessLock();
    EXPECT_TRUE(WaitUntil([&] { return finished.load(); })) << "the lock was not given back";
}

TEST(ProcessLockTest, GuardsSharedDataAcrossThreads) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    int shared = 0;  // guarded by the process lock only
    std::atomic<int> done{0};
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_TRUE(StartWorkerThread([&] {
            for (int i = 0; i < kRounds; ++i) {
                ProcessLockGuard outer;
                ProcessLockGuard inner;
                ++shared;
            }
            ++done;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return done.load() == kThreads; }, 60s));
    ProcessLockGuard guard;
    EXPECT_EQ(shared, kThreads * kRounds);
}

TEST(ProcessLockTest, AThreadEndingWithTheLockHeldGivesItBack) {
    std::atomic<bool> ended{false};
    std::atomic<bool> acquired{false};
    ASSERT_TRUE(StartWorkerThread([&] {
        AcquireProcessLock();
        AcquireProcessLock();
        ended = true;
    }));
    ASSERT_TRUE(WaitUntil([&] { return ended.load(); }));
    ASSERT_TRUE(StartWorkerThread([&] {
        ProcessLockGuard guard;
        acquired = true;
    }));
    EXPECT_TRUE(WaitUntil([&] { return acquired.load(); })) << "the lock stayed taken";
}

// Debug builds (the sanitizer builds among them) stop a blocking wait on another thread
// made with the lock held. Other builds assert nothing of the rule: the test checks that
// the sends made with the lock held are answered (a join is not tried there, since the
// ending thread may need the lock).
TEST(ProcessLockDeathTest, BlockingWaitsOnAnotherThreadRefuseTheHeldLock) {
#if defined(NDEBUG)
    WindowThread other([](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_USER ? 42 : DefWindowProc(hwnd, message, wParam, lParam);
    });
    ASSERT_TRUE(other.Start());
    {
        ProcessLockGuard guard;
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeout(other.Hwnd(), WM_USER, 0, 0, SMTO_NORMAL, 1000, &result), 0);
        EXPECT_EQ(result, 42u);
        EXPECT_EQ(SendMessage(other.Hwnd(), WM_USER, 0, 0), 42);
    }
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            WindowThread other(nullptr);
            other.Start();
            ProcessLockGuard guard;
            DWORD_PTR result = 0;
            SendMessageTimeout(other.Hwnd(), WM_USER, 0, 0, SMTO_NORMAL, 1000, &result);
        },
        "process lock is held");
    EXPECT_DEATH(
        {
            WindowThread other(nullptr);
            other.Start();
            ProcessLockGuard guard;
            SendMessage(other.Hwnd(), WM_USER, 0, 0);
        },
        "process lock is held");
    EXPECT_DEATH(
        {
            WindowThread other(nullptr);
            other.Start();
            other.PostQuit();
            ProcessLockGuard guard;
            other.Join();
        },
        "process lock is held");
#endif
}

}  // namespace
