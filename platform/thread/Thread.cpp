#include "platform/thread/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <exception>
#include <system_error>
#include <thread>

#include "platform/trace/Trace.h"

namespace {

// The niceness of the process's main thread, which new threads would otherwise inherit
// from whichever thread starts them.
int NormalNiceness() {
    static const int niceness = [] {
        errno = 0;
        const int value = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
        return errno == 0 ? value : 0;
    }();
    return niceness;
}

}  // namespace

DWORD GetCurrentThreadId() {
    static std::atomic<DWORD> next{1};
    thread_local const DWORD id = next.fetch_add(1);
    return id;
}

void SetBelowNormalPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), NormalNiceness() + 1);
}

bool StartWorkerThread(std::function<void()> body) {
    NormalNiceness();
    try {
        std::thread thread([body = std::move(body)] {
            SetBelowNormalPriority();
            try {
                body();
            } catch (const std::exception& e) {
                Trace("thread", "worker thread %u ended by an exception: %s", GetCurrentThreadId(),
                      e.what());
            } catch (...) {
                Trace("thread", "worker thread %u ended by an exception", GetCurrentThreadId());
            }
        });
        thread.detach();
        return true;
    } catch (const std::system_error& e) {
        Trace("thread", "cannot start a worker thread: %s", e.what());
        return false;
    }
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
