// The test programs' message box check and the expectations tests declare with it.
#include "tests/support/MessageBoxCheck.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ExpectedMessageBoxes.h"

namespace {

// The failures that step adds to the current test, caught before they reach it.
std::vector<std::string> FailuresOf(const std::function<void()>& step) {
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        step();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)
        messages.push_back(results.GetTestPartResult(i).message());
    return messages;
}

std::vector<std::string> CheckFailures() {
    return FailuresOf([] { MessageBoxCheck::Instance().CheckTest(); });
}

}  // namespace

TEST(MessageBoxCheckTest, UnexpectedBoxesFailTheTestByTextAndCaption) {
    EXPECT_EQ(MessageBox(nullptr, "Disk full", "Saving", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    std::thread other([] { MessageBox(nullptr, "htmlLink::load - unknown link type", "", MB_OK); });
    other.join();
    const std::vector<std::string> failures = CheckFailures();
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("text \"Disk full\", caption \"Saving\""), std::string::npos)
        << failures[0];
    EXPECT_NE(failures[1].find("text \"htmlLink::load - unknown link type\", caption \"\""),
              std::string::npos)
        << failures[1];
    EXPECT_TRUE(CheckFailures().empty()) << "a box was reported twice";
}

TEST(MessageBoxCheckTest, ManyUnexpectedBoxesAreCountedBeyondThoseNamed) {
    for (int i = 0; i < 50; ++i)
        MessageBox(nullptr, "box " + std::to_string(i), "", MB_OK);
    const std::vector<std::string> failures = CheckFailures();
    ASSERT_GE(failures.size(), 2u);
    EXPECT_NE(failures[0].find("\"box 0\""), std::string::npos) << failures[0];
    EXPECT_NE(failures.back().find("more message boxes"), std::string::npos) << failures.back();
    EXPECT_LT(failures.size(), 50u);
}

TEST(MessageBoxCheckTest, ExpectedBoxesTakeTheirScriptedAnswersInOrder) {
    ExpectedMessageBoxes boxes;
    boxes.Expect("Overwrite?", IDNO).Expect("Overwrite?").Expect("Other");
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO), IDYES);
    EXPECT_EQ(boxes.Pending(), std::vector<std::string>{"Other"});
    MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO);  // one more than expected
    MessageBox(nullptr, "Other", "", MB_OK);
    const std::vector<MessageBoxRecord> shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "Save");
    EXPECT_EQ(shown[2].text, "Other");
    const std::vector<std::string> failures = CheckFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("\"Overwrite?\""), std::string::npos) << failures[0];
}

TEST(MessageBoxCheckTest, AnExpectedBoxNeverShownFailsWhenTheExpectationEnds) {
    const std::vector<std::string> failures = FailuresOf([] {
        ExpectedMessageBoxes boxes;
        boxes.Expect("Shown").Expect("Never shown");
        MessageBox(nullptr, "Shown", "", MB_OK);
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("not shown: text \"Never shown\""), std::string::npos)
        << failures[0];
    // Once the expectation ended, the same text is unexpected.
    MessageBox(nullptr, "Shown", "", MB_OK);
    EXPECT_EQ(CheckFailures().size(), 1u);
}

TEST(MessageBoxCheckTest, BoxesFromManyThreadsAreEachTakenOnce) {
    ExpectedMessageBoxes boxes;
    const int threads = 4, each = 50;
    for (int i = 0; i < threads * each; ++i)
        boxes.Expect("loaded");
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([] {
            for (int i = 0; i < each; ++i)
                MessageBox(nullptr, "loaded", "", MB_OK);
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(boxes.Shown().size(), static_cast<size_t>(threads * each));
    EXPECT_TRUE(boxes.Pending().empty());
    EXPECT_TRUE(CheckFailures().empty());
}

TEST(MessageBoxCheckTest, BoxesTheDefaultRecorderTookAreCheckedAndTheCheckComesBack) {
    SetMessageBoxService(nullptr);
    MessageBox(nullptr, "Recorded", "Elsewhere", MB_OK);
    const std::vector<std::string> failures = CheckFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("text \"Recorded\", caption \"Elsewhere\""), std::string::npos)
        << failures[0];
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    ExpectedMessageBoxes boxes;
    boxes.Expect("Back");
    MessageBox(nullptr, "Back", "", MB_OK);
    EXPECT_EQ(boxes.Shown().size(), 1u) << "the check was not installed again";
}
