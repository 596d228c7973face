// Who hears a broadcast, in which order, and what happens to listeners that go away.
#include "engine/jobs/ListenerList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/jobs/Job.h"
#include "platform/thread/Thread.h"
#include "tests/support/TestJobs.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT WM_PROBE = WM_USER + 20;

struct Log {
    std::vector<std::string> entries;
    std::mutex mutex;
    std::vector<std::string> Entries() {
        std::lock_guard<std::mutex> guard(mutex);
        return entries;
    }
};

class NamedListener : public MessageListener {
public:
    NamedListener(Log& log, std::string name, bool throws = false)
        : log_(log), name_(std::move(name)), throws_(throws) {}
    void OnMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_PROBE)
            return;
        {
            std::lock_guard<std::mutex> guard(log_.mutex);
            log_.entries.push_back(name_);
        }
        if (throws_)
            throw std::runtime_error("listener failed");
    }

private:
    Log& log_;
    std::string name_;
    bool throws_;
};

// A listener job that its owner deletes while the job is hearing a broadcast.
class SelfDeletingListenerJob : public ProbeJob {
public:
    using ProbeJob::ProbeJob;
    std::atomic<int> heard{0};

protected:
    bool OnOtherMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_PROBE)
            return false;
        DeleteJob(this);
        ++heard;  // still inside the call: the job must be alive
        return true;
    }
};

TEST(ListenerListTest, CallsObjectsLastRegisteredFirstAndDropsEachOnesFailure) {
    Log log;
    NamedListener a(log, "a"), b(log, "b", /*throws=*/true), c(log, "c");
    ListenerList list;
    list.AddObject(&a);
    list.AddObject(&b);
    list.AddObject(&c);
    list.AddObject(nullptr);
    EXPECT_EQ(list.GetObjectCount(), 3);
    list.Broadcast(WM_PROBE, 0, 0);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"c", "b", "a"}))
        << "b's failure must not keep a from hearing";
}

TEST(ListenerListTest, RemovesTheFirstEqualEntryOnly) {
    Log log;
    NamedListener a(log, "a"), b(log, "b"), absent(log, "absent");
    ListenerList list;
    list.AddObject(&a);
    list.AddObject(&b);
    list.AddObject(&a);
    list.RemoveObject(&a);
    list.RemoveObject(&absent);
    list.Broadcast(WM_PROBE, 0, 0);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"a", "b"}));
}

TEST(ListenerListTest, MovingOutTakesEveryoneRegisteredSoFarAndNoLaterOne) {
    Log log;
    NamedListener a(log, "a"), b(log, "b"), late(log, "late");
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    ListenerList list;
    list.AddObject(&a);
    list.AddObject(&b);
    list.AddWindow(window.Hwnd());
    ListenerList taken;
    list.MoveAllTo(taken);
    list.AddObject(&late);
    EXPECT_EQ(list.GetObjectCount(), 1);
    EXPECT_EQ(list.GetWindowCount(), 0);
    taken.Broadcast(WM_PROBE, 0, 0);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"b", "a"})) << "the order is kept";
    EXPECT_TRUE(WaitUntil([&] { return window.Count(WM_PROBE) == 1; }));
}

TEST(ListenerListTest, ADestroyedWindowGetsNothingAndLeavesTheList) {
    RecorderWindow kept;
    ASSERT_TRUE(kept.Start());
    ListenerList list;
    {
        RecorderWindow gone;
        ASSERT_TRUE(gone.Start());
        list.AddWindow(gone.Hwnd());
    }  // its thread has ended, and its window with it
    list.AddWindow(kept.Hwnd());
    list.AddWindow(nullptr);
    EXPECT_EQ(list.GetWindowCount(), 2);
    list.Broadcast(WM_PROBE, 7, 0);
    EXPECT_EQ(list.GetWindowCount(), 1);
    ASSERT_TRUE(WaitUntil([&] { return kept.Count(WM_PROBE) == 1; }));
    EXPECT_EQ(kept.ReceivedMessages()[0].wParam, 7u);

    list.RemoveAllWindows();
    list.Broadcast(WM_PROBE, 8, 0);
    EXPECT_EQ(list.GetWindowCount(), 0);
}

TEST(ListenerListTest, SkipsAListenerJobDeletedBeforeTheBroadcast) {
    ProbeRecord record;
    Log log;
    NamedListener before(log, "before");
    ListenerList list;
    list.AddObject(&before);
    ProbeJob* job = new ProbeJob(record, 1);
    list.AddObject(job);
    DeleteJob(job);  // the entry goes stale; a sanitizer build catches any call through it
    ASSERT_EQ(record.destroyed.load(), 1);
    list.Broadcast(WM_PROBE, 0, 0);
    EXPECT_EQ(log.Entries(), std::vector<std::string>{"before"});
}

TEST(ListenerListTest, AListenerJobDeletedDuringItsCallGoesWhenTheCallReturns) {
    ProbeRecord record;
    auto* job = new SelfDeletingListenerJob(record, 1);
    ListenerList list;
    list.AddObject(job);
    list.Broadcast(WM_PROBE, 0, 0);
    EXPECT_EQ(record.destroyed.load(), 1);
    list.Broadcast(WM_PROBE, 0, 0);  // skipped: the job is gone
    EXPECT_EQ(record.destroyed.load(), 1);
}

// Registrations and removals on several threads while broadcasts run; a thread
// sanitizer build checks that every change is guarded.
TEST(ListenerListTest, ChangesOnSeveralThreadsWhileBroadcastsRun) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    Log log;
    ListenerList list;
    std::vector<std::unique_ptr<NamedListener>> listeners;
    for (int t = 0; t < kThreads; ++t)
        listeners.push_back(std::make_unique<NamedListener>(log, "l" + std::to_string(t)));
    std::atomic<int> done{0};
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_TRUE(StartWorkerThread([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                list.AddObject(listeners[t].get());
                list.Broadcast(WM_NULL, 0, 0);
                list.RemoveObject(listeners[t].get());
            }
            ++done;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return done.load() == kThreads; }, 60s));
    EXPECT_EQ(list.GetObjectCount(), 0);
}

}  // namespace
