#include "platform/thread/WinThread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "platform/thread/Thread.h"
#include "platform/window/MessageLoop.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

int OwnNiceness() {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

int MainNiceness() {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
}

size_t ThreadsOfTheProcess() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// A thread-local whose destructor takes a while, as a thread's message queue does when
// it closes its windows on the thread's way out.
std::atomic<int> slowFarewellsEnded{0};
struct SlowFarewell {
    ~SlowFarewell() {
        Sleep(30);
        ++slowFarewellsEnded;
    }
};

// Records where and whether each step ran.
class RecordingThread : public WinThread {
public:
    explicit RecordingThread(bool initAnswer) : initAnswer_(initAnswer) {}
    ~RecordingThread() override {
        PostQuit();
        Join();
    }
    bool InitInstance() override {
        initOn = GetCurrentThreadId();
        niceness = OwnNiceness();
        hwnd = CreateMessageWindow(&window_);
        return initAnswer_;
    }
    int Run() override {
        ranLoop = true;
        return WinThread::Run();
    }
    int ExitInstance() override {
        exitOn = GetCurrentThreadId();
        return WinThread::ExitInstance() + 100;
    }

    std::atomic<DWORD> initOn{0};
    std::atomic<DWORD> exitOn{0};
    std::atomic<bool> ranLoop{false};
    std::atomic<int> niceness{0};
    std::atomic<HWND> hwnd{nullptr};

private:
    bool initAnswer_;
    FunctionWindow window_{nullptr};
};

TEST(WinThreadTest, QuitsAndJoinsWithTheExitCodeOfExitInstance) {
    RecordingThread thread(true);
    EXPECT_EQ(thread.GetThreadId(), 0u);
    ASSERT_TRUE(thread.CreateThread());
    EXPECT_FALSE(thread.CreateThread()) << "a thread object starts once";
    const DWORD id = thread.GetThreadId();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    thread.PostQuit(4);
    thread.Join();
    EXPECT_TRUE(thread.ranLoop.load());
    EXPECT_EQ(thread.initOn.load(), id);
    EXPECT_EQ(thread.exitOn.load(), id);
    EXPECT_EQ(thread.GetExitCode(), 104);
    EXPECT_FALSE(IsWindow(thread.hwnd.load()));
    thread.Join();  // a second join is harmless
    thread.PostQuit();
}

TEST(WinThreadTest, InitInstanceFalseEndsTheThreadWithoutTheLoop) {
    RecordingThread thread(false);
    ASSERT_TRUE(thread.CreateThread());
    thread.Join();  // ends by itself: no quit was posted
    EXPECT_FALSE(thread.ranLoop.load());
    EXPECT_EQ(thread.exitOn.load(), thread.GetThreadId());
    EXPECT_EQ(thread.GetExitCode(), 100);
}

TEST(WinThreadTest, AQuitPostedRightAfterTheStartIsNotLost) {
    for (int i = 0; i < 20; ++i) {
        RecordingThread thread(true);
        ASSERT_TRUE(thread.CreateThread());
        thread.PostQuit(1);
        thread.Join();
        EXPECT_EQ(thread.GetExitCode(), 101);
    }
}

TEST(WinThreadTest, JoiningAThreadNeverStartedReturnsAtOnce) {
    WinThread thread;
    thread.Join();
    thread.PostQuit();
    EXPECT_EQ(thread.GetThreadId(), 0u);
}

// Debug builds (the sanitizer builds among them) stop the bug. Other builds quit and
// join the thread in the destructor as a last resort: the test checks that the thread
// has ended (its queue is gone) once the object is.
TEST(WinThreadTest, DestroyingAStartedThreadThatWasNotJoinedIsCaught) {
#if defined(NDEBUG)
    DWORD id = 0;
    {
        WinThread thread;
        ASSERT_TRUE(thread.CreateThread());
        id = thread.GetThreadId();
        ASSERT_TRUE(PostThreadMessage(id, WM_USER, 0, 0));
    }
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0)) << "the thread still runs";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            WinThread thread;
            thread.CreateThread();
        },
        "destroyed before it was joined");
#endif
}

TEST(WorkerThreadTest, RunsItsBodyAndSurvivesAnException) {
    std::atomic<DWORD> ranOn{0};
    ASSERT_TRUE(StartWorkerThread([] { throw std::runtime_error("lost page"); }));
    ASSERT_TRUE(StartWorkerThread([&] { ranOn = GetCurrentThreadId(); }));
    ASSERT_TRUE(WaitUntil([&] { return ranOn.load() != 0; })) << "the worker did not run";
    EXPECT_NE(ranOn.load(), GetCurrentThreadId());
}

// The wait at a process's end: a worker still in its body holds it, one that has left
// (by a return or an exception), with what its body held gone, does not.
TEST(WorkerThreadTest, TheWaitForWorkersEndsWhenTheLastHasLeftItsBody) {
    std::atomic<bool> release{false};
    auto held = std::make_shared<int>(1);
    std::weak_ptr<int> watched = held;
    ASSERT_TRUE(StartWorkerThread([&release, held = std::move(held)] {
        while (!release.load())
            Sleep(1);
    }));
    ASSERT_TRUE(StartWorkerThread([] { throw std::runtime_error("lost page"); }));
    EXPECT_FALSE(WaitForWorkerThreads(50)) << "a worker is still in its body";
    release = true;
    EXPECT_TRUE(WaitForWorkerThreads(30000));
    EXPECT_TRUE(watched.expired()) << "what the body held outlived the wait";
}

// The wait returns only when the threads are gone from the process, their thread-local
// destructors run: the exit never meets one halfway out.
TEST(WorkerThreadTest, TheWaitForWorkersEndsOnlyWhenTheyHaveLeftTheProcess) {
    ASSERT_TRUE(StartWorkerThread([] {}));
    ASSERT_TRUE(WaitForWorkerThreads(30000));
    const size_t before = ThreadsOfTheProcess();
    constexpr int kWorkers = 8;
    for (int i = 0; i < kWorkers; ++i)
        ASSERT_TRUE(StartWorkerThread([] {
            thread_local SlowFarewell farewell;
            (void)&farewell;
        }));
    ASSERT_TRUE(WaitForWorkerThreads(30000));
    EXPECT_EQ(slowFarewellsEnded.load(), kWorkers);
    EXPECT_EQ(ThreadsOfTheProcess(), before);
}

TEST(WorkerThreadTest, BothKindsOfThreadRunBelowNormalPriority) {
    const int normal = MainNiceness();
    if (normal >= 19)
        GTEST_SKIP() << "the process already runs at the lowest priority";
    std::atomic<int> workerNiceness{-100};
    ASSERT_TRUE(StartWorkerThread([&] { workerNiceness = OwnNiceness(); }));
    ASSERT_TRUE(WaitUntil([&] { return workerNiceness.load() != -100; }));
    EXPECT_EQ(workerNiceness.load(), normal + 1);

    RecordingThread thread(true);
    ASSERT_TRUE(thread.CreateThread());
    thread.PostQuit();
    thread.Join();
    EXPECT_EQ(thread.niceness.load(), normal + 1);
}

}  // namespace
