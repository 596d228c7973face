// A shell service for tests: installed while it lives, it records the programs it is
// asked to start (and starts none) and the MIME types asked for, and answers every type
// with defaultApplication ("": no program).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/Shell.h"

class RecordingShell : public ShellService {
public:
    RecordingShell() { SetShellService(this); }
    ~RecordingShell() override { SetShellService(nullptr); }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool StartProgram(const ProgramStartRecord& start) override {
        starts.push_back(start);
        return true;
    }
    std::string DefaultApplication(std::string_view mimeType) override {
        asked.emplace_back(mimeType);
        return defaultApplication;
    }

    std::vector<ProgramStartRecord> starts;
    std::vector<std::string> asked;
    std::string defaultApplication;
};
