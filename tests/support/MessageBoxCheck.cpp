#include "tests/support/MessageBoxCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/support/ExpectedMessageBoxes.h"

namespace {

std::string Describe(const MessageBoxRecord& box) {
    return "text \"" + box.text + "\", caption \"" + box.caption + "\"";
}

}  // namespace

// Runs the check after each test, before the result printer reports the test.
class MessageBoxCheck::Listener : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo&) override { MessageBoxCheck::Instance().CheckTest(); }
};

MessageBoxCheck& MessageBoxCheck::Instance() {
    static MessageBoxCheck check;
    return check;
}

int MessageBoxCheck::Show(const MessageBoxRecord& box) {
    std::lock_guard<std::mutex> guard(mutex_);
    int answer = 0;
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if ((*it)->Take(box, &answer))
            return answer != 0 ? answer : DefaultMessageBoxAnswer(box.type);
    }
    if (unexpected_.size() < kKeptBoxes)
        unexpected_.push_back(box);
    ++unexpectedCount_;
    return DefaultMessageBoxAnswer(box.type);
}

void MessageBoxCheck::Install() {
    // Appended after the default printer, so gtest calls its OnTestEnd first and a
    // failure added there is reported with the test.
    ::testing::UnitTest::GetInstance()->listeners().Append(new Listener);
    SetMessageBoxService(this);
}

bool MessageBoxCheck::Finish() {
    SetMessageBoxService(nullptr);
    std::vector<MessageBoxRecord> boxes;
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        boxes.swap(unexpected_);
        count = unexpectedCount_;
        unexpectedCount_ = 0;
    }
    for (const MessageBoxRecord& box : boxes)
        std::fprintf(stderr, "A message box was shown after the last test: %s\n",
                     Describe(box).c_str());
    if (count > boxes.size())
        std::fprintf(stderr, "... and %zu more message boxes\n", count - boxes.size());
    return count == 0;
}

void MessageBoxCheck::Open(ExpectedMessageBoxes* expected) {
    std::lock_guard<std::mutex> guard(mutex_);
    open_.push_back(expected);
}

void MessageBoxCheck::Close(ExpectedMessageBoxes* expected) {
    std::lock_guard<std::mutex> guard(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), expected), open_.end());
}

void MessageBoxCheck::CheckTest() {
    // A test may have installed a service of its own; from here on boxes come here
    // again, and whatever the default recorder took meanwhile is checked too.
    SetMessageBoxService(this);
    std::vector<MessageBoxRecord> boxes = RecordedMessageBoxes();
    ClearRecordedMessageBoxes();
    std::size_t count = boxes.size();
    {
        std::lock_guard<std::mutex> guard(mutex_);
        boxes.insert(boxes.end(), unexpected_.begin(), unexpected_.end());
        count += unexpectedCount_;
        unexpected_.clear();
        unexpectedCount_ = 0;
    }
    for (const MessageBoxRecord& box : boxes)
        ADD_FAILURE() << "A message box the test did not expect was shown: " << Describe(box);
    if (count > boxes.size())
        ADD_FAILURE() << "... and " << count - boxes.size() << " more message boxes";
}
