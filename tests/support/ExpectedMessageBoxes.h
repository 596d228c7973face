// The message boxes a test provokes on purpose. While one of these lives, each box shown
// (on any thread) whose text equals a pending expectation's takes the earliest such
// expectation and gets its scripted answer; other boxes are left to the message box
// check, which fails the test. An expectation no box took fails the test when this ends.
//
//     ExpectedMessageBoxes boxes;
//     boxes.Expect("htmlLink::load - something bad happend");
//     link.load(brokenElement);
//     EXPECT_EQ(boxes.Shown()[0].type, MB_OK);
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/MessageBox.h"

class ExpectedMessageBoxes {
public:
    // The test's thread.
    ExpectedMessageBoxes();
    ~ExpectedMessageBoxes();
    ExpectedMessageBoxes(const ExpectedMessageBoxes&) = delete;
    ExpectedMessageBoxes& operator=(const ExpectedMessageBoxes&) = delete;

    // The test's thread: expects one more box with exactly this text, answered with
    // answer, or with its default button when answer is 0.
    ExpectedMessageBoxes& Expect(std::string text, int answer = 0);

    // Any thread: the boxes taken so far, oldest first.
    std::vector<MessageBoxRecord> Shown() const;
    // Any thread: the texts expected that no box has taken yet, in order.
    std::vector<std::string> Pending() const;

    // Called by the check on the showing thread, with the check's mutex held: takes box
    // when a pending expectation has its text, setting *answer.
    bool Take(const MessageBoxRecord& box, int* answer);

private:
    struct Expectation {
        std::string text;
        int answer = 0;
        bool taken = false;
    };

    mutable std::mutex mutex_;
    std::vector<Expectation> expected_;
    std::vector<MessageBoxRecord> shown_;
};
