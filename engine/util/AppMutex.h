// The job mutex of a process, as its start-up creates it. The lock itself is the one
// process-wide re-entrant lock of platform/lock/ProcessLock.h, which exists from the
// start of the process; MutexLock always takes it, so nothing needs the handle to lock.
#pragma once

#include <string>
#include <utility>

class AppMutex {
public:
    explicit AppMutex(std::string name) : name_(std::move(name)) {}
    AppMutex(const AppMutex&) = delete;
    AppMutex& operator=(const AppMutex&) = delete;

    // A fresh NewGuidName (32 hexadecimal digits), private to the process.
    const std::string& GetName() const { return name_; }

private:
    std::string name_;
};

// The process's job mutex: made on the first call, the same one on every later call.
// Never null; lives until the process ends. Any thread.
AppMutex* CreateAppMutex();
