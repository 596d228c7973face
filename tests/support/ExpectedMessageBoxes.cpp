#include "tests/support/ExpectedMessageBoxes.h"

#include <gtest/gtest.h>

#include "tests/support/MessageBoxCheck.h"

ExpectedMessageBoxes::ExpectedMessageBoxes() {
    MessageBoxCheck::Instance().Open(this);
}

ExpectedMessageBoxes::~ExpectedMessageBoxes() {
    MessageBoxCheck::Instance().Close(this);
    for (const std::string& text : Pending())
        ADD_FAILURE() << "An expected message box was not shown: text \"" << text << "\"";
}

ExpectedMessageBoxes& ExpectedMessageBoxes::Expect(std::string text, int answer) {
    std::lock_guard<std::mutex> guard(mutex_);
    expected_.push_back({std::move(text), answer, false});
    return *this;
}

std::vector<MessageBoxRecord> ExpectedMessageBoxes::Shown() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return shown_;
}

std::vector<std::string> ExpectedMessageBoxes::Pending() const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<std::string> pending;
    for (const Expectation& expectation : expected_) {
        if (!expectation.taken)
            pending.push_back(expectation.text);
    }
    return pending;
}

bool ExpectedMessageBoxes::Take(const MessageBoxRecord& box, int* answer) {
    std::lock_guard<std::mutex> guard(mutex_);
    for (Expectation& expectation : expected_) {
        if (!expectation.taken && expectation.text == box.text) {
            expectation.taken = true;
            *answer = expectation.answer;
            shown_.push_back(box);
            return true;
        }
    }
    return false;
}
