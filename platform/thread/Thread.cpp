#include "platform/thread/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <list>
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

// The worker threads started and not joined yet. A thread that has left its body is
// joined by a reaper thread, which holds no lock while it joins, and the wait at a
// process's end returns only once every worker is joined: the exit, and the leak
// checker after it, never meet a thread still running its thread-local destructors or
// giving back its stack.
struct Worker {
    std::thread thread;
    bool done = false;
};

struct RunningWorkers {
    std::mutex mutex;
    std::condition_variable leftBody;  // wakes the reaper
    std::condition_variable joined;    // wakes the waits for the end
    std::list<Worker> workers;         // started, not yet taken to be joined
    size_t joining = 0;                // taken, being joined
    bool reaperStarted = false;

    bool AnyDone() const {
        for (const Worker& worker : workers)
            if (worker.done)
                return true;
        return false;
    }

    void Reap() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            leftBody.wait(lock, [&] { return AnyDone(); });
            std::list<Worker> done;
            for (auto it = workers.begin(); it != workers.end();) {
                const auto next = std::next(it);
                if (it->done)
                    done.splice(done.end(), workers, it);
                it = next;
            }
            joining += done.size();
            lock.unlock();
            for (Worker& worker : done)
                if (worker.thread.joinable())
                    worker.thread.join();
            const size_t count = done.size();
            done.clear();
            lock.lock();
            joining -= count;
            joined.notify_all();
        }
    }
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
    RunningWorkers& all = Workers();
    std::lock_guard<std::mutex> guard(all.mutex);
    try {
        if (!all.reaperStarted) {
            // The reaper lives as long as the process, waiting when there is nothing to join.
            std::thread([&all] { all.Reap(); }).detach();
            all.reaperStarted = true;
        }
    } catch (const std::system_error& e) {
        Trace("thread", "cannot start a worker thread: %s", e.what());
        return false;
    }
    const auto self = all.workers.emplace(all.workers.end());
    struct Leaving {
        std::list<Worker>::iterator self;
        ~Leaving() {
            RunningWorkers& all = Workers();
            std::lock_guard<std::mutex> guard(all.mutex);
            self->done = true;
            all.leftBody.notify_one();
        }
    };
    try {
        // The thread marks itself done under the mutex held here, so its handle is in
        // place before the reaper can take it.
        self->thread = std::thread([self, body = std::move(body)]() mutable {
            const Leaving leaving{self};
            // What body holds goes with it before the thread counts as done.
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
        return true;
    } catch (const std::system_error& e) {
        all.workers.erase(self);
        Trace("thread", "cannot start a worker thread: %s", e.what());
        return false;
    }
}

bool WaitForWorkerThreads(DWORD milliseconds) {
    RunningWorkers& all = Workers();
    std::unique_lock<std::mutex> lock(all.mutex);
    return all.joined.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [&] { return all.workers.empty() && all.joining == 0; });
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
