#include "engine/browser/UiThread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "engine/browser/Browser.h"
#include "engine/browser/UiThreadCallback.h"
#include "platform/thread/Thread.h"
#include "platform/window/Window.h"
#include "tests/support/ScriptedLoaders.h"
#include "tests/support/Wait.h"

namespace {

// Records what a UI thread tells it, and on which thread.
class RecordingCallback : public UiThreadCallback {
public:
    explicit RecordingCallback(bool answer) : answer_(answer) {}

    bool OnThreadReady(UiThread* thread) override {
        readyThread = GetCurrentThreadId();
        readyView = thread->GetView();
        frameWindow = thread->GetFrame().GetSafeHwnd();
        return answer_;
    }
    void OnThreadEnded(UiThread* thread) override {
        endedThread = GetCurrentThreadId();
        endedWithView = thread->GetView() != nullptr;
        viewWindowAliveAtEnd =
            thread->GetView() != nullptr && IsWindow(thread->GetView()->GetSafeHwnd());
        ++ends;
    }

    std::atomic<DWORD> readyThread{0};
    std::atomic<CHtmlView*> readyView{nullptr};
    std::atomic<HWND> frameWindow{nullptr};
    std::atomic<DWORD> endedThread{0};
    std::atomic<bool> endedWithView{false};
    std::atomic<bool> viewWindowAliveAtEnd{false};
    std::atomic<int> ends{0};

private:
    const bool answer_;
};

std::unique_ptr<CObject> MakeNothing() {
    return nullptr;
}
const CRuntimeClass kNoViewClass{"Nothing", &MakeNothing};

}  // namespace

TEST(BrowserUiThreadTest, TheFrameCreatesTheViewAndTheCallbackHearsOnTheNewThread) {
    ScriptedLoaders loaders;
    RecordingCallback callback(true);
    std::unique_ptr<UiThread> thread = UiThread::Create(&Browser::classBrowser, &callback);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return callback.readyView.load() != nullptr; }));
    EXPECT_EQ(callback.readyThread.load(), thread->GetThreadId());
    EXPECT_NE(callback.readyThread.load(), GetCurrentThreadId());
    auto* browser = dynamic_cast<Browser*>(thread->GetView());
    ASSERT_NE(browser, nullptr) << "a view of the class given";
    EXPECT_EQ(callback.readyView.load(), browser);
    EXPECT_EQ(browser->GetParentHwnd(), callback.frameWindow.load());
    EXPECT_EQ(browser->GetControlId(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(GetWindowThreadId(browser->GetSafeHwnd()), thread->GetThreadId());
    EXPECT_EQ(thread->GetFrame().GetWindowName(), "control threaded ui view");
    EXPECT_EQ(thread->GetFrame().GetStyle(), 0xC0CF0000u);
    EXPECT_TRUE(loaders.AllNavigatedUrls().empty()) << "a new browser loads nothing";

    const DWORD id = thread->GetThreadId();
    thread.reset();
    EXPECT_EQ(callback.ends.load(), 1);
    EXPECT_EQ(callback.endedThread.load(), id);
    EXPECT_TRUE(callback.viewWindowAliveAtEnd.load()) << "told before the view goes";
    EXPECT_EQ(loaders.Count(), 0u) << "the view's loader ended with the thread";
}

TEST(BrowserUiThreadTest, ACallbackThatRefusesEndsTheThread) {
    ScriptedLoaders loaders;
    RecordingCallback callback(false);
    std::unique_ptr<UiThread> thread = UiThread::Create(&Browser::classBrowser, &callback);
    ASSERT_NE(thread, nullptr);
    thread->Join();  // ends by itself
    EXPECT_EQ(callback.ends.load(), 1);
    EXPECT_TRUE(callback.endedWithView.load());
    EXPECT_FALSE(IsWindow(thread->GetView()->GetSafeHwnd()));
}

TEST(BrowserUiThreadTest, AFrameWithoutItsViewEndsTheThreadUnready) {
    for (const bool noLoader : {false, true}) {
        SCOPED_TRACE(noLoader ? "the view's loader cannot be made" : "no view");
        ScopedPageLoaderFactory none([](PageLoadSink&) { return std::unique_ptr<PageLoader>(); });
        RecordingCallback callback(true);
        std::unique_ptr<UiThread> thread =
            UiThread::Create(noLoader ? &Browser::classBrowser : &kNoViewClass, &callback);
        ASSERT_NE(thread, nullptr);
        thread->Join();
        EXPECT_EQ(callback.readyView.load(), nullptr) << "never ready";
        EXPECT_EQ(callback.ends.load(), 1);
        EXPECT_FALSE(callback.endedWithView.load());
        EXPECT_EQ(thread->GetView(), nullptr);
    }
}

TEST(BrowserUiThreadTest, TheBaseCallbackRefuses) {
    UiThreadCallback callback;
    EXPECT_FALSE(callback.OnThreadReady(nullptr));
}
