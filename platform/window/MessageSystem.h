// Inside of the window and message layer (platform/window and platform/thread only):
// the per-thread queues, the window table and the one mutex that guards them all.
// No handler is ever called and no payload freed with that mutex held.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/base/Types.h"
#include "platform/window/Window.h"

using MessageClock = std::chrono::steady_clock;

class ThreadMessageQueue;

// A message sent from one thread to a window of another. Shared by the sender and the
// receiver's sent lane, so an answer that comes after the sender gave up lands in memory
// that is still alive.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<ThreadMessageQueue> sender;  // whose wait to wake
    bool done = false;
    bool delivered = false;  // the handler ran (false: window dead, thread ended)
    LRESULT result = 0;
};

struct PostedMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::unique_ptr<MessagePayload> payload;
};

struct TimerEntry {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    MessageClock::duration period{};
    MessageClock::time_point due{};
    std::uint64_t serial = 0;  // new for every SetTimer, so a replaced timer's tick is known
};

// The queue of one thread. Every field is guarded by MessageSystemMutex().
class ThreadMessageQueue {
public:
    explicit ThreadMessageQueue(DWORD threadId);
    ~ThreadMessageQueue();
    ThreadMessageQueue(const ThreadMessageQueue&) = delete;
    ThreadMessageQueue& operator=(const ThreadMessageQueue&) = delete;

    const DWORD threadId;
    bool closed = false;  // the thread has ended
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<PostedMessage> posted;
    bool quitPending = false;
    int quitCode = 0;
    std::vector<TimerEntry> timers;
    // Woken at every change of the queue and when a send of this thread is answered.
    std::condition_variable changed;

    int WakeFd() const { return pollFd_; }

    // Wakes the thread's waits and brings the descriptor in line with what is pending.
    // Called after every change, with the mutex held.
    void NoteChange();

private:
    int eventFd_ = -1;
    int timerFd_ = -1;
    int pollFd_ = -1;
    bool signalled_ = false;
    MessageClock::time_point armedDue_ = MessageClock::time_point::max();
};

struct WindowRecord {
    WindowHandler* handler = nullptr;
    std::shared_ptr<ThreadMessageQueue> queue;
    bool destroying = false;
};

std::mutex& MessageSystemMutex();

// Under the mutex: the live windows by handle value, and the queues by thread id.
std::unordered_map<UINT_PTR, WindowRecord>& WindowTable();
std::unordered_map<DWORD, std::shared_ptr<ThreadMessageQueue>>& QueueTable();

inline UINT_PTR HandleValue(HWND hwnd) {
    return reinterpret_cast<UINT_PTR>(hwnd);
}

// The calling thread's queue, made on first use and closed when the thread ends. Takes
// the mutex: not to be called with it held.
std::shared_ptr<ThreadMessageQueue> CurrentThreadQueue();

// Calls the handler of a live window of the calling thread. Returns false (and leaves
// *result alone) when hwnd is not such a window.
bool CallWindowHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Serves every message in the queue's sent lane on the calling thread (the queue's own).
void ServeSentMessages(ThreadMessageQueue& queue);

// With the mutex held: marks a sent message answered (or failed) and wakes its sender.
void CompleteSentMessage(SentMessage& sent, bool delivered, LRESULT result);

// Whether the window still has the timer of that generation. Takes the mutex.
bool TimerIsCurrent(HWND hwnd, UINT_PTR id, std::uint64_t serial);
