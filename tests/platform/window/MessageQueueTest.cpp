// The queue of the test's own thread: waiting, peeking, quitting and the wake descriptor.
#include "platform/window/MessageLoop.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "platform/thread/Thread.h"
#include "platform/window/Timer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

constexpr UINT WM_DATA = WM_USER + 1;

bool Readable(int fd, int timeoutMs) {
    pollfd watch{fd, POLLIN, 0};
    return poll(&watch, 1, timeoutMs) == 1 && (watch.revents & POLLIN) != 0;
}

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE)) {
        }
        hwnd_ = CreateMessageWindow(&window_);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd_); }

    std::vector<UINT> seen_;
    std::vector<WPARAM> values_;
    FunctionWindow window_{[this](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        seen_.push_back(message);
        values_.push_back(wParam);
        return 0;
    }};
    HWND hwnd_ = nullptr;
};

TEST_F(MessageQueueTest, QueueFdBecomesReadableWhenAMessageIsPosted) {
    const int fd = GetMessageQueueFd();
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(Readable(fd, 0));
    ASSERT_TRUE(StartWorkerThread([hwnd = hwnd_] { PostMessage(hwnd, WM_DATA, 3, 0); }));
    ASSERT_TRUE(Readable(fd, 20000)) << "a post from another thread did not wake the queue";
    EXPECT_TRUE(ServePendingMessages(nullptr));
    EXPECT_EQ(seen_, (std::vector<UINT>{WM_CREATE, WM_DATA}));
    EXPECT_FALSE(Readable(fd, 0)) << "the descriptor stays readable with nothing pending";
}

TEST_F(MessageQueueTest, QueueFdBecomesReadableWhenATimerIsDue) {
    const int fd = GetMessageQueueFd();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SetTimer(hwnd_, 4, 40), 4u);
    ASSERT_TRUE(Readable(fd, 20000)) << "a due timer did not wake the queue";
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40))
        << "the descriptor woke before the timer was due";
    EXPECT_TRUE(ServePendingMessages(nullptr));
    ASSERT_EQ(seen_.back(), static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(values_.back(), 4u);
    EXPECT_TRUE(KillTimer(hwnd_, 4));
    EXPECT_FALSE(Readable(fd, 0));
}

TEST_F(MessageQueueTest, QuitComesAfterThePostedMessagesWithItsCode) {
    PostMessage(hwnd_, WM_DATA, 1, 0);
    PostQuitMessage(5);
    PostMessage(hwnd_, WM_DATA, 2, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(GetMessage(&msg));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(GetMessage(&msg));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessage(&msg, PM_REMOVE));
}

TEST_F(MessageQueueTest, PeekMessageDoesNotWaitAndNoRemoveLeavesTheMessage) {
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, PM_REMOVE));
    PostMessage(hwnd_, WM_DATA, 8, 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(PeekMessage(&msg, PM_NOREMOVE));
        EXPECT_EQ(msg.wParam, 8u);
    }
    ASSERT_TRUE(PeekMessage(&msg, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(&msg, PM_REMOVE));
}

TEST_F(MessageQueueTest, ServePendingDispatchesUpToAQuit) {
    const int fd = GetMessageQueueFd();
    PostMessage(hwnd_, WM_DATA, 1, 0);
    PostQuitMessage(3);
    EXPECT_TRUE(Readable(fd, 0));
    int code = -1;
    EXPECT_FALSE(ServePendingMessages(&code));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(seen_, (std::vector<UINT>{WM_CREATE, WM_DATA}));
    EXPECT_FALSE(Readable(fd, 0));
}

// A WM_QUIT posted to another thread ends its loop after the messages posted before it.
TEST(MessageQueueThreadTest, QuitPostedToAnotherThreadEndsItsLoopInOrder) {
    std::atomic<int> handled{0};
    WindowThread thread([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DATA)
            ++handled;
        return DefWindowProc(hwnd, message, wParam, lParam);
    });
    ASSERT_TRUE(thread.Start());
    for (int i = 0; i < 10; ++i)
        PostMessage(thread.Hwnd(), WM_DATA, 0, 0);
    ASSERT_TRUE(PostThreadMessage(thread.GetThreadId(), WM_QUIT, 6, 0));
    thread.Join();
    EXPECT_EQ(handled.load(), 10);
    EXPECT_EQ(thread.GetExitCode(), 6);
    EXPECT_FALSE(PostThreadMessage(thread.GetThreadId(), WM_DATA, 0, 0));
}

}  // namespace
