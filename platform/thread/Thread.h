// Thread ids, worker threads and sleeping.
#pragma once

#include <functional>

#include "platform/base/Types.h"

// The calling thread's id: a small number, given to each thread on its first call and
// never given to another thread. Never 0.
DWORD GetCurrentThreadId();

// Starts body on a new thread at below-normal priority. The thread is joined by the
// platform once it has left body; nobody else keeps a handle to it, so whoever needs to
// know when it ends must have body say so. An exception that
// escapes body ends the thread with one trace line on "thread". Returns false when no
// thread could be started (body is then not run).
bool StartWorkerThread(std::function<void()> body);

// Waits until every worker thread started so far has ended (left its body, run its
// thread-local destructors and been joined), for at most milliseconds; returns whether
// they all had. For a process's end, where threads that
// are still running are cut off by the exit.
bool WaitForWorkerThreads(DWORD milliseconds);

// Lowers the calling thread to below-normal priority (one step nicer than the process's
// main thread), where the system allows it; a refusal is ignored.
void SetBelowNormalPriority();

// Suspends the calling thread for at least the given time; 0 yields.
void Sleep(DWORD milliseconds);
