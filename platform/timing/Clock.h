// The wall clock in whole seconds, as the system stamps job start and end times.
// Tests set or advance it with ScopedClock.
#pragma once

#include <cstdint>

// Seconds since 1970-01-01 00:00 UTC: the real time, or a test's set time. Any thread.
std::int64_t ClockNow();

// Replaces the real clock by a set time for its scope; restores the previous clock at
// the end. Tests only; scopes nest.
class ScopedClock {
public:
    explicit ScopedClock(std::int64_t now);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

    void Set(std::int64_t now);
    void Advance(std::int64_t seconds);

private:
    bool previousSet_;
    std::int64_t previousNow_;
};
