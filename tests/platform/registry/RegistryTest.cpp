#include "platform/registry/Registry.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/registry/RegistryStore.h"
#include "tests/support/TestEnvironment.h"

extern char** environ;

namespace {

const BYTE* Bytes(const char* text) {
    return reinterpret_cast<const BYTE*>(text);
}
const BYTE* Bytes(const std::string& text) {
    return reinterpret_cast<const BYTE*>(text.data());
}

// Every test gets a store of its own, in a fresh configuration folder.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = getenv("MORVELLE_CONFIG_HOME"))
            oldHome_ = old;
        home_ = MakeTestFolder("config");
        setenv("MORVELLE_CONFIG_HOME", home_.c_str(), 1);
        ASSERT_EQ(RegistryStorePath(), home_ + "/registry");
    }
    void TearDown() override {
        for (HKEY key : open_)
            EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        setenv("MORVELLE_CONFIG_HOME", oldHome_.c_str(), 1);
    }

    HKEY Create(HKEY parent, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(parent, path, &key), ERROR_SUCCESS) << path;
        if (key)
            open_.push_back(key);
        return key;
    }

    std::string StoreText() {
        std::string text;
        EXPECT_TRUE(ReadFileBytes(RegistryStorePath(), &text));
        return text;
    }

    std::string home_;
    std::string oldHome_;
    std::vector<HKEY> open_;
};

// Runs this test program again as a child process that executes one registry task
// (RegistryChildProcess.DISABLED_Task) on the given store.
pid_t StartChild(const std::string& task, const std::string& configHome) {
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e)
        variables.emplace_back(*e);
    variables.push_back("MORVELLE_REGISTRY_CHILD_TASK=" + task);
    variables.push_back("MORVELLE_REGISTRY_CHILD_HOME=" + configHome);
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=RegistryChildProcess.DISABLED_Task";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {program.data(), filter.data(), disabled.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1;
    return pid;
}

int WaitForChild(pid_t pid) {
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// The child's side of the process tests; skipped unless started by StartChild.
TEST(RegistryChildProcess, DISABLED_Task) {
    const char* task = getenv("MORVELLE_REGISTRY_CHILD_TASK");
    const char* home = getenv("MORVELLE_REGISTRY_CHILD_HOME");
    if (!task || !home)
        GTEST_SKIP() << "run by the registry process tests only";
    setenv("MORVELLE_CONFIG_HOME", home, 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &key),
              ERROR_SUCCESS);
    const std::string what = task;
    if (what == "values") {
        ASSERT_EQ(RegSetValueEx(key, "show", REG_SZ, Bytes("true"), 4), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueEx(key, "empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);
        const DWORD number = 0xDEADBEEF;
        ASSERT_EQ(RegSetValueEx(key, "n", REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
                  ERROR_SUCCESS);
    } else {
        for (int i = 0; i < 150; ++i) {
            const std::string name = what + std::to_string(i);
            ASSERT_EQ(RegSetValueEx(key, name, REG_SZ, Bytes(name), name.size()), ERROR_SUCCESS);
        }
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, KeysAreCreatedOpenedAndClosed) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &key, &disposition),
              ERROR_SUCCESS);
    open_.push_back(key);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY again = nullptr;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\morvelle\\BRISQUEL", &again, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(again), ERROR_INVALID_HANDLE) << "a closed handle is refused";

    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\MORVELLE\\", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(RegEnumKeyEx(opened, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Brisquel") << "the stored name keeps its case";
    EXPECT_EQ(RegCloseKey(opened), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Morvelle", 0, KEY_READ, &opened),
              ERROR_FILE_NOT_FOUND)
        << "hives are apart";

    for (const char* bad : {"\\Software", "Software\\\\Morvelle", "\\"}) {
        EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, bad, &opened), ERROR_INVALID_PARAMETER) << bad;
    }
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "x", nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    int notAKey = 0;
    EXPECT_EQ(RegSetValueEx(reinterpret_cast<HKEY>(&notAKey), "x", REG_SZ, Bytes("x"), 1),
              ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndExactLength) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel");
    ASSERT_EQ(RegSetValueEx(key, "show", REG_SZ, Bytes("true"), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "storage", REG_SZ, Bytes("c:\\tmp"), 7), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "", REG_SZ, Bytes("default"), 7), ERROR_SUCCESS);
    const DWORD number = 42;
    ASSERT_EQ(RegSetValueEx(key, "n", REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_SUCCESS);
    std::string every;
    for (int c = 0; c < 256; ++c)
        every.push_back(static_cast<char>(c));
    ASSERT_EQ(RegSetValueEx(key, "every", REG_BINARY, Bytes(every), 256), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "odd", 7, Bytes("a\0b"), 3), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "bad", REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);

    struct Case {
        const char* name;
        DWORD type;
        std::string data;
    } cases[] = {
        {"show", REG_SZ, "true"},
        {"SHOW", REG_SZ, "true"},
        {"storage", REG_SZ, std::string("c:\\tmp\0", 7)},
        {"empty", REG_BINARY, ""},
        {"", REG_SZ, "default"},
        {"n", REG_DWORD, std::string("\x2a\0\0\0", 4)},
        {"every", REG_BINARY, every},
        {"odd", 7, std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        DWORD type = 99, size = 12345;
        ASSERT_EQ(RegQueryValueEx(key, c.name, &type, nullptr, &size), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(size, c.data.size()) << c.name;
        std::vector<BYTE> buffer(c.data.size() + 8, 0xAA);
        DWORD room = static_cast<DWORD>(buffer.size());
        ASSERT_EQ(RegQueryValueEx(key, c.name, nullptr, buffer.data(), &room), ERROR_SUCCESS);
        EXPECT_EQ(room, c.data.size());
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), room), c.data) << c.name;
        EXPECT_EQ(buffer[room], 0xAA) << "nothing is written past the value";
        std::string whole;
        ASSERT_EQ(RegQueryValueBytes(key, c.name, &type, &whole), ERROR_SUCCESS);
        EXPECT_EQ(whole, c.data);
    }

    BYTE small[3] = {1, 2, 3};
    DWORD room = sizeof small;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueEx(key, "show", &type, small, &room), ERROR_MORE_DATA);
    EXPECT_EQ(room, 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RegQueryValueEx(key, "show", nullptr, small, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueEx(key, "missing", &type, nullptr, &room), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, "missing", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, "empty", nullptr, nullptr, nullptr), ERROR_SUCCESS);

    ASSERT_EQ(RegSetValueEx(key, "SHOW", REG_BINARY, Bytes("x"), 1), ERROR_SUCCESS);
    std::string name, data;
    ASSERT_EQ(RegEnumValue(key, 5, &name, &type, &data),
              ERROR_SUCCESS);  // "", empty, every, n, odd, show
    EXPECT_EQ(name, "show") << "a value set again keeps its first name";
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, "x");

    const std::string text = StoreText();
    EXPECT_NE(text.find("key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Brisquel\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("value \"storage\" sz \"c:\\tmp%00\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("value \"n\" dword hex:2a000000\n"), std::string::npos) << text;
}

TEST_F(RegistryTest, EnumerationIsInNameOrder) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Order");
    for (const char* name : {"b", "A", "c", "_"}) {
        HKEY child = Create(key, name);
        ASSERT_EQ(RegSetValueEx(key, name, REG_SZ, Bytes(name), 1), ERROR_SUCCESS);
        (void)child;
    }
    const std::vector<std::string> expected = {"_", "A", "b", "c"};
    for (DWORD i = 0; i < expected.size(); ++i) {
        std::string name;
        DWORD type = 0;
        std::string data;
        ASSERT_EQ(RegEnumKeyEx(key, i, &name), ERROR_SUCCESS);
        EXPECT_EQ(name, expected[i]);
        ASSERT_EQ(RegEnumValue(key, i, &name, &type, &data), ERROR_SUCCESS);
        EXPECT_EQ(name, expected[i]);
        EXPECT_EQ(data, expected[i]);
    }
    std::string name;
    EXPECT_EQ(RegEnumKeyEx(key, 4, &name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValue(key, 4, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValue(key, 0, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryTest, DeletingValuesKeysAndTrees) {
    HKEY top = Create(HKEY_CURRENT_USER, "Software\\Top");
    HKEY inner = Create(top, "Inner\\Deep");
    ASSERT_EQ(RegSetValueEx(inner, "v", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(top, "v", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteValue(top, "missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(top, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(top, "v", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteKey(top, "Inner"), ERROR_ACCESS_DENIED) << "it has sub-keys";
    EXPECT_EQ(RegDeleteKey(top, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED) << "never a hive";
    EXPECT_EQ(RegDeleteTree(top, "inner"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(inner, "v", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(inner, "v", REG_SZ, Bytes("x"), 1), ERROR_KEY_DELETED);
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyEx(top, "Inner", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTree(top, "Inner"), ERROR_FILE_NOT_FOUND);

    Create(top, "A\\B");
    ASSERT_EQ(RegSetValueEx(top, "w", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTree(top, ""), ERROR_SUCCESS) << "empties the key itself";
    std::string name;
    EXPECT_EQ(RegEnumKeyEx(top, 0, &name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValue(top, 0, &name, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegSetValueEx(top, "still", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);

    HKEY leaf = Create(top, "Leaf");
    EXPECT_EQ(RegDeleteKey(leaf, ""), ERROR_SUCCESS) << "a key deletes itself";
    EXPECT_EQ(RegEnumKeyEx(top, 0, &name), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, ReadOnlyHandlesRefuseChanges) {
    Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel");
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", 0, KEY_READ, &reader),
              ERROR_SUCCESS);
    open_.push_back(reader);
    EXPECT_EQ(RegSetValueEx(reader, "x", REG_SZ, Bytes("x"), 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(reader, "x"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyEx(reader, "Child", &child), ERROR_ACCESS_DENIED);
    HKEY writer = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", 0, KEY_WRITE, &writer),
        ERROR_SUCCESS);
    open_.push_back(writer);
    EXPECT_EQ(RegSetValueEx(writer, "x", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(reader, "x", nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryTest, AnotherProcessSeesExactValues) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel");
    ASSERT_EQ(RegSetValueEx(key, "before", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueEx(key, "show", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(WaitForChild(StartChild("values", home_)), 0);

    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key, "show", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u) << "no NUL was added";
    ASSERT_EQ(RegQueryValueEx(key, "empty", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 0u);
    DWORD number = 0;
    size = sizeof number;
    ASSERT_EQ(RegQueryValueEx(key, "n", &type, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 0xDEADBEEFu);
    EXPECT_EQ(RegQueryValueEx(key, "before", nullptr, nullptr, nullptr), ERROR_SUCCESS)
        << "the child kept what this process wrote";
}

TEST_F(RegistryTest, ConcurrentWritersInTwoProcessesLoseNothing) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel");
    const pid_t first = StartChild("first", home_);
    const pid_t second = StartChild("second", home_);
    for (int i = 0; i < 50; ++i) {
        const std::string name = "parent" + std::to_string(i);
        ASSERT_EQ(RegSetValueEx(key, name, REG_SZ, Bytes(name), name.size()), ERROR_SUCCESS);
    }
    ASSERT_EQ(WaitForChild(first), 0);
    ASSERT_EQ(WaitForChild(second), 0);
    for (const char* prefix : {"first", "second", "parent"}) {
        const int count = std::strcmp(prefix, "parent") == 0 ? 50 : 150;
        for (int i = 0; i < count; ++i) {
            const std::string name = prefix + std::to_string(i);
            std::string data;
            ASSERT_EQ(RegQueryValueBytes(key, name, nullptr, &data), ERROR_SUCCESS) << name;
            EXPECT_EQ(data, name);
        }
    }
    std::string name;
    EXPECT_EQ(RegEnumValue(key, 350, &name, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, ConcurrentThreadsLoseNothing) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([key, t] {
            HKEY own = nullptr;
            ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Threads", &own), ERROR_SUCCESS);
            for (int i = 0; i < 40; ++i) {
                const std::string name = std::to_string(t) + "-" + std::to_string(i);
                EXPECT_EQ(RegSetValueEx(i % 2 ? own : key, name, REG_SZ, Bytes(name), name.size()),
                          ERROR_SUCCESS);
                std::string data;
                EXPECT_EQ(RegQueryValueBytes(key, name, nullptr, &data), ERROR_SUCCESS);
            }
            EXPECT_EQ(RegCloseKey(own), ERROR_SUCCESS);
        });
    }
    for (std::thread& t : threads)
        t.join();
    DWORD count = 0;
    std::string name;
    while (RegEnumValue(key, count, &name, nullptr, nullptr) == ERROR_SUCCESS)
        ++count;
    EXPECT_EQ(count, 160u);
}

TEST_F(RegistryTest, CorruptStoreIsKeptAsideAndReported) {
    const std::string garbage = "this is no registry\nkey \"x\n";
    ASSERT_TRUE(WriteFileBytes(RegistryStorePath(), garbage));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
        << "the store starts empty";
    const std::string report = RegistryStoreReport();
    EXPECT_NE(report.find("cannot be read"), std::string::npos) << report;
    EXPECT_NE(report.find("registry.corrupt-"), std::string::npos) << report;

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(home_, &entries));
    std::string aside;
    for (const FolderEntry& e : entries) {
        if (e.name.rfind("registry.corrupt-", 0) == 0)
            aside = home_ + "/" + e.name;
    }
    ASSERT_FALSE(aside.empty());
    std::string kept;
    ASSERT_TRUE(ReadFileBytes(aside, &kept));
    EXPECT_EQ(kept, garbage) << "the bad file is kept as it was";

    key = Create(HKEY_CURRENT_USER, "Software\\Fresh");
    ASSERT_EQ(RegSetValueEx(key, "v", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    std::string fresh;
    ASSERT_TRUE(ReadFileBytes(aside, &fresh));
    EXPECT_EQ(fresh, garbage) << "a new store never overwrites the kept one";
    EXPECT_NE(StoreText().find("Fresh"), std::string::npos);
}

namespace {

// The side files beside the store, by name.
std::vector<std::string> SideFiles(const std::string& home) {
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(ListFolder(home, &entries));
    std::vector<std::string> names;
    for (const FolderEntry& e : entries) {
        if (e.name.rfind("registry.corrupt-", 0) == 0)
            names.push_back(home + "/" + e.name);
    }
    return names;
}

// A key line naming a key levels deep below HKEY_CURRENT_USER.
std::string DeepKeyLine(size_t levels) {
    std::string line = "key \"HKEY_CURRENT_USER";
    for (size_t i = 0; i < levels; ++i)
        line += "\\k";
    return line + "\"";
}

}  // namespace

TEST_F(RegistryTest, KeysDeeperThanTheLimitAreRefused) {
    std::string path = "k";
    for (size_t i = 1; i < kMaxRegistryKeyDepth; ++i)
        path += "\\k";
    HKEY deepest = Create(HKEY_CURRENT_USER, path.c_str());
    ASSERT_NE(deepest, nullptr);
    HKEY refused = nullptr;
    EXPECT_EQ(RegCreateKeyEx(deepest, "one more", &refused), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path + "\\k", &refused), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused, nullptr);
    // The deepest key takes values and reads back from the file in another process's
    // way: written whole, read whole.
    ASSERT_EQ(RegSetValueEx(deepest, "v", REG_SZ, Bytes("x"), 1), ERROR_SUCCESS);
    RegistryTree tree;
    std::string error;
    EXPECT_TRUE(ParseRegistryStore(StoreText(), &tree, &error)) << error;
    EXPECT_NE(StoreText().find(DeepKeyLine(kMaxRegistryKeyDepth) + "\nvalue \"v\""),
              std::string::npos);
}

TEST_F(RegistryTest, ADeepKeyInTheFileIsSetAsideAndTheRestKept) {
    // 50,000 levels: about 100 KB of text, a tree that a recursive writer cannot write.
    const std::string deep = DeepKeyLine(50000);
    const std::string text =
        "morvelle-registry 1\n"
        "key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Brisquel\"\n"
        "value \"show\" sz \"true\"\n" +
        deep + "\nvalue \"lost\" sz \"x\"\n" +
        "key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Tallowmere\"\n"
        "value \"depth\" sz \"2\"\n";
    ASSERT_TRUE(WriteFileBytes(RegistryStorePath(), text));

    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Tallowmere");
    ASSERT_EQ(RegSetValueEx(key, "site", REG_SZ, Bytes("a"), 1), ERROR_SUCCESS)
        << "settings are written";
    EXPECT_EQ(StoreText(),
              "morvelle-registry 1\n"
              "# Registry keys and values; names and texts are quoted with %XX "
              "escapes.\n"
              "key \"HKEY_CURRENT_USER\"\n"
              "key \"HKEY_CURRENT_USER\\Software\"\n"
              "key \"HKEY_CURRENT_USER\\Software\\Morvelle\"\n"
              "key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Brisquel\"\n"
              "value \"show\" sz \"true\"\n"
              "key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Tallowmere\"\n"
              "value \"depth\" sz \"2\"\n"
              "value \"site\" sz \"a\"\n");
    const std::vector<std::string> aside = SideFiles(home_);
    ASSERT_EQ(aside.size(), 1u);
    std::string kept;
    ASSERT_TRUE(ReadFileBytes(aside[0], &kept));
    EXPECT_NE(kept.find("# line 4: key too deep\n" + deep + "\n"), std::string::npos);
    EXPECT_NE(kept.find("value \"lost\" sz \"x\"\n"), std::string::npos);
    const std::string report = RegistryStoreReport();
    EXPECT_NE(report.find("2 lines cannot be read (line 4: key too deep)"), std::string::npos)
        << report;
    EXPECT_NE(report.find(aside[0]), std::string::npos) << report;
}

TEST_F(RegistryTest, ACutLineIsSetAsideAndEveryWellFormedKeyKept) {
    HKEY brisquel = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel");
    HKEY server = Create(HKEY_CLASSES_ROOT, "CLSID\\{1234}\\InprocServer32");
    HKEY other = Create(HKEY_CURRENT_USER, "Software\\Morvelle\\Harrowby");
    for (const char* name : {"depth", "folder", "show"})
        ASSERT_EQ(RegSetValueEx(brisquel, name, REG_SZ, Bytes(name), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(server, "", REG_SZ, Bytes("/lib/Corvane.so"), 15), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(other, "depth", REG_SZ, Bytes("3"), 1), ERROR_SUCCESS);
    const std::string whole = StoreText();
    const std::string brisquelKey = "key \"HKEY_CURRENT_USER\\Software\\Morvelle\\Brisquel\"\n";
    const std::string brisquelValues =
        "value \"depth\" sz \"dep\"\nvalue \"folder\" sz \"fol\"\nvalue \"show\" sz \"sho\"\n";
    ASSERT_NE(whole.find(brisquelKey + brisquelValues), std::string::npos) << whole;

    struct Case {
        const char* what;
        std::string lines;  // lines of the whole store, in a row
        std::string cut;    // what stands in their place
        size_t linesAside;
    };
    const Case cases[] = {
        {"a value line cut short", "value \"folder\" sz \"fol\"\n", "value \"folder\" sz \"f\n", 1},
        {"a value line broken in two", "value \"folder\" sz \"fol\"\n",
         "value \"folder\" sz \"f\nol\"\n", 2},
        // The values after a key line that cannot be read are set aside with it, never
        // given to the key before it.
        {"a key line broken in two", brisquelKey + brisquelValues,
         "key \"HKEY_CURRENT_USER\\Software\\Mor\nvelle\\Brisquel\"\n" + brisquelValues, 5},
        {"the last line cut without its line end",
         whole.substr(whole.rfind('\n', whole.size() - 2) + 1), "value \"depth\" sz \"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& old : SideFiles(home_))
            ASSERT_TRUE(DeleteFile(old));
        std::string text = whole;
        const size_t at = text.find(c.lines);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, c.lines.size(), c.cut);
        ASSERT_TRUE(WriteFileBytes(RegistryStorePath(), text));

        // Read on, without the lines that could not be read.
        std::string value;
        EXPECT_EQ(RegQueryValueBytes(server, "", nullptr, &value), ERROR_SUCCESS);
        EXPECT_EQ(value, "/lib/Corvane.so");
        std::string expected = whole;
        expected.erase(at, c.lines.size());
        EXPECT_EQ(StoreText(), expected) << "the store is written back without them";

        const std::vector<std::string> aside = SideFiles(home_);
        ASSERT_EQ(aside.size(), 1u);
        std::string kept;
        ASSERT_TRUE(ReadFileBytes(aside[0], &kept));
        for (size_t from = 0, end = 0; from < c.cut.size(); from = end + 1) {
            end = std::min(c.cut.find('\n', from), c.cut.size());
            EXPECT_NE(kept.find("\n" + c.cut.substr(from, end - from) + "\n"), std::string::npos)
                << kept;
        }
        const std::string count =
            std::to_string(c.linesAside) +
            (c.linesAside == 1 ? " line cannot be read" : " lines cannot be read");
        EXPECT_NE(RegistryStoreReport().find(count), std::string::npos) << RegistryStoreReport();
        EXPECT_NE(RegistryStoreReport().find(aside[0]), std::string::npos);

        // The next call finds a sound store and sets nothing more aside.
        EXPECT_EQ(RegSetValueEx(other, "depth", REG_SZ, Bytes("4"), 1), ERROR_SUCCESS);
        EXPECT_EQ(SideFiles(home_).size(), 1u);
    }
}

TEST(RegistryStoreFormatTest, HostileNamesAndBytesRoundTrip) {
    RegistryTree tree;
    auto& key = tree.hives[1].subKeys["a \"quoted\" %41 name\n\twith\x7f bytes \xC3\xA4"];
    key = std::make_unique<RegistryKeyNode>();
    key->values["\"%\r\n"] = RegistryValue{REG_SZ, std::string("line\r\nnext\0", 11)};
    key->values["bin"] = RegistryValue{REG_BINARY, std::string("\0\xff", 2)};
    key->values["none"] = RegistryValue{REG_NONE, ""};
    key->values["big"] = RegistryValue{0xFFFFFFFFu, "x"};
    key->subKeys["empty child"] = std::make_unique<RegistryKeyNode>();
    tree.hives[0].values[""] = RegistryValue{REG_SZ, "default"};

    const std::string text = FormatRegistryStore(tree);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    RegistryTree back;
    std::string error;
    ASSERT_TRUE(ParseRegistryStore(text, &back, &error)) << error << "\n" << text;
    EXPECT_EQ(FormatRegistryStore(back), text);
    const auto& again = back.hives[1].subKeys.begin()->second;
    EXPECT_EQ(again->values.at("\"%\r\n").data, std::string("line\r\nnext\0", 11));
    EXPECT_EQ(again->values.at("bin").data, std::string("\0\xff", 2));
    EXPECT_EQ(again->values.at("big").type, 0xFFFFFFFFu);
    EXPECT_EQ(again->subKeys.size(), 1u);
    EXPECT_EQ(back.hives[0].values.at("").data, "default");
}

TEST(RegistryStoreFormatTest, MalformedTextsAreRefused) {
    const std::string header = "morvelle-registry 1\n";
    const std::string key = "key \"HKEY_CURRENT_USER\\Software\"\n";
    const char* bodies[] = {
        "value \"v\" sz \"x\"\n",            // a value before any key
        "key \"HKEY_NOWHERE\\x\"\n",         // no such hive
        "key \"HKEY_CURRENT_USER\\\\x\"\n",  // an empty key name
        "key HKEY_CURRENT_USER\n",           // not quoted
    };
    for (const char* body : bodies) {
        RegistryTree tree;
        std::string error;
        EXPECT_FALSE(ParseRegistryStore(header + body, &tree, &error)) << body;
        EXPECT_FALSE(error.empty());
    }
    const char* values[] = {
        "value \"v\" sz \"x%G1\"\n",
        "value \"v\" sz \"unterminated\n",
        "value \"v\" sz \"a\"b\"\n",
        "value \"v\" binary hex:abc\n",
        "value \"v\" binary hex:zz\n",
        "value \"v\" strange \"x\"\n",
        "value \"v\" 4294967296 \"x\"\n",
        "value \"v\" sz \"x\" extra\n",
        "value \"v\" sz \"x\"\nvalue \"V\" sz \"y\"\n",
        "value \"v\" sz \"tab\there\"\n",
        "wrong line\n",
    };
    for (const char* body : values) {
        RegistryTree tree;
        std::string error;
        EXPECT_FALSE(ParseRegistryStore(header + key + body, &tree, &error)) << body;
    }
    RegistryTree tree;
    std::string error;
    EXPECT_FALSE(ParseRegistryStore("no header\n", &tree, &error));
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    EXPECT_TRUE(ParseRegistryStore("", &tree, &error)) << "an empty file is an empty store";
    EXPECT_TRUE(ParseRegistryStore("# note\n" + header + key + "\n# note\n", &tree, &error));
}

TEST(RegistryStoreFormatTest, ReadingOnListsTheBadLinesAndKeepsTheRest) {
    const std::string header = "morvelle-registry 1\n";
    const std::string key = "key \"HKEY_CURRENT_USER\\Software\"\n";
    const std::string after = "value \"after\" sz \"kept\"\n";
    struct Case {
        std::string body;
        std::vector<size_t> badLines;
        bool afterKept;  // the value after the body still has its key
    };
    const Case cases[] = {
        {"value \"v\" sz \"x%G1\"\n", {3}, true},
        {"value \"v\" binary hex:abc\n", {3}, true},
        {"value \"v\" sz \"x\"\nvalue \"V\" sz \"y\"\n", {4}, true},
        {"wrong line\n", {3}, true},
        {"key \"HKEY_NOWHERE\\x\"\n", {3, 4}, false},
        {"key \"HKEY_CURRENT_USER\\\\x\"\n", {3, 4}, false},
        {"key \"HKEY_CURRENT_USER\\cut\n", {3, 4}, false},
        {DeepKeyLine(kMaxRegistryKeyDepth + 1) + "\n", {3, 4}, false},
    };
    for (const Case& c : cases) {
        RegistryTree tree;
        std::string error;
        std::vector<RegistryBadLine> bad;
        ASSERT_TRUE(ParseRegistryStore(header + key + c.body + after, &tree, &error, &bad))
            << c.body;
        std::vector<size_t> numbers;
        for (const RegistryBadLine& line : bad)
            numbers.push_back(line.number);
        EXPECT_EQ(numbers, c.badLines) << c.body;
        const auto& software = tree.hives[1].subKeys.at("Software");
        EXPECT_EQ(software->values.count("after"), c.afterKept ? 1u : 0u) << c.body;
        EXPECT_EQ(software->subKeys.size(), 0u) << "no part of a bad key line is created";
    }
    RegistryTree tree;
    std::string error;
    std::vector<RegistryBadLine> bad;
    EXPECT_FALSE(ParseRegistryStore("no header\n" + key, &tree, &error, &bad))
        << "a text that is no store is not read line by line";
    EXPECT_TRUE(bad.empty());
}
