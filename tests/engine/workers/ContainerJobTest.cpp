// The container jobs: they queue their children, do no work of their own and finish
// when their children have, whenever those finish.
#include "engine/workers/ContainerJob.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/jobs/JobNames.h"
#include "engine/workers/checkForUpdatesJob.h"
#include "engine/workers/downloadAdJob.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/TestJobs.h"

namespace {

using namespace std::chrono_literals;

class ContainerJobTest : public JobManagerFixture {
protected:
    ~ContainerJobTest() override {
        record_.OpenGate();
        EXPECT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " children left";
    }

    ProbeRecord record_;
};

TEST_F(ContainerJobTest, FinishesWhenItsChildrenHaveFinished) {
    OwnedJob<downloadAdJob> container(new downloadAdJob);
    EXPECT_TRUE(container->OnlyWaitsForChildren());
    for (int i = 0; i < 3; ++i)
        container->AddChild(new ProbeJob(record_, i, ProbeBody::WaitForGate));
    Manager().AddJob(container.get());
    ASSERT_TRUE(WaitUntil([&] { return record_.runningNow.load() == 3; }))
        << "the children did not start";
    EXPECT_FALSE(WaitForEnd(*container, 50ms)) << "finished before its children";

    record_.OpenGate();
    ASSERT_TRUE(WaitForEnd(*container));
    EXPECT_EQ(container->GetChildCount(), 0);
    EXPECT_TRUE(record_.WaitAllDeleted()) << "the finished children were not deleted";
}

TEST_F(ContainerJobTest, ChildrenThatFinishFirstOrNoneAtAllDoNotKeepItWaiting) {
    OwnedJob<checkForUpdatesJob> early(new checkForUpdatesJob);
    early->AddChild(new ProbeJob(record_, 1));
    ASSERT_TRUE(WaitUntil([&] { return record_.destroyed.load() == 1; }))
        << "the child did not finish and go";
    ASSERT_TRUE(RunToEnd(*early));

    OwnedJob<checkForUpdatesJob> empty(new checkForUpdatesJob);
    ASSERT_TRUE(RunToEnd(*empty));
}

}  // namespace
