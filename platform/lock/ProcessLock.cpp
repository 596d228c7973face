#include "platform/lock/ProcessLock.h"

#include <mutex>

#include "platform/trace/Trace.h"

namespace {

// Never destroyed: detached threads may still take the lock while the process ends.
std::recursive_mutex& LockMutex() {
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

// The holds of one thread; gives back what is left when the thread ends.
struct HoldCount {
    int depth = 0;
    ~HoldCount() {
        if (depth > 0)
            Trace("lock", "a thread ended holding the process lock %d times", depth);
        while (depth > 0) {
            --depth;
            LockMutex().unlock();
        }
    }
};

HoldCount& Holds() {
    thread_local HoldCount holds;
    return holds;
}

}  // namespace

void AcquireProcessLock() {
    LockMutex().lock();
    ++Holds().depth;
}

void ReleaseProcessLock() {
    HoldCount& holds = Holds();
    assert(holds.depth > 0 && "the process lock is released by a thread that does not hold it");
    if (holds.depth <= 0)
        return;
    --holds.depth;
    LockMutex().unlock();
}

int ProcessLockDepth() {
    return Holds().depth;
}
