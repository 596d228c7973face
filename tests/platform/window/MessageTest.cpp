// Posting and sending between threads.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "platform/thread/Thread.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/MessageSystem.h"
#include "platform/window/Window.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT WM_BLOCK = WM_USER + 1;  // the handler waits until released
constexpr UINT WM_ASK = WM_USER + 2;    // answered with a number
constexpr UINT WM_GO = WM_USER + 3;     // the handler sends WM_ASK to the other window
constexpr UINT WM_DATA = WM_USER + 4;

struct Counted {
    explicit Counted(std::atomic<int>& freed) : freed_(freed) {}
    ~Counted() { ++freed_; }
    std::atomic<int>& freed_;
};

// A window thread whose handler can be held inside WM_BLOCK.
struct BlockableThread {
    std::atomic<bool> blocked{false};
    std::atomic<bool> release{false};
    std::atomic<int> asked{0};
    std::atomic<int> freed{0};
    std::atomic<int> data{0};
    std::atomic<DWORD> askedOn{0};
    WindowThread thread{[this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        switch (message) {
            case WM_BLOCK:
                blocked = true;
                EXPECT_TRUE(WaitUntil([this] { return release.load(); }, 20s));
                return 0;
            case WM_ASK:
                ++asked;
                askedOn = GetCurrentThreadId();
                return 42;
            case WM_DATA:
                ++data;
                return 0;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }};
};

TEST(MessageTest, PostedMessagesReachTheWindowThreadInOrder) {
    std::mutex mutex;
    std::vector<WPARAM> values;
    std::atomic<DWORD> handledOn{0};
    WindowThread thread([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_DATA)
            return DefWindowProc(hwnd, message, wParam, lParam);
        handledOn = GetCurrentThreadId();
        std::lock_guard<std::mutex> guard(mutex);
        values.push_back(wParam);
        return 0;
    });
    ASSERT_TRUE(thread.Start());
    EXPECT_EQ(GetWindowThreadId(thread.Hwnd()), thread.GetThreadId());
    for (WPARAM i = 0; i < 100; ++i)
        ASSERT_TRUE(PostMessage(thread.Hwnd(), WM_DATA, i, 0));
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> guard(mutex);
        return values.size() == 100;
    })) << "the window thread did not handle every post";
    for (WPARAM i = 0; i < 100; ++i)
        EXPECT_EQ(values[i], i);
    EXPECT_EQ(handledOn.load(), thread.GetThreadId());
    EXPECT_NE(handledOn.load(), GetCurrentThreadId());
}

TEST(MessageTest, PayloadQueuedWhenTheThreadEndsIsFreedUndelivered) {
    BlockableThread target;
    ASSERT_TRUE(target.thread.Start());
    HWND hwnd = target.thread.Hwnd();
    ASSERT_TRUE(PostMessage(hwnd, WM_BLOCK, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return target.blocked.load(); })) << "the handler never ran";
    target.thread.PostQuit();
    // Queued behind the quit: the loop ends before it.
    ASSERT_TRUE(PostOwnedMessage(hwnd, WM_DATA, std::make_unique<Counted>(target.freed), 0));
    EXPECT_EQ(target.freed.load(), 0);
    target.release = true;
    target.thread.Join();
    EXPECT_EQ(target.freed.load(), 1);
    EXPECT_EQ(target.data.load(), 0);
    EXPECT_FALSE(IsWindow(hwnd)) << "a window goes with its thread";
    std::atomic<int> late{0};
    EXPECT_FALSE(PostOwnedMessage(hwnd, WM_DATA, std::make_unique<Counted>(late), 0));
    EXPECT_EQ(late.load(), 1);
    EXPECT_FALSE(PostThreadMessage(target.thread.GetThreadId(), WM_DATA, 0, 0));
}

// Two window threads, each sending to the other from inside a handler.
TEST(MessageTest, ThreadsThatSendToEachOtherBothGetAnswers) {
    for (const bool timed : {true, false}) {
        SCOPED_TRACE(timed ? "SendMessageTimeout" : "SendMessage");
        struct Side {
            std::atomic<HWND> other{nullptr};
            std::atomic<bool> done{false};
            std::atomic<bool> answered{false};
            std::atomic<LRESULT> answer{0};
        } a, b;
        auto handler = [timed](Side& side, LRESULT mine) {
            return [&side, mine, timed](HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) -> LRESULT {
                if (message == WM_ASK)
                    return mine;
                if (message != WM_GO)
                    return DefWindowProc(hwnd, message, wParam, lParam);
                if (timed) {
                    DWORD_PTR result = 0;
                    side.answered = SendMessageTimeout(side.other.load(), WM_ASK, 0, 0, SMTO_NORMAL,
                                                       20000, &result) != 0;
                    side.answer = static_cast<LRESULT>(result);
                } else {
                    side.answer = SendMessage(side.other.load(), WM_ASK, 0, 0);
                    side.answered = true;
                }
                side.done = true;
                return 0;
            };
        };
        WindowThread threadA(handler(a, 7));
        WindowThread threadB(handler(b, 8));
        ASSERT_TRUE(threadA.Start());
        ASSERT_TRUE(threadB.Start());
        a.other = threadB.Hwnd();
        b.other = threadA.Hwnd();
        PostMessage(threadA.Hwnd(), WM_GO, 0, 0);
        PostMessage(threadB.Hwnd(), WM_GO, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return a.done && b.done; }, 60s)) << "the sends never returned";
        EXPECT_TRUE(a.answered.load());
        EXPECT_TRUE(b.answered.load());
        EXPECT_EQ(a.answer.load(), 8);
        EXPECT_EQ(b.answer.load(), 7);
    }
}

TEST(MessageTest, CrossThreadSendRunsOnTheOwnerThreadAndReturnsItsAnswer) {
    BlockableThread target;
    ASSERT_TRUE(target.thread.Start());
    EXPECT_EQ(SendMessage(target.thread.Hwnd(), WM_ASK, 0, 0), 42);
    EXPECT_EQ(target.askedOn.load(), target.thread.GetThreadId());
    DWORD_PTR result = 0;
    EXPECT_TRUE(
        SendMessageTimeout(target.thread.Hwnd(), WM_ASK, 0, 0, SMTO_NORMAL, 20000, &result));
    EXPECT_EQ(result, 42u);
    EXPECT_EQ(target.asked.load(), 2);
}

TEST(MessageTest, SendToAThreadThatDoesNotAnswerTimesOutAndTheLateAnswerIsHarmless) {
    BlockableThread target;
    ASSERT_TRUE(target.thread.Start());
    ASSERT_TRUE(PostMessage(target.thread.Hwnd(), WM_BLOCK, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return target.blocked.load(); })) << "the handler never ran";

    const auto start = std::chrono::steady_clock::now();
    DWORD_PTR result = 99;
    EXPECT_EQ(SendMessageTimeout(target.thread.Hwnd(), WM_ASK, 0, 0, SMTO_NORMAL, 50, &result), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(target.asked.load(), 0);

    // The message is still handled once the thread is free; its answer goes nowhere.
    target.release = true;
    ASSERT_TRUE(WaitUntil([&] { return target.asked.load() == 1; })) << "the late send was lost";
    EXPECT_EQ(SendMessage(target.thread.Hwnd(), WM_ASK, 0, 0), 42);
}

TEST(MessageTest, SendToADeadHandleReturnsZeroAtOnce) {
    BlockableThread target;
    ASSERT_TRUE(target.thread.Start());
    HWND hwnd = target.thread.Hwnd();
    target.thread.PostQuit();
    target.thread.Join();
    const auto start = std::chrono::steady_clock::now();
    DWORD_PTR result = 99;
    EXPECT_EQ(SendMessageTimeout(hwnd, WM_ASK, 0, 0, SMTO_NORMAL, 60000, &result), 0);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(SendMessage(hwnd, WM_ASK, 0, 0), 0);
    EXPECT_EQ(SendMessage(reinterpret_cast<HWND>(0x4242), WM_ASK, 0, 0), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
}

// A thread that ends with a send still waiting for it lets the sender go with 0.
TEST(MessageTest, SendStillQueuedWhenTheThreadEndsReturnsZero) {
    std::atomic<bool> exiting{false};
    class EndingThread : public WindowThread {
    public:
        EndingThread(std::atomic<bool>& exiting)
            : WindowThread([](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                  return message == WM_ASK ? 42 : DefWindowProc(hwnd, message, wParam, lParam);
              }),
              exiting_(exiting) {}
        int ExitInstance() override {
            exiting_ = true;
            pollfd watch{GetMessageQueueFd(), POLLIN, 0};
            poll(&watch, 1, 20000);  // returns when the send has arrived
            return WinThread::ExitInstance();
        }
        std::atomic<bool>& exiting_;
    } thread(exiting);
    ASSERT_TRUE(thread.Start());
    thread.PostQuit();
    ASSERT_TRUE(WaitUntil([&] { return exiting.load(); })) << "the loop did not end";
    EXPECT_EQ(SendMessage(thread.Hwnd(), WM_ASK, 0, 0), 0);
}

TEST(MessageTest, SentMessagesAreServedBeforePostedOnes) {
    std::vector<UINT> order;
    FunctionWindow handler([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        order.push_back(message);
        return message == WM_ASK ? 42 : 0;
    });
    HWND hwnd = CreateMessageWindow(&handler);
    ASSERT_TRUE(PostMessage(hwnd, WM_DATA, 0, 0));
    std::atomic<LRESULT> answer{0};
    std::atomic<bool> answered{false};
    ASSERT_TRUE(StartWorkerThread([&] {
        answer = SendMessage(hwnd, WM_ASK, 0, 0);
        answered = true;
    }));
    const std::shared_ptr<ThreadMessageQueue> queue = CurrentThreadQueue();
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        return !queue->sent.empty();
    })) << "the send never arrived";

    MSG msg;
    ASSERT_TRUE(GetMessage(&msg));
    EXPECT_EQ(msg.message, WM_DATA);
    DispatchMessage(&msg);
    EXPECT_EQ(order, (std::vector<UINT>{WM_CREATE, WM_ASK, WM_DATA}));
    ASSERT_TRUE(WaitUntil([&] { return answered.load(); })) << "the sender was not let go";
    EXPECT_EQ(answer.load(), 42);
    DestroyWindow(hwnd);
}

}  // namespace
