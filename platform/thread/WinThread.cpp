#include "platform/thread/WinThread.h"

#include <cassert>
#include <exception>
#include <future>
#include <system_error>

#include "platform/lock/ProcessLock.h"
#include "platform/thread/Thread.h"
#include "platform/trace/Trace.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/MessageSystem.h"

WinThread::~WinThread() {
    if (!thread_.joinable())
        return;
    assert(false && "a started WinThread is destroyed before it was joined");
    PostQuit();
    Join();
}

bool WinThread::CreateThread() {
    if (thread_.joinable() || threadId_.load() != 0)
        return false;
    std::promise<void> started;
    std::future<void> queueReady = started.get_future();
    try {
        thread_ = std::thread([this, started = std::move(started)]() mutable {
            SetBelowNormalPriority();
            CurrentThreadQueue();
            threadId_.store(GetCurrentThreadId());
            started.set_value();
            ThreadMain();
        });
    } catch (const std::system_error& e) {
        Trace("thread", "cannot start a user-interface thread: %s", e.what());
        return false;
    }
    queueReady.wait();
    return true;
}

bool WinThread::InitInstance() {
    return true;
}

int WinThread::Run() {
    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    return static_cast<int>(msg.wParam);
}

int WinThread::ExitInstance() {
    return quitCode_;
}

void WinThread::PostQuit(int exitCode) {
    const DWORD id = threadId_.load();
    if (id != 0)
        PostThreadMessage(id, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

void WinThread::Join() {
    AssertProcessLockNotHeld();
    if (!thread_.joinable())
        return;
    assert(thread_.get_id() != std::this_thread::get_id() && "a WinThread joins itself");
    thread_.join();
}

void WinThread::ThreadMain() {
    try {
        if (InitInstance())
            quitCode_ = Run();
    } catch (const std::exception& e) {
        Trace("thread", "user-interface thread %u: %s", GetCurrentThreadId(), e.what());
    } catch (...) {
        Trace("thread", "user-interface thread %u: exception", GetCurrentThreadId());
    }
    try {
        exitCode_ = ExitInstance();
    } catch (...) {
        Trace("thread", "user-interface thread %u: exception on exit", GetCurrentThreadId());
    }
}
