#include "platform/shell/Shell.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/thread/Thread.h"
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

// Waits for the child in a worker thread of its own, so that it leaves no zombie (and
// the thread is joined like every worker once the child has gone).
void ReapInBackground(pid_t child) {
    const bool started = StartWorkerThread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    });
    if (!started)
        Trace("shell", "no thread to reap process %ld", static_cast<long>(child));
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
    return ::StartProgram(start);
}

bool StartProgram(const ProgramStartRecord& start) {
    ShellService* service = installed.load();
    return service ? service->StartProgram(start) : desktop.StartProgram(start);
}

std::string ShellService::DefaultApplication(std::string_view mimeType) {
    return QueryDefaultApplication(mimeType);
}

std::string DefaultApplicationFor(std::string_view mimeType) {
    ShellService* service = installed.load();
    return service ? service->DefaultApplication(mimeType) : desktop.DefaultApplication(mimeType);
}

std::string QueryDefaultApplication(std::string_view mimeType) {
    if (mimeType.empty() || mimeType.front() == '-' || HoldsNul(mimeType))
        return {};
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    std::vector<std::string> texts{"xdg-mime", "query", "default", std::string(mimeType)};
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int result = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (result != 0) {
        ::close(pipeFds[0]);
        Trace("shell", "cannot run xdg-mime: %s", std::strerror(result));
        return {};
    }
    // The answer is one short line; a helper that hangs is killed after the limit.
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(child, SIGKILL);
            output.clear();
            break;
        }
        pollfd wait{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        char buffer[256];
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (output.size() < 4096)
            output.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const size_t end = output.find_first_of("\r\n");
    if (end != std::string::npos)
        output.resize(end);
    return output;
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
    // The child gets no descriptor of ours beyond the standard three: an open file or
    // socket of this process must not live on in a program it starts.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
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
