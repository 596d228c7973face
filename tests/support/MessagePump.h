// Serving the test thread's windows while waiting: for tests whose windows (a host
// browser, a band's panel) live on the test's own thread.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/window/MessageLoop.h"

// Serves what is pending for this thread (sent and posted messages, due timers) until
// condition holds (true) or timeout passes (false).
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ServePendingMessages(nullptr);
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Serves what is pending now, and what that brings, for a few rounds.
inline void PumpPending() {
    for (int round = 0; round < 20; ++round) {
        MSG msg;
        if (!PeekMessage(&msg, PM_NOREMOVE))
            return;
        ServePendingMessages(nullptr);
    }
}
