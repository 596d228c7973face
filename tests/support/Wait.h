// Bounded waits for tests: poll a condition until it holds or a deadline passes.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Polls condition every millisecond until it is true (returns true) or timeout passes
// (returns false). Use as: ASSERT_TRUE(WaitUntil([&]{ return done; }, 5s)) << "why";
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
