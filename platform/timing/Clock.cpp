#include "platform/timing/Clock.h"

#include <atomic>
#include <ctime>

namespace {

std::atomic<bool> clockSet{false};
std::atomic<std::int64_t> setNow{0};

}  // namespace

std::int64_t ClockNow() {
    if (clockSet.load())
        return setNow.load();
    return static_cast<std::int64_t>(std::time(nullptr));
}

ScopedClock::ScopedClock(std::int64_t now)
    : previousSet_(clockSet.load()), previousNow_(setNow.load()) {
    setNow.store(now);
    clockSet.store(true);
}

ScopedClock::~ScopedClock() {
    setNow.store(previousNow_);
    clockSet.store(previousSet_);
}

void ScopedClock::Set(std::int64_t now) {
    setNow.store(now);
}

void ScopedClock::Advance(std::int64_t seconds) {
    setNow.fetch_add(seconds);
}
