#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "platform/thread/Thread.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Timer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

constexpr UINT WM_TEST = WM_USER + 1;

// A heap object that counts its own destruction.
struct Counted {
    explicit Counted(std::atomic<int>& freed, std::string text = "payload")
        : freed_(freed), text_(std::move(text)) {}
    ~Counted() { ++freed_; }
    std::atomic<int>& freed_;
    std::string text_;
};

// Windows on the test's own thread; the queue is emptied before each test.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE)) {
        }
    }
};

TEST_F(WindowTest, IsWindowIsSafeForDestroyedAndNeverValidHandles) {
    FunctionWindow handler(nullptr);
    HWND live = CreateMessageWindow(&handler);
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(IsWindow(live));
    EXPECT_EQ(GetWindowThreadId(live), GetCurrentThreadId());

    HWND dead = CreateMessageWindow(&handler);
    ASSERT_TRUE(DestroyWindow(dead));
    for (HWND hwnd : {dead, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x7777)}) {
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(GetWindowThreadId(hwnd), 0u);
        EXPECT_FALSE(DestroyWindow(hwnd));
    }
    EXPECT_TRUE(DestroyWindow(live));
}

TEST_F(WindowTest, HandlesAreNeverReused) {
    FunctionWindow handler(nullptr);
    std::set<HWND> seen;
    for (int i = 0; i < 200; ++i) {
        HWND hwnd = CreateMessageWindow(&handler);
        EXPECT_TRUE(seen.insert(hwnd).second);
        DestroyWindow(hwnd);
    }
    for (HWND hwnd : seen)
        EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, CreateSendsWmCreateAndARefusalDestroysTheWindow) {
    std::vector<UINT> seen;
    FunctionWindow refusing([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
        seen.push_back(message);
        if (message == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(hwnd));
        }
        return message == WM_CREATE ? -1 : 0;
    });
    EXPECT_EQ(CreateMessageWindow(&refusing), nullptr);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, DestroySendsWmDestroyFirstThenFreesQueuedPayloads) {
    std::atomic<int> freed{0};
    std::vector<UINT> seen;
    FunctionWindow handler([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
        seen.push_back(message);
        if (message == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(hwnd));
            EXPECT_EQ(freed.load(), 0) << "payloads must still be queued during WM_DESTROY";
        }
        return 0;
    });
    HWND hwnd = CreateMessageWindow(&handler);
    FunctionWindow other(nullptr);
    HWND bystander = CreateMessageWindow(&other);
    ASSERT_TRUE(PostOwnedMessage(hwnd, WM_TEST, std::make_unique<Counted>(freed), 0));
    ASSERT_TRUE(PostOwnedMessage(hwnd, WM_TEST, std::make_unique<Counted>(freed), 0));
    ASSERT_TRUE(PostMessage(bystander, WM_TEST, 5, 6));
    SetTimer(hwnd, 1, USER_TIMER_MINIMUM);

    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(freed.load(), 2);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));

    // Only the other window's message is left; the dead window's timer is gone with it.
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, bystander);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessage(&msg, PM_REMOVE));
    DestroyWindow(bystander);
}

TEST_F(WindowTest, PostToADeadHandleFailsAndFreesThePayloadAtOnce) {
    FunctionWindow handler(nullptr);
    HWND destroyed = CreateMessageWindow(&handler);
    DestroyWindow(destroyed);
    for (HWND hwnd : {destroyed, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x5151)}) {
        std::atomic<int> freed{0};
        EXPECT_FALSE(PostOwnedMessage(hwnd, WM_TEST, std::make_unique<Counted>(freed), 0));
        EXPECT_EQ(freed.load(), 1);
        EXPECT_FALSE(PostMessage(hwnd, WM_TEST, 0, 0));
    }
}

TEST_F(WindowTest, HandlerSeesThePayloadAndTheHolderFreesItAfterDispatch) {
    std::atomic<int> freed{0};
    std::string received;
    FunctionWindow handler([&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_TEST) {
            received = reinterpret_cast<Counted*>(wParam)->text_;
            EXPECT_EQ(lParam, 9);
            EXPECT_EQ(freed.load(), 0);
        }
        return 0;
    });
    HWND hwnd = CreateMessageWindow(&handler);
    ASSERT_TRUE(PostOwnedMessage(hwnd, WM_TEST, std::make_unique<Counted>(freed, "http://a/b"), 9));

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, PM_NOREMOVE));  // looking does not take it
    ASSERT_TRUE(PeekMessage(&msg, PM_REMOVE));
    EXPECT_EQ(freed.load(), 0);
    DispatchMessage(&msg);
    EXPECT_EQ(received, "http://a/b");
    EXPECT_EQ(freed.load(), 1);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, SendOnTheOwnThreadCallsTheHandlerAtOnce) {
    int calls = 0;
    FunctionWindow handler([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_TEST)
            return DefWindowProc(hwnd, message, wParam, lParam);
        ++calls;
        return static_cast<LRESULT>(wParam + lParam);
    });
    HWND hwnd = CreateMessageWindow(&handler);
    EXPECT_EQ(SendMessage(hwnd, WM_TEST, 40, 2), 42);
    EXPECT_EQ(calls, 1);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeout(hwnd, WM_TEST, 1, 2, SMTO_NORMAL, 0, &result));
    EXPECT_EQ(result, 3u);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(SendMessageTimeout(hwnd, WM_APP + 5, 1, 2, SMTO_NORMAL, 10, &result));
    EXPECT_EQ(result, 0u) << "an unknown message is answered by DefWindowProc";
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, AHandlerExceptionIsDroppedAndAnswersZero) {
    FunctionWindow handler([](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_TEST)
            throw std::runtime_error("bad page");
        return 0;
    });
    HWND hwnd = CreateMessageWindow(&handler);
    EXPECT_EQ(SendMessage(hwnd, WM_TEST, 0, 0), 0);
    PostMessage(hwnd, WM_TEST, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(&msg), 0);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, OnlyTheOwnThreadDestroysAWindow) {
    FunctionWindow handler(nullptr);
    HWND hwnd = CreateMessageWindow(&handler);
    std::atomic<int> answer{-1};
    ASSERT_TRUE(StartWorkerThread([&] { answer = DestroyWindow(hwnd); }));
    ASSERT_TRUE(WaitUntil([&] { return answer.load() != -1; })) << "worker did not run";
    EXPECT_EQ(answer.load(), FALSE);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
}

}  // namespace
