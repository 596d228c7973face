#include "platform/timing/Timing.h"

#include <mutex>

namespace {

struct TimingState {
    std::mutex mutex;
    TimingRecord record;
};

// Never destroyed: detached threads may read the timing while the process ends.
TimingState& State() {
    static auto* state = new TimingState;
    return *state;
}

}  // namespace

TimingRecord Timing() {
    TimingState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.record;
}

ScopedTiming::ScopedTiming(const TimingRecord& record) {
    TimingState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    previous_ = state.record;
    state.record = record;
}

ScopedTiming::~ScopedTiming() {
    TimingState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.record = previous_;
}
