// A queue of items (jobs for the job manager, browsers for the browser pool) in three
// lists: waiting (ready to be taken), active (taken, not yet released) and, when the
// queue keeps one, all (every item ever added). The queue never deletes an item.
//
// Every operation takes the process lock. Take with its wait flag blocks until an item
// comes, or the queue closes, without holding the lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/base/CObject.h"

class JobQueue {
public:
    // keepsAllList: whether the queue records every item ever added. recycle: whether a
    // released item goes back to the waiting list.
    JobQueue(bool keepsAllList, bool recycle);
    virtual ~JobQueue();
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;

    // Appends item to the waiting list (and the all list); null is ignored. Wakes a
    // waiting Take. Any thread.
    void Add(CObject* item);
    // Moves the head of the waiting list to the end of the active list and returns it.
    // Null at once when the queue is closed, or when the waiting and active lists are
    // both empty and no item may still come (ItemsMayStillCome). When the waiting list
    // is empty otherwise: null at once without wait; with wait, blocks until the queue
    // changes (an item is added, released or removed, the queue closes, or what
    // ItemsMayStillCome answers may have changed) and tries again. A Take that may
    // block is never made with the process lock held. Any thread.
    CObject* Take(bool wait);
    // The first waiting item for which accept answers true, moved to the end of the
    // active list; null when there is none or the queue is closed. accept runs under the
    // process lock. Never blocks.
    CObject* TakeFirstMatching(const std::function<bool(CObject*)>& accept);
    // Takes the first entry equal to item out of the active list and, with recycle set,
    // appends it to the waiting list; an item not found is ignored. Wakes a waiting Take.
    // Any thread.
    void Release(CObject* item);
    // Release of every active item, in list order.
    void ReleaseAllActive();

    int CountWaiting() const;
    int CountActive() const;
    int CountBoth() const;
    // Active items for which count answers true; count runs under the process lock.
    int CountActiveMatching(const std::function<bool(CObject*)>& count) const;
    int CountAll() const;

    // Copies of the lists, taken under the process lock.
    std::vector<CObject*> GetWaitingItems() const;
    std::vector<CObject*> GetActiveItems() const;
    std::vector<CObject*> GetAllItems() const;

    bool IsClosed() const;

protected:
    // Sets the closed flag and wakes every waiting Take, which returns null. Add and
    // Release still work on a closed queue.
    void SetClosed();
    // Clears the closed flag: Take lends again.
    void ClearClosed();
    // Takes item out of all three lists; false when it was in none. Wakes a waiting
    // Take. Any thread.
    bool Remove(CObject* item);
    // Whether an item may still be added while the waiting and active lists are both
    // empty, so that a Take with wait should wait for it. Asked with the process lock
    // held; must not block. None may come here.
    virtual bool ItemsMayStillCome() const { return false; }
    // Wakes the waiting Takes; called with the process lock held after every change,
    // also by a derived queue when what ItemsMayStillCome answers changes.
    void NoteChange();

private:
    const bool keepsAllList_;
    const bool recycle_;
    // Guarded by the process lock.
    std::deque<CObject*> waiting_;
    std::deque<CObject*> active_;
    std::vector<CObject*> all_;
    bool closed_ = false;

    // Blocked Takes wait for the change count to move. The change count is raised with
    // the process lock held, so a Take that read it under the lock misses no change.
    mutable std::mutex changeMutex_;
    std::condition_variable changed_;
    std::uint64_t changes_ = 0;  // guarded by changeMutex_
};
