#include "platform/window/Timer.h"

#include <algorithm>
#include <chrono>

#include "platform/window/MessageSystem.h"

namespace {

std::uint64_t nextSerial = 1;  // under the mutex

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
    if (id == 0)
        return 0;
    const auto period = std::chrono::milliseconds(std::max(elapseMs, USER_TIMER_MINIMUM));
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    if (found == WindowTable().end())
        return 0;
    ThreadMessageQueue& queue = *found->second.queue;
    const TimerEntry timer{hwnd, id, period, MessageClock::now() + period, nextSerial++};
    const auto same =
        std::find_if(queue.timers.begin(), queue.timers.end(),
                     [&](const TimerEntry& t) { return t.hwnd == hwnd && t.id == id; });
    if (same != queue.timers.end()) {
        *same = timer;
    } else {
        queue.timers.push_back(timer);
    }
    queue.NoteChange();
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    if (found == WindowTable().end())
        return FALSE;
    ThreadMessageQueue& queue = *found->second.queue;
    const size_t removed = std::erase_if(
        queue.timers, [&](const TimerEntry& t) { return t.hwnd == hwnd && t.id == id; });
    queue.NoteChange();
    return removed ? TRUE : FALSE;
}

bool TimerIsCurrent(HWND hwnd, UINT_PTR id, std::uint64_t serial) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    if (found == WindowTable().end())
        return false;
    const auto& timers = found->second.queue->timers;
    return std::any_of(timers.begin(), timers.end(), [&](const TimerEntry& t) {
        return t.hwnd == hwnd && t.id == id && t.serial == serial;
    });
}
