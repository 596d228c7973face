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
#include "platform/window/WindowTree.h"

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

// What the window model holds of one window (see WindowTree.h).
struct WindowState {
    bool messageOnly = false;  // made by CreateMessageWindow: in no tree
    std::string className;
    HWND parent = nullptr;       // WS_CHILD windows
    HWND owner = nullptr;        // top-level windows
    std::vector<HWND> children;  // the first is the top of the order
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG id = 0;
    HMENU menu = nullptr;
    RECT rect;         // parent's client coordinates (screen for a top-level window)
    RECT restoreRect;  // the rectangle before a maximise
    std::string text;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    LONG_PTR userData = 0;
    bool invalid = false;
};

struct WindowRecord {
    WindowHandler* handler = nullptr;
    std::shared_ptr<ThreadMessageQueue> queue;
    bool destroying = false;
    std::unique_ptr<WindowHandler> ownedHandler;  // a class's handler, freed after the window
    WindowState state;
};

std::mutex& MessageSystemMutex();

// Under the mutex: the live windows by handle value, and the queues by thread id.
std::unordered_map<UINT_PTR, WindowRecord>& WindowTable();
std::unordered_map<DWORD, std::shared_ptr<ThreadMessageQueue>>& QueueTable();
// Under the mutex: the top-level windows of the tree in the screen's order (topmost
// windows first), and each thread's focus window.
std::vector<HWND>& TopLevelOrder();
std::unordered_map<DWORD, HWND>& FocusTable();

// Under the mutex: a handle no window has had before.
HWND NewWindowHandle();

// Under the mutex: the live window's record, null for a dead handle.
WindowRecord* FindWindowRecord(HWND hwnd);
// Under the mutex: the record of a live window of the calling thread that is not being
// destroyed, else null.
WindowRecord* FindOwnWindowRecord(HWND hwnd);

// The screen of the model: where a top-level window is maximised.
constexpr RECT kScreenRect{0, 0, 1280, 1024};

// The widths of a window's frame, caption and edges on each side (see
// AdjustWindowRectEx).
RECT FrameInsets(DWORD style, DWORD exStyle);
// WM_SIZE's and WM_MOVE's lParam for a window in that state.
LPARAM ClientSizeParam(const WindowState& state);
LPARAM ClientOriginParam(const WindowState& state);
// Under the mutex: puts a top-level window at the top of its band of the screen's order
// (the topmost windows, or the others below them).
void InsertTopLevel(HWND hwnd, bool topmost);
// The presentation, when one is installed and the window is of the tree.
class WindowPresentation;
WindowPresentation* PresentationFor(HWND hwnd);

// Drops what is queued for a window that ends (posted messages into *dropped, waiting
// senders failed, timers), with the mutex held.
void DropQueuedForWindow(ThreadMessageQueue& queue, HWND hwnd, std::deque<PostedMessage>* dropped);

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
