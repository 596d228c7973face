#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/thread/Thread.h"
#include "tests/support/MessageBoxCheck.h"
#include "tests/support/TestEnvironment.h"

namespace {

std::string& HomeFolder() {
    static std::string home;
    return home;
}

}  // namespace

// The leak checker of the address-sanitizer build cannot see fontconfig's caches (it
// keeps them as offsets, not pointers), so what it keeps for the process's typeface
// would read as lost.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

const std::string& TestHomeFolder() {
    return HomeFolder();
}

std::string MakeTestFolder(const std::string& hint) {
    static std::atomic<int> counter{0};
    std::string path = HomeFolder() + "/t" + std::to_string(++counter) + "-" + hint;
    std::filesystem::create_directories(path);
    return path;
}

std::string FixturePath(const std::string& relative) {
    return std::string(MORVELLE_SOURCE_DIR) + "/tests/fixtures/" + relative;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "morvelle-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return 2;
    HomeFolder() = pattern;
    std::filesystem::create_directories(pattern + "/data");
    std::filesystem::create_directories(pattern + "/config");
    setenv("MORVELLE_DATA_HOME", (pattern + "/data").c_str(), 1);
    setenv("MORVELLE_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    MessageBoxCheck::Instance().Install();
    int result = RUN_ALL_TESTS();
    // The worker threads the tests left finishing end before the process does, so the
    // exit (and the leak check after it) never meets a thread halfway out. One that
    // waits for good (a band's job loop the test left open) is only given a moment.
    WaitForWorkerThreads(2000);
    if (!MessageBoxCheck::Instance().Finish() && result == 0)
        result = 1;
    std::error_code ignored;
    if (!std::getenv("MORVELLE_KEEP_TEST_HOME"))
        std::filesystem::remove_all(pattern, ignored);
    return result;
}
