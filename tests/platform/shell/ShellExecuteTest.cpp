#include "platform/shell/ShellExecute.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/shell/Shell.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

namespace {

// Records starts and answers the default program of text/html with a scripted entry.
class ScriptedShell : public ShellService {
public:
    explicit ScriptedShell(std::string htmlEntry) : htmlEntry_(std::move(htmlEntry)) {
        SetShellService(this);
    }
    ~ScriptedShell() override { SetShellService(nullptr); }
    bool StartProgram(const ProgramStartRecord& start) override {
        starts.push_back(start);
        return true;
    }
    std::string DefaultApplication(std::string_view mimeType) override {
        asked.emplace_back(mimeType);
        return mimeType == "text/html" ? htmlEntry_ : "";
    }
    std::vector<ProgramStartRecord> starts;
    std::vector<std::string> asked;

private:
    std::string htmlEntry_;
};

// A data folder with one desktop entry and a bin folder with its program.
struct DesktopFixture {
    DesktopFixture(const std::string& exec) {
        root = MakeTestFolder("desktop");
        std::filesystem::create_directories(root + "/share/applications");
        std::filesystem::create_directories(root + "/bin");
        EXPECT_TRUE(WriteFileBytes(root + "/share/applications/web.desktop",
                                   "[Desktop Action x]\nExec=/bin/false\n[Desktop Entry]\n"
                                   "Name=Web\nExec = " +
                                       exec + "\n"));
        EXPECT_TRUE(WriteFileBytes(root + "/bin/web browser", "#!/bin/sh\n"));
        ::chmod((root + "/bin/web browser").c_str(), 0755);
        EXPECT_TRUE(WriteFileBytes(root + "/bin/webby", "#!/bin/sh\n"));
        ::chmod((root + "/bin/webby").c_str(), 0755);
    }
    std::string root;
};

}  // namespace

TEST(ShellExecuteTest, FindExecutableAsksForTheHtmlHandlerAndReadsItsDesktopEntry) {
    ScriptedShell shell("web.desktop");
    ASSERT_TRUE(WriteFileBytes("c:\\_test.html", ""));
    struct Case {
        std::string exec;
        std::string expected;  // relative to the fixture root; "" for no program
    };
    const std::vector<Case> cases = {
        {"\"ROOT/bin/web browser\" %u", "/bin/web browser"},
        {"webby --new-window %U", "/bin/webby"},
        {"%u", ""},
        {"no-such-program-anywhere %u", ""},
    };
    for (const Case& c : cases) {
        std::string exec = c.exec;
        DesktopFixture desktop("");
        if (exec.find("ROOT") != std::string::npos)
            exec.replace(exec.find("ROOT"), 4, desktop.root);
        ASSERT_TRUE(WriteFileBytes(desktop.root + "/share/applications/web.desktop",
                                   "[Desktop Entry]\nExec=" + exec + "\n"));
        ScopedEnvironment data("XDG_DATA_HOME", (desktop.root + "/share").c_str());
        ScopedEnvironment path("PATH", (desktop.root + "/bin").c_str());
        std::string program = "stale";
        const INT_PTR result = FindExecutable("c:\\_test.html", "", &program);
        if (c.expected.empty()) {
            EXPECT_EQ(result, SE_ERR_NOASSOC) << c.exec;
            EXPECT_EQ(program, "") << c.exec;
        } else {
            EXPECT_GT(result, 32) << c.exec;
            EXPECT_EQ(program, desktop.root + c.expected) << c.exec;
        }
    }
    EXPECT_EQ(shell.asked.front(), "text/html");
    EXPECT_TRUE(shell.starts.empty()) << "finding starts nothing";
}

TEST(ShellExecuteTest, FindExecutableWithoutFileOrHandler) {
    std::string program;
    {
        ScriptedShell shell("");
        ASSERT_TRUE(WriteFileBytes("c:\\probe.htm", ""));
        EXPECT_EQ(FindExecutable("c:\\probe.htm", "", &program), SE_ERR_NOASSOC);
        EXPECT_EQ(FindExecutable("c:\\missing.htm", "", &program), SE_ERR_FNF);
        ASSERT_TRUE(WriteFileBytes("c:\\probe.txt", ""));
        EXPECT_EQ(FindExecutable("probe.txt", "c:", &program), SE_ERR_NOASSOC);
        EXPECT_TRUE(shell.asked.size() == 1u) << "a type without MIME asks nobody";
    }
    EXPECT_EQ(MimeTypeOfFile("c:\\A.HTML"), "text/html");
    EXPECT_EQ(MimeTypeOfFile("c:\\dir.htm\\x"), "");
}

TEST(ShellExecuteTest, ShellExecuteStartsAProgramWithAnArgumentVectorOrOpensADocument) {
    ScriptedShell shell("web.desktop");
    DesktopFixture desktop("webby");
    ScopedEnvironment path("PATH", (desktop.root + "/bin").c_str());
    EXPECT_GT(ShellExecute(nullptr, "open", desktop.root + "/bin/web browser", "", "", 1), 32);
    EXPECT_GT(ShellExecute(nullptr, "", "webby", "a \"b c\" $(x)", "", 1), 32);
    ASSERT_TRUE(WriteFileBytes("c:\\page.htm", ""));
    EXPECT_GT(ShellExecute(nullptr, "open", "c:\\page.htm", "ignored", "", 1), 32);
    EXPECT_EQ(ShellExecute(nullptr, "open", "", "", "", 1), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute(nullptr, "print", "webby", "", "", 1), SE_ERR_NOASSOC);
    ASSERT_EQ(shell.starts.size(), 3u);
    EXPECT_EQ(shell.starts[0].program, desktop.root + "/bin/web browser");
    EXPECT_TRUE(shell.starts[0].arguments.empty());
    EXPECT_EQ(shell.starts[1].program, desktop.root + "/bin/webby");
    EXPECT_EQ(shell.starts[1].arguments, (StringArray{"a", "b c", "$(x)"}));
    EXPECT_EQ(shell.starts[2].program, "xdg-open");
    EXPECT_EQ(shell.starts[2].arguments, StringArray{MapToLinuxPath("c:\\page.htm")});
}

TEST(ShellExecuteTest, TheStartedProgramInheritsNoDescriptorOfOurs) {
    const std::string folder = MakeTestFolder("fds");
    // A descriptor opened without close-on-exec, as a library might leave one.
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    const std::string listing = folder + "/fds";
    int processId = 0;
    ASSERT_TRUE(StartDetachedProgram({"sh",
                                      {"-c", "ls /proc/self/fd > '" + listing + ".part' && mv '" +
                                                 listing + ".part' '" + listing + "'"}},
                                     &processId));
    std::string contents;
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(listing, &contents); }))
        << "the child wrote no listing";
    ::close(held);
    // 0, 1, 2 and the listing's own descriptor of ls; nothing of ours.
    int count = 0;
    for (char c : contents)
        count += c == '\n';
    EXPECT_LE(count, 4) << contents;
}
