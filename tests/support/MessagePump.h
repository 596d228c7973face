// Serving the test thread's own windows while waiting: a dialog made on the test's thread
// only hears posted messages, timers and sends from other threads while the thread
// dispatches them.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/window/MessageLoop.h"

// Dispatches every message queued for this thread, then tests condition, every
// millisecond until it holds (true) or timeout passes (false).
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE))
            DispatchMessage(&msg);
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Dispatches what is queued now (and what that queues in turn) for a short while.
inline void PumpPending() {
    PumpUntil([] { return false; }, std::chrono::milliseconds(20));
}
