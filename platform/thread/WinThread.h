// A user-interface thread: it runs InitInstance, then a message loop until WM_QUIT,
// then ExitInstance, all on the new thread at below-normal priority.
//
// The owner ends it with PostQuit and Join. A started WinThread must be joined before it
// is destroyed: its thread calls the object's virtual functions until it ends, so a
// derived class quits and joins in its own destructor at the latest. Destroying one that
// was started and not joined is a bug (asserted in debug builds; release builds quit and
// join in the base destructor as a last resort).
#pragma once

#include <atomic>
#include <thread>

#include "platform/base/Types.h"

class WinThread {
public:
    WinThread() = default;
    virtual ~WinThread();
    WinThread(const WinThread&) = delete;
    WinThread& operator=(const WinThread&) = delete;

    // Starts the thread and returns once its message queue exists, so PostQuit and
    // messages posted from now on reach it. False when no thread could be started, or
    // when this object was started before. Any thread.
    bool CreateThread();

    // Runs first on the new thread. False ends the thread without the message loop
    // (ExitInstance still runs). The default answers true.
    virtual bool InitInstance();

    // The message loop: GetMessage and DispatchMessage until WM_QUIT; returns its code.
    virtual int Run();

    // Runs last on the thread, after the loop or after a failed InitInstance; returns the
    // thread's exit code. The default returns the WM_QUIT code (0 when there was none).
    virtual int ExitInstance();

    // Asks the loop to end with exitCode after the messages posted before this. Does not
    // wait. Harmless once the thread has ended. Any thread.
    void PostQuit(int exitCode = 0);

    // Waits until the thread has ended (at once when it was never started or has been
    // joined). Not on the thread itself, and never with the process lock held.
    void Join();

    // The thread's id (GetCurrentThreadId on it); 0 before CreateThread.
    DWORD GetThreadId() const { return threadId_.load(); }

    // ExitInstance's answer; read it after Join.
    int GetExitCode() const { return exitCode_; }

private:
    void ThreadMain();

    int quitCode_ = 0;  // what Run returned

    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    int exitCode_ = 0;
};
