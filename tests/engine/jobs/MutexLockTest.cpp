#include "engine/jobs/MutexLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/thread/Thread.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

TEST(MutexLockTest, ASecondLockInTheSameThreadDoesNotBlockAndAnotherThreadWaits) {
    std::atomic<bool> trying{false};
    std::atomic<bool> acquired{false};
    {
        MutexLock outer;
        {
            MutexLock inner;  // would hang here if the lock were not re-entrant
            ASSERT_TRUE(StartWorkerThread([&] {
                trying = true;
                MutexLock other;
                acquired = true;
            }));
            ASSERT_TRUE(WaitUntil([&] { return trying.load(); }));
        }
        EXPECT_FALSE(WaitUntil([&] { return acquired.load(); }, 50ms))
            << "another thread took the lock while this one held it";
    }
    EXPECT_TRUE(WaitUntil([&] { return acquired.load(); })) << "the lock was not given back";
}

}  // namespace
