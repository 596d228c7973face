// The message box check of every test program. It is the message box service for the
// whole run: it answers each box at once, hands the boxes a test expects to that test's
// ExpectedMessageBoxes, and fails the test in which any other box appears, naming the
// box's text and caption. A box counts on whichever thread it is shown (hidden browser
// threads too); one shown between two tests counts against the later one, one shown
// after the last test fails the program.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/ui/MessageBox.h"

class ExpectedMessageBoxes;

class MessageBoxCheck : public MessageBoxService {
public:
    static MessageBoxCheck& Instance();

    // Any thread; takes mutex_, then the mutex of each open expectation in turn.
    int Show(const MessageBoxRecord& box) override;

    // Main thread, before the tests run: installs this service and a test listener that
    // runs the check at the end of every test.
    void Install();
    // Main thread, after the tests: uninstalls this service and prints the boxes shown
    // since the last test ended; false when there were any.
    bool Finish();

    // The test's thread: an expectation opens when built and closes when destroyed.
    // Later expectations are offered a box first. Each takes mutex_.
    void Open(ExpectedMessageBoxes* expected);
    void Close(ExpectedMessageBoxes* expected);

    // Main thread, at the end of a test: adds a failure to the current test for every
    // box shown since the previous check that no expectation took, including boxes the
    // default recorder kept while a test had another service installed, and empties both.
    void CheckTest();

private:
    class Listener;

    // At most this many unexpected boxes are kept for the failure message of one test;
    // the rest are only counted.
    static constexpr std::size_t kKeptBoxes = 20;

    std::mutex mutex_;
    std::vector<ExpectedMessageBoxes*> open_;
    std::vector<MessageBoxRecord> unexpected_;
    std::size_t unexpectedCount_ = 0;
};
