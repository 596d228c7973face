// Sollet's main dialog on the test's thread, in a registry store and shell of the test's
// own, with the loaders' time limits shortened; Pump serves the dialog's messages.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/shell/Shell.h"
#include "platform/timing/Timing.h"
#include "platform/ui/FileDialogs.h"
#include "platform/window/MessageLoop.h"
#include "programs/sollet/OneClickFinderDialog.h"
#include "programs/sollet/SolletIds.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/Wait.h"

// Answers every file chooser with the next scripted name ("" once they run out).
class ScriptedFileDialogs : public DialogService {
public:
    ScriptedFileDialogs() { SetDialogService(this); }
    ~ScriptedFileDialogs() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord&) override { return ""; }
    std::string ChooseFile(const FileDialogRecord& dialog) override {
        asked.push_back(dialog);
        if (answers.empty())
            return "";
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<std::string> answers;
    std::vector<FileDialogRecord> asked;
};

inline TimingRecord ShortLoaderTiming() {
    TimingRecord timing;
    timing.reachabilityProbeTimeoutMs = 500;
    timing.oneClickLoaderGuardMs = 1500;
    return timing;
}

class SolletTest : public testing::Test {
protected:
    void TearDown() override {
        if (dialog)
            dialog->DestroyWindow();
        dialog.reset();
        Pump();
    }

    // Makes the main dialog as the program does (modeless here, so the test can act).
    void Start(const std::string& startUrl) {
        dialog = std::make_unique<OneClickFinderDialog>(startUrl);
        ASSERT_TRUE(dialog->Create()) << "dialog 213 could not be made";
    }

    // Serves what is pending for this thread's windows.
    static void Pump() {
        for (int round = 0; round < 50; ++round) {
            MSG msg;
            if (!PeekMessage(&msg, PM_NOREMOVE))
                return;
            ServePendingMessages(nullptr);
        }
    }

    // Serves messages until the search has ended and every report is in.
    bool WaitForSearchEnd(std::uint32_t pages) {
        return WaitUntil(
            [&] {
                ServePendingMessages(nullptr);
                return !dialog->Searching() && dialog->PagesVisited() >= pages;
            },
            std::chrono::seconds(30));
    }

    HWND Item(int id) const { return GetDlgItem(dialog->m_hWnd, id); }
    std::string Text(int id) const { return GetDlgItemText(dialog->m_hWnd, id); }

    ScopedRegistryStore registry;
    RecordingShell shell;
    ScopedTiming timing{ShortLoaderTiming()};
    std::unique_ptr<OneClickFinderDialog> dialog;
};
