#include "platform/shell/Shell.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/thread/Thread.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

using namespace std::string_literals;

namespace {

bool Reaped(int processId) {
    return ::kill(processId, 0) != 0 && errno == ESRCH;
}

}  // namespace

TEST(ShellTest, DetachedProgramGetsItsArgumentsVerbatimAndIsReaped) {
    const std::string folder = MakeTestFolder("shell");
    const std::string name = folder + "/a b; $(echo x) `y` 'z' \"q\" *";
    int processId = 0;
    ASSERT_TRUE(StartDetachedProgram({"touch", {name}}, &processId));
    EXPECT_GT(processId, 0);
    EXPECT_TRUE(WaitUntil([&] { return FileIsReadable(name); })) << "touch made no file";
    // The reaping thread is a worker: once the workers are gone, so is the child.
    ASSERT_TRUE(WaitForWorkerThreads(30000));
    EXPECT_TRUE(Reaped(processId)) << "the child was not reaped";
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(folder, &entries));
    EXPECT_EQ(entries.size(), 1u) << "one file, no shell expansion";
}

TEST(ShellTest, ProgramsThatCannotStart) {
    EXPECT_FALSE(StartDetachedProgram({"morvelle-no-such-program", {}}));
    EXPECT_FALSE(StartDetachedProgram({"/nonexistent/folder/program", {"x"}}));
    EXPECT_FALSE(StartDetachedProgram({"", {}}));
    EXPECT_FALSE(StartDetachedProgram({"touch", {"a\0b"s}}));
}

TEST(ShellTest, ShellOpenStartsTheOpenerWithOneArgument) {
    RecordingShell shell;
    EXPECT_TRUE(ShellOpen("http://example.test/?a=1&b=2"));
    ASSERT_EQ(shell.starts.size(), 1u);
    EXPECT_EQ(shell.starts[0].program, "xdg-open");
    EXPECT_EQ(shell.starts[0].arguments, StringArray{"http://example.test/?a=1&b=2"});
    for (const std::string& refused : {""s, "-x"s, "--help"s, "a\0b"s})
        EXPECT_FALSE(ShellOpen(refused)) << refused;
    EXPECT_EQ(shell.starts.size(), 1u);
}

TEST(ShellTest, WithoutDisplayTheDefaultStartsNothing) {
    // An empty PATH as well, so that no opener could be found whatever happens.
    const std::string empty = MakeTestFolder("no-programs");
    ScopedEnvironment path("PATH", empty.c_str());
    ScopedEnvironment display("DISPLAY", nullptr);
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
    EXPECT_FALSE(DisplayAvailable());
    EXPECT_FALSE(ShellOpen("http://example.test/"));
}
