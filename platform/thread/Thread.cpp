#include "platform/thread/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
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

// The worker threads that have not left their bodies yet.
struct RunningWorkers {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

RunningWorkers& Workers() {
    static RunningWorkers* workers = new RunningWorkers;  // outlives every worker
    return *workers;
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
        {
            std::lock_guard<std::mutex> guard(Workers().mutex);
            ++Workers().count;
        }
        struct Leaving {
            ~Leaving() {
                std::lock_guard<std::mutex> guard(Workers().mutex);
                if (--Workers().count == 0)
                    Workers().ended.notify_all();
            }
        };
        std::thread thread([body = std::move(body)]() mutable {
            const Leaving leaving;
            // What body holds goes with it before the thread counts as gone.
            const std::function<void()> run = std::move(body);
            SetBelowNormalPriority();
            try {
                run();
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
        {
            std::lock_guard<std::mutex> guard(Workers().mutex);
            --Workers().count;
        }
        Trace("thread", "cannot start a worker thread: %s", e.what());
        return false;
    }
}

bool WaitForWorkerThreads(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(Workers().mutex);
    return Workers().ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                    [] { return Workers().count == 0; });
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
