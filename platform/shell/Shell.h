// The shell: folders, URLs and mail addresses opened with the desktop's own programs.
//
// Every start goes through a shell service. The default one starts the program with its
// argument vector (never through a command interpreter) and does not wait for it: the
// child is reaped in the background, so no caller ever blocks and no zombie is left.
// Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) the default starts nothing
// and leaves a trace line on "shell", since there is no desktop to open anything on.
// Tests install a recording service. All calls are safe on any thread.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

// A program to start: its name (searched in PATH when it holds no "/") and arguments,
// not counting the program itself.
struct ProgramStartRecord {
    std::string program;
    StringArray arguments;
};

class ShellService {
public:
    virtual ~ShellService() = default;
    // Starts the program without waiting for it; true when it was started.
    virtual bool StartProgram(const ProgramStartRecord& start) = 0;
    // The desktop entry ("firefox.desktop") of the default program for a MIME type, ""
    // when there is none. The default asks "xdg-mime query default <type>"
    // (QueryDefaultApplication).
    virtual std::string DefaultApplication(std::string_view mimeType);
};

// Installs a service for the rest of the process (null restores the default). The caller
// keeps ownership and keeps it alive while installed.
void SetShellService(ShellService* service);

// True when a display is there to open things on.
bool DisplayAvailable();

// Opens a URL ("http://...", "mailto:...") or a Linux path with the desktop's default
// program, "xdg-open". False (nothing started) for an empty target, one holding a NUL,
// or one that starts with "-" (which the opener would take for an option; give a path as
// "./-name").
bool ShellOpen(std::string_view target);

// Runs "xdg-mime query default <mimeType>" and answers the first line it prints; ""
// when it cannot run, fails, or has not answered within a few seconds (it is then
// killed). Blocks the calling thread meanwhile.
std::string QueryDefaultApplication(std::string_view mimeType);

// The installed service's answer (see ShellService::DefaultApplication).
std::string DefaultApplicationFor(std::string_view mimeType);

// Starts the program detached: stdin from /dev/null, stdout and stderr shared, no other
// descriptor of this process inherited, the signal mask and dispositions reset; a
// thread of its own reaps it when it ends. The default service's way of starting. processId
// (optional) receives the child's id. False when the program could not be started (not found, not
// executable).
bool StartDetachedProgram(const ProgramStartRecord& start, int* processId = nullptr);

// Starts the program through the installed service (the default one unless a test
// installed another); false when it was not started.
bool StartProgram(const ProgramStartRecord& start);
