#include "platform/shell/Shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/trace/Trace.h"

extern char** environ;

namespace {

class DesktopShellService : public ShellService {
public:
    bool StartProgram(const ProgramStartRecord& start) override {
        if (!DisplayAvailable()) {
            Trace("shell", "no display, %s not started", start.program.c_str());
            return false;
        }
        return StartDetachedProgram(start);
    }
};

DesktopShellService desktop;
std::atomic<ShellService*> installed{nullptr};

bool HoldsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Waits for the child in a thread of its own, so that it leaves no zombie.
void ReapInBackground(pid_t child) {
    try {
        std::thread([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        Trace("shell", "no thread to reap process %ld", static_cast<long>(child));
    }
}

}  // namespace

void SetShellService(ShellService* service) {
    installed.store(service);
}

bool DisplayAvailable() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

bool ShellOpen(std::string_view target) {
    if (target.empty() || target.front() == '-' || HoldsNul(target)) {
        Trace("shell", "refused to open \"%.*s\"", static_cast<int>(target.size()), target.data());
        return false;
    }
    const ProgramStartRecord start{"xdg-open", {std::string(target)}};
    ShellService* service = installed.load();
    return service ? service->StartProgram(start) : desktop.StartProgram(start);
}

bool StartDetachedProgram(const ProgramStartRecord& start, int* processId) {
    if (start.program.empty() || HoldsNul(start.program))
        return false;
    std::vector<std::string> texts{start.program};
    for (const std::string& argument : start.arguments) {
        if (HoldsNul(argument))
            return false;
        texts.push_back(argument);
    }
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &all);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = 0;
    const bool searched = start.program.find('/') == std::string::npos;
    const int result =
        searched ? ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ)
                 : ::posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        Trace("shell", "cannot start %s: %s", start.program.c_str(), std::strerror(result));
        return false;
    }
    ReapInBackground(child);
    if (processId)
        *processId = child;
    return true;
}
