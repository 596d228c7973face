#include "platform/timing/Timing.h"

#include <gtest/gtest.h>

#include <ctime>

#include "platform/timing/Clock.h"

namespace {

TEST(TimingTest, ScopedTimingInstallsARecordAndRestoresThePreviousOne) {
    const TimingRecord product = Timing();
    EXPECT_EQ(product.pageGuardMs, 5000u);
    {
        TimingRecord fast;
        fast.pageGuardMs = 50;
        ScopedTiming outer(fast);
        EXPECT_EQ(Timing().pageGuardMs, 50u);
        {
            TimingRecord faster = fast;
            faster.pingTimeoutMs = 20;
            ScopedTiming inner(faster);
            EXPECT_EQ(Timing().pingTimeoutMs, 20u);
            EXPECT_EQ(Timing().pageGuardMs, 50u);
        }
        EXPECT_EQ(Timing().pingTimeoutMs, product.pingTimeoutMs);
        EXPECT_EQ(Timing().pageGuardMs, 50u);
    }
    EXPECT_EQ(Timing().pageGuardMs, 5000u);
}

TEST(TimingTest, ClockFollowsRealTimeUntilATestSetsIt) {
    const std::int64_t real = static_cast<std::int64_t>(std::time(nullptr));
    EXPECT_LE(std::abs(ClockNow() - real), 5);
    {
        ScopedClock clock(1000000);
        EXPECT_EQ(ClockNow(), 1000000);
        clock.Advance(61);
        EXPECT_EQ(ClockNow(), 1000061);
        {
            ScopedClock inner(5);
            EXPECT_EQ(ClockNow(), 5);
        }
        EXPECT_EQ(ClockNow(), 1000061);
        clock.Set(42);
        EXPECT_EQ(ClockNow(), 42);
    }
    EXPECT_LE(std::abs(ClockNow() - real), 5);
}

}  // namespace
