// The one process-wide lock of the system: re-entrant, so a thread that holds it may
// take it again; it guards every shared job list, the browser pool's lists and the
// listener lists.
//
// THE RULE: the process lock is never held across a blocking wait on another thread:
// a send with time-out, a cross-thread SendMessage, a WinThread::Join, a network call.
// Such a wait could need the other thread to take the lock first, and the two threads
// would then wait on each other for good. Release the lock (leave the guard's scope)
// before the wait. Every such wait calls AssertProcessLockNotHeld() first, so a debug
// build stops at the place that breaks the rule.
#pragma once

#include <cassert>

// Blocks until the calling thread holds the lock; a thread that holds it already
// takes it once more at once. Never gives up.
void AcquireProcessLock();

// Gives back one hold of the calling thread, which must hold the lock.
void ReleaseProcessLock();

// How many holds the calling thread has (0 when it does not hold the lock).
int ProcessLockDepth();

// A thread that ends while holding the lock gives its holds back as it ends, so the
// lock counts as free again (as an abandoned mutex would be taken by the next waiter).

// Holds the lock for the guard's scope.
class ProcessLockGuard {
public:
    ProcessLockGuard() { AcquireProcessLock(); }
    ~ProcessLockGuard() { ReleaseProcessLock(); }
    ProcessLockGuard(const ProcessLockGuard&) = delete;
    ProcessLockGuard& operator=(const ProcessLockGuard&) = delete;
};

// Called at the start of every blocking wait on another thread (see THE RULE above).
inline void AssertProcessLockNotHeld() {
    assert(ProcessLockDepth() == 0 &&
           "the process lock is held across a blocking wait on another thread");
}
