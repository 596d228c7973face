// Who is told when a job finishes (or a browser reports its page): windows, which are
// posted to, and listener objects, which are called on the broadcasting thread.
//
// Every operation takes the process lock; Broadcast delivers with its own hold given
// back. The list owns none of its listeners.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/Types.h"

class Job;
class MessageListener;

class ListenerList {
public:
    ListenerList() = default;
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    // Appends a window; null is ignored. Any thread.
    void AddWindow(HWND hwnd);
    // Appends a listener object; null is ignored. Any thread.
    void AddObject(MessageListener* listener);
    // Removes the first entry equal to listener; absent, nothing happens. A call a
    // broadcast has already begun into listener still runs to its end. Any thread.
    void RemoveObject(MessageListener* listener);
    // Forgets every window, so that nothing more is posted to them. Any thread.
    void RemoveAllWindows();
    // Moves every window and listener object to the end of target, in one hold of the
    // lock, leaving this list empty: who registers afterwards is not in target. Any
    // thread.
    void MoveAllTo(ListenerList& target);

    int GetWindowCount() const;
    // The windows, in registration order: for a job that posts each window a payload
    // of its own. Any thread.
    std::vector<HWND> GetWindows() const;
    int GetObjectCount() const;

    // Tells everyone: first the listener objects, from the last registered to the first,
    // by OnMessage on the calling thread; then the windows, in registration order, by
    // PostMessage. A window that no longer exists is dropped from the list. A listener
    // job that has been handed to DeleteJob before the broadcast began is skipped, and
    // one that is handed to it during its call is deleted only after the call returns.
    // An exception from one listener is dropped (one trace line on "jobs") and the others
    // are still told. Any thread; the caller may hold the process lock.
    void Broadcast(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Entry {
        MessageListener* listener;
        Job* job;              // the listener as a job, null when it is none
        std::uint64_t serial;  // the job's serial when it was added
    };

    std::vector<HWND> windows_;
    std::vector<Entry> objects_;
};
