// The three-list queue of the job manager and the browser pool.
#include "engine/jobs/JobQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "platform/thread/Thread.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

struct Item : CObject {
    explicit Item(int id) : id(id) {}
    int id;
};

// A queue that can be closed, as the browser pool's is.
class ClosableQueue : public JobQueue {
public:
    using JobQueue::JobQueue;
    void Close() { SetClosed(); }
};

TEST(JobQueueTest, TakesInOrderAndReleasesBackOnlyWhenRecycling) {
    Item a(1), b(2);
    for (bool recycle : {true, false}) {
        SCOPED_TRACE(recycle ? "recycling" : "not recycling");
        JobQueue queue(false, recycle);
        queue.Add(&a);
        queue.Add(&b);
        queue.Add(nullptr);
        EXPECT_EQ(queue.CountWaiting(), 2);
        EXPECT_EQ(queue.Take(false), &a);
        EXPECT_EQ(queue.Take(false), &b);
        EXPECT_EQ(queue.CountActive(), 2);
        EXPECT_EQ(queue.Take(false), nullptr) << "nothing waits, no wait asked";
        queue.Release(&a);
        Item stranger(3);
        queue.Release(&stranger);
        EXPECT_EQ(queue.CountActive(), 1);
        EXPECT_EQ(queue.CountWaiting(), recycle ? 1 : 0);
        queue.ReleaseAllActive();
        EXPECT_EQ(queue.CountActive(), 0);
        EXPECT_EQ(queue.CountBoth(), recycle ? 2 : 0);
    }
}

TEST(JobQueueTest, AWaitingTakeOnAnEmptyQueueReturnsAtOnce) {
    JobQueue queue(false, true);
    EXPECT_EQ(queue.Take(true), nullptr);
}

TEST(JobQueueTest, KeepsTheAllListOnlyWhenAsked) {
    Item a(1);
    JobQueue keeping(true, false);
    JobQueue forgetting(false, false);
    for (JobQueue* queue : {&keeping, &forgetting}) {
        queue->Add(&a);
        queue->Release(queue->Take(false));
    }
    EXPECT_EQ(keeping.GetAllItems(), std::vector<CObject*>{&a});
    EXPECT_EQ(forgetting.CountAll(), 0);
}

TEST(JobQueueTest, AClosedQueueHandsOutNothingButStillTakesAddsAndReleases) {
    Item a(1), b(2);
    ClosableQueue queue(true, true);
    queue.Add(&a);
    ASSERT_EQ(queue.Take(false), &a);
    queue.Close();
    EXPECT_TRUE(queue.IsClosed());
    queue.Add(&b);
    queue.Release(&a);
    EXPECT_EQ(queue.CountWaiting(), 2);
    EXPECT_EQ(queue.Take(false), nullptr);
    EXPECT_EQ(queue.Take(true), nullptr);
    EXPECT_EQ(queue.TakeFirstMatching([](CObject*) { return true; }), nullptr);
}

TEST(JobQueueTest, TakeFirstMatchingSkipsItemsTheCallerRefuses) {
    Item a(1), b(2), c(3);
    JobQueue queue(false, false);
    queue.Add(&a);
    queue.Add(&b);
    queue.Add(&c);
    auto even = [](CObject* item) { return static_cast<Item*>(item)->id % 2 == 0; };
    EXPECT_EQ(queue.TakeFirstMatching(even), &b);
    EXPECT_EQ(queue.TakeFirstMatching(even), nullptr);
    EXPECT_EQ(queue.CountActiveMatching(even), 1);
    EXPECT_EQ(queue.GetWaitingItems(), (std::vector<CObject*>{&a, &c}));
}

// A borrower that waits for an item lent to someone else gets it when it comes back,
// and a waiter is woken with null when the queue closes.
TEST(JobQueueTest, AWaitingTakeIsWokenByAReleaseAndByClosing) {
    Item a(1);
    ClosableQueue queue(true, true);
    queue.Add(&a);
    ASSERT_EQ(queue.Take(false), &a);

    std::atomic<CObject*> got{nullptr};
    std::atomic<bool> returned{false};
    ASSERT_TRUE(StartWorkerThread([&] {
        got = queue.Take(true);
        returned = true;
    }));
    EXPECT_FALSE(WaitUntil([&] { return returned.load(); }, 30ms)) << "took while all were lent";
    queue.Release(&a);
    ASSERT_TRUE(WaitUntil([&] { return returned.load(); })) << "the release woke nobody";
    EXPECT_EQ(got.load(), &a);

    returned = false;
    ASSERT_TRUE(StartWorkerThread([&] {
        got = queue.Take(true);
        returned = true;
    }));
    EXPECT_FALSE(WaitUntil([&] { return returned.load(); }, 30ms));
    queue.Close();
    ASSERT_TRUE(WaitUntil([&] { return returned.load(); })) << "closing woke nobody";
    EXPECT_EQ(got.load(), nullptr);
}

// Many borrowers share few items; every item is lent to one borrower at a time.
TEST(JobQueueTest, LendsEachItemToOneBorrowerAtATime) {
    constexpr int kItems = 3;
    constexpr int kBorrowers = 6;
    constexpr int kRounds = 200;
    std::vector<Item> items;
    for (int i = 0; i < kItems; ++i)
        items.emplace_back(i);
    std::atomic<int> lent[kItems] = {};
    std::atomic<bool> doubleLent{false};
    JobQueue queue(true, true);
    for (Item& item : items)
        queue.Add(&item);
    std::atomic<int> done{0};
    for (int b = 0; b < kBorrowers; ++b) {
        ASSERT_TRUE(StartWorkerThread([&] {
            for (int r = 0; r < kRounds; ++r) {
                auto* item = static_cast<Item*>(queue.Take(true));
                if (item == nullptr)
                    continue;
                if (++lent[item->id] != 1)
                    doubleLent = true;
                --lent[item->id];
                queue.Release(item);
            }
            ++done;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return done.load() == kBorrowers; }, 60s));
    EXPECT_FALSE(doubleLent.load());
    EXPECT_EQ(queue.CountWaiting(), kItems);
}

}  // namespace
