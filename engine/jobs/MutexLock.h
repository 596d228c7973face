// A scoped hold on the job mutex: the one process-wide re-entrant lock
// (platform/lock/ProcessLock.h). A thread that holds it may take it again at once.
// Never held across a blocking wait on another thread.
#pragma once

#include "platform/lock/ProcessLock.h"

class MutexLock {
public:
    MutexLock() = default;
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    ProcessLockGuard guard_;
};
