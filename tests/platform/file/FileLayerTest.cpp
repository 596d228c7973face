#include "platform/file/FileLayer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

#include "tests/support/TestEnvironment.h"

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(ListFolder(folder, &entries)) << folder;
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back(e.name);
    return names;
}

std::string Contents(const std::string& path) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(path, &data)) << path;
    return data;
}

// Sets or clears an environment variable for one test and puts it back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name))
            old_ = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(FileLayerPathTest, SystemPathsMapToLinuxPaths) {
    const std::string base = BaseDataFolder();
    ASSERT_EQ(base, TestHomeFolder() + "/data");
    struct Case {
        const char* system;
        std::string linuxPath;
    } cases[] = {
        {"c:\\tmp\\x.jpg", base + "/c/tmp/x.jpg"},
        {"C:\\Tmp\\X.JPG", base + "/c/Tmp/X.JPG"},
        {"d:/store/a", base + "/d/store/a"},
        {"c:\\tmp/mixed\\x", base + "/c/tmp/mixed/x"},
        {"c:", base + "/c"},
        {"c:\\", base + "/c"},
        {"c:\\tmp\\\\x\\", base + "/c/tmp/x"},
        {"c:\\a\\.\\b\\..\\c", base + "/c/a/c"},
        {"c:\\store\\..\\..\\..\\etc\\passwd", base + "/c/etc/passwd"},
        {"/tmp/a b.jpg", "/tmp/a b.jpg"},
        {"/tmp/../etc", "/tmp/../etc"},
        {"/tmp\\x\\y", "/tmp/x/y"},
        {"\\tmp\\x", "/tmp/x"},
        {"relative\\a.htm", "relative/a.htm"},
        {"relative/a.htm", "relative/a.htm"},
        {"ab:\\x", "ab:/x"},
        {"1:\\x", "1:/x"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapToLinuxPath(c.system), c.linuxPath) << c.system;
}

TEST(FileLayerPathTest, BaseDataFolderFollowsTheEnvironment) {
    {
        ScopedEnvironment own("MORVELLE_DATA_HOME", "/srv/own/");
        EXPECT_EQ(BaseDataFolder(), "/srv/own");
        EXPECT_EQ(MapToLinuxPath("c:\\x"), "/srv/own/c/x");
    }
    ScopedEnvironment own("MORVELLE_DATA_HOME", nullptr);
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/srv/xdg");
        EXPECT_EQ(BaseDataFolder(), "/srv/xdg/morvelle");
    }
    ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
    ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(BaseDataFolder(), "/home/someone/.local/share/morvelle");
}

TEST(FileLayerPathTest, ModulePathDefaultsToTheBrowser) {
    EXPECT_EQ(GetModuleFilePath(), "c:\\browser\\browser.exe");
    SetModuleFilePath("c:\\programs\\Tallowmere.exe");
    EXPECT_EQ(GetModuleFilePath(), "c:\\programs\\Tallowmere.exe");
    SetModuleFilePath("c:\\browser\\browser.exe");
}

TEST(FileLayerTest, FoldersAreMadeOneLevelAtATime) {
    const std::string root = MakeTestFolder("folders");
    EXPECT_TRUE(CreateDirectory(root + "/a"));
    EXPECT_TRUE(FolderExists(root + "\\a"));
    EXPECT_FALSE(CreateDirectory(root + "/a")) << "exists";
    EXPECT_FALSE(CreateDirectory(root + "/missing/b")) << "parent missing";
    EXPECT_FALSE(FolderExists(root + "/missing"));
    ASSERT_TRUE(WriteFileBytes(root + "/file", "x"));
    EXPECT_FALSE(CreateDirectory(root + "/file")) << "a file is in the way";
    EXPECT_FALSE(FolderExists(root + "/file"));

    EXPECT_FALSE(FileIsReadable(root + "/a")) << "a folder is no readable file";
    EXPECT_TRUE(FileIsReadable(root + "/file"));
    EXPECT_FALSE(FileIsReadable(root + "/nothing"));
    EXPECT_FALSE(FileIsReadable(""));
    ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0600), 0);
    EXPECT_FALSE(FileIsReadable(root + "/pipe")) << "a pipe is no file (and must not block)";
    std::string ignored;
    EXPECT_FALSE(ReadFileBytes(root + "/pipe", &ignored));

    EXPECT_FALSE(DeleteFile(root + "/a")) << "never a folder";
    EXPECT_TRUE(FolderExists(root + "/a"));
    ASSERT_TRUE(WriteFileBytes(root + "/a/inner", "x"));
    EXPECT_FALSE(RemoveDirectory(root + "/a")) << "not empty";
    EXPECT_TRUE(DeleteFile(root + "/a/inner"));
    EXPECT_FALSE(DeleteFile(root + "/a/inner"));
    EXPECT_TRUE(RemoveDirectory(root + "/a"));
    EXPECT_FALSE(FolderExists(root + "/a"));
}

TEST(FileLayerTest, DrivePathsLiveUnderTheBaseDataFolder) {
    ASSERT_TRUE(CreateDirectory("q:")) << BaseDataFolder();
    ASSERT_TRUE(CreateDirectory("Q:\\store"));
    EXPECT_FALSE(CreateDirectory("q:\\store"));
    ASSERT_TRUE(WriteFileBytes("q:\\store\\..\\..\\..\\escape.txt", "x"));
    EXPECT_TRUE(FileIsReadable(BaseDataFolder() + "/q/escape.txt"));
    EXPECT_EQ(Names(BaseDataFolder() + "/q"), (std::vector<std::string>{"escape.txt", "store"}));
    EXPECT_TRUE(DeleteFile("q:\\escape.txt"));
    EXPECT_TRUE(RemoveDirectory("q:\\store"));
    EXPECT_TRUE(RemoveDirectory("q:"));
}

TEST(FileLayerTest, MoveNeverOverwrites) {
    const std::string root = MakeTestFolder("move");
    ASSERT_TRUE(WriteFileBytes(root + "/a", "first"));
    ASSERT_TRUE(WriteFileBytes(root + "/b", "second"));
    EXPECT_FALSE(MoveFile(root + "/a", root + "/b"));
    EXPECT_EQ(Contents(root + "/a"), "first");
    EXPECT_EQ(Contents(root + "/b"), "second");

    EXPECT_TRUE(MoveFile(root + "\\a", root + "\\c"));
    EXPECT_FALSE(FileIsReadable(root + "/a"));
    EXPECT_EQ(Contents(root + "/c"), "first");
    EXPECT_FALSE(MoveFile(root + "/a", root + "/d")) << "source is gone";

    ASSERT_TRUE(CreateDirectory(root + "/f"));
    ASSERT_TRUE(CreateDirectory(root + "/g"));
    EXPECT_FALSE(MoveFile(root + "/f", root + "/g")) << "a folder is not replaced either";
    EXPECT_TRUE(MoveFile(root + "/f", root + "/h"));
    EXPECT_TRUE(FolderExists(root + "/h"));
    EXPECT_FALSE(MoveFile(root + "/c", root + "/missing/c"));
    EXPECT_EQ(Contents(root + "/c"), "first");
}

TEST(FileLayerTest, TextModeWritesCrLfAndBinaryKeepsBytes) {
    const std::string root = MakeTestFolder("modes");
    const std::string mixed("a\nb\r\nc\r\n\n\rd\0e\n", 15);
    struct Case {
        FileMode mode;
        std::string written;
    } cases[] = {
        {FileMode::Binary, mixed},
        {FileMode::Text, std::string("a\r\nb\r\nc\r\n\r\n\rd\0e\r\n", 18)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(root + "/whole", mixed, c.mode));
        EXPECT_EQ(Contents(root + "/whole"), c.written);

        FileWriter writer;
        ASSERT_TRUE(writer.Open(root + "/pieces", c.mode));
        for (char ch : mixed)
            EXPECT_TRUE(writer.Write(std::string_view(&ch, 1)));
        ASSERT_TRUE(writer.Close());
        EXPECT_EQ(Contents(root + "/pieces"), c.written) << "a CR LF split between writes";
    }

    ASSERT_TRUE(WriteFileBytes(root + "/log", "one\r"));
    ASSERT_TRUE(AppendFileBytes(root + "/log", "\ntwo\n", FileMode::Text));
    EXPECT_EQ(Contents(root + "/log"), "one\r\ntwo\r\n");
    ASSERT_TRUE(AppendFileBytes(root + "/log", "\n", FileMode::Binary));
    EXPECT_EQ(Contents(root + "/log"), "one\r\ntwo\r\n\n");
    ASSERT_TRUE(AppendFileBytes(root + "/new", "x\n", FileMode::Text));
    EXPECT_EQ(Contents(root + "/new"), "x\r\n");
    EXPECT_FALSE(AppendFileBytes(root, "x")) << "a folder";
}

TEST(FileLayerTest, ReplaceIsAtomicAndLeavesNoTemporary) {
    const std::string root = MakeTestFolder("atomic");
    const std::string target = root + "/page.htm";
    ASSERT_TRUE(WriteFileBytes(target, "old"));
    chmod(target.c_str(), 0640);
    {
        FileWriter writer;
        ASSERT_TRUE(writer.Open(target));
        ASSERT_TRUE(writer.Write("new contents"));
        EXPECT_EQ(Contents(target), "old") << "the target changes only at Close";
        EXPECT_EQ(Names(root).size(), 2u) << "the temporary lies beside the target";
        ASSERT_TRUE(writer.Close());
        EXPECT_FALSE(writer.Write("more"));
        EXPECT_FALSE(writer.Close());
    }
    EXPECT_EQ(Contents(target), "new contents");
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(Names(root), std::vector<std::string>{"page.htm"});

    {
        FileWriter abandoned;
        ASSERT_TRUE(abandoned.Open(target));
        ASSERT_TRUE(abandoned.Write("half"));
    }
    EXPECT_EQ(Contents(target), "new contents");
    EXPECT_EQ(Names(root), std::vector<std::string>{"page.htm"});

    FileWriter nowhere;
    EXPECT_FALSE(nowhere.Open(root + "/missing/page.htm"));
    EXPECT_FALSE(nowhere.Write("x"));
    EXPECT_FALSE(WriteFileBytes(root, "x")) << "a folder is never replaced";
    EXPECT_TRUE(FolderExists(root));
    EXPECT_EQ(Names(root), std::vector<std::string>{"page.htm"});
}

TEST(FileLayerTest, FailedWriteKeepsTheOldFile) {
    const std::string root = MakeTestFolder("failed");
    const std::string target = root + "/big.bin";
    ASSERT_TRUE(WriteFileBytes(target, "old"));
    // A file-size limit makes the write itself fail (EFBIG) part-way.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileBytes(target, std::string(5000, 'x'));
    const bool appended = AppendFileBytes(target, std::string(5000, 'y'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(appended);
    std::string contents = Contents(target);
    EXPECT_EQ(contents.substr(0, 3), "old");
    EXPECT_EQ(Names(root), std::vector<std::string>{"big.bin"});
}

TEST(FileLayerTest, ListingIsSortedByBytesAndNeverFollowsLinks) {
    const std::string root = MakeTestFolder("list");
    for (const char* name : {"b", "a", "B", "_", "\xC3\xA4", "a b"}) {
        ASSERT_TRUE(WriteFileBytes(root + "/" + name, "12345"));
    }
    ASSERT_TRUE(CreateDirectory(root + "/sub"));
    ASSERT_TRUE(WriteFileBytes(root + "/sub/deep", "x"));
    ASSERT_EQ(symlink("loop", (root + "/loop").c_str()), 0);
    ASSERT_EQ(symlink("sub", (root + "/tosub").c_str()), 0);
    ASSERT_EQ(symlink("a", (root + "/toa").c_str()), 0);
    ASSERT_EQ(symlink("/nonexistent", (root + "/dangling").c_str()), 0);
    // A name with a backslash, made behind the layer's back.
    std::ofstream(root + "/back\\slash") << "x";

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(root, &entries));
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"B", "_", "a", "a b", "b", "dangling", "loop", "sub",
                                               "toa", "tosub", "\xC3\xA4"}));
    for (const FolderEntry& e : entries) {
        const bool link =
            e.name == "loop" || e.name == "tosub" || e.name == "toa" || e.name == "dangling";
        EXPECT_EQ(e.isLink, link) << e.name;
        EXPECT_EQ(e.isFolder, e.name == "sub") << e.name;
        if (e.name.size() == 1 || e.name == "toa") {
            EXPECT_EQ(e.size, 5u) << e.name;
        }
        if (e.name == "loop" || e.name == "dangling") {
            EXPECT_EQ(e.size, 0u) << e.name;
        }
    }
    EXPECT_FALSE(FileIsReadable(root + "/loop"));
    EXPECT_FALSE(FolderExists(root + "/loop"));

    std::vector<FolderEntry> untouched(1);
    EXPECT_FALSE(ListFolder(root + "/missing", &untouched));
    EXPECT_FALSE(ListFolder(root + "/a", &untouched)) << "a file is no folder";
    EXPECT_EQ(untouched.size(), 1u);
}

TEST(FileLayerTest, FileInfoOfFilesOnly) {
    const std::string root = MakeTestFolder("info");
    ASSERT_TRUE(WriteFileBytes(root + "/f", std::string(1234, 'x')));
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(root + "/f", &info));
    EXPECT_EQ(info.size, 1234u);
    const std::time_t now = std::time(nullptr);
    EXPECT_LE(std::abs(static_cast<long>(now - info.lastWriteTime)), 60L);
    EXPECT_GT(info.creationTime, 0);
    EXPECT_FALSE(GetFileInfo(root, &info));
    EXPECT_FALSE(GetFileInfo(root + "/missing", &info));
}

TEST(FileLayerTest, HostileNamesStayInside) {
    const std::string root = MakeTestFolder("hostile");
    ASSERT_TRUE(CreateDirectory(root + "/a"));
    // A backslash always separates: no file named "a\b.txt" appears.
    ASSERT_TRUE(WriteFileBytes(root + "/a\\b.txt", "x"));
    EXPECT_EQ(Names(root), std::vector<std::string>{"a"});
    EXPECT_EQ(Names(root + "/a"), std::vector<std::string>{"b.txt"});
    EXPECT_FALSE(WriteFileBytes(root + "/" + std::string(300, 'n'), "x")) << "name too long";
    EXPECT_TRUE(WriteFileBytes(root + "/" + std::string(255, 'n'), "x"));
    EXPECT_TRUE(WriteFileBytes(root + "/line\nbreak \"quoted\" <>|*?:", "x"));
    EXPECT_EQ(Names(root).size(), 3u);
    EXPECT_FALSE(WriteFileBytes(root + "/", "x"));
    EXPECT_FALSE(WriteFileBytes("", "x"));
}

TEST(FileLayerUrlTest, PathsBecomeFileUrls) {
    struct Case {
        const char* path;
        const char* url;
    } cases[] = {
        {"/tmp/a b.jpg", "file:///tmp/a%20b.jpg"},
        {"/tmp/100%/\xC3\xA4#?&.htm", "file:///tmp/100%25/%C3%A4%23%3F%26.htm"},
        {"/tmp/x\\y", "file:///tmp/x/y"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathToFileUrl(c.path), c.url) << c.path;
    EXPECT_EQ(PathToFileUrl("c:\\tmp\\a b"), "file://" + BaseDataFolder() + "/c/tmp/a%20b");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(PathToFileUrl("rel"), PathToFileUrl(std::string(cwd) + "/rel"));
}

TEST(FileLayerUrlTest, FileUrlsBecomePaths) {
    const std::string base = BaseDataFolder();
    struct Case {
        const char* url;
        bool ok;
        std::string path;
    } cases[] = {
        {"file:///tmp/a%20b.jpg", true, "/tmp/a b.jpg"},
        {"FILE://localhost/tmp/x", true, "/tmp/x"},
        {"file://LocalHost/tmp/x", true, "/tmp/x"},
        {"file:/tmp/x", true, "/tmp/x"},
        {"file:///tmp/x.htm?q=1#top", true, "/tmp/x.htm"},
        {"file:///tmp/%3F%23%25", true, "/tmp/?#%"},
        {"file:///tmp/100%zz%4", true, "/tmp/100%zz%4"},
        {"file:///tmp/%c3%a4", true, "/tmp/\xC3\xA4"},
        {"file:///c:/store/a%20b.htm", true, base + "/c/store/a b.htm"},
        {"file:///C|/store/x", true, base + "/c/store/x"},
        {"file://c:/store/x", true, base + "/c/store/x"},
        {"file:///c:/../../etc/passwd", true, base + "/c/etc/passwd"},
        {"file:///tmp/a%00b", false, ""},
        {"file://server/share/x", false, ""},
        {"file://localhost", false, ""},
        {"file:relative", false, ""},
        {"http://host/x", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(FileUrlToPath(c.url, &path), c.ok) << c.url;
        EXPECT_EQ(path, c.ok ? c.path : "unchanged") << c.url;
    }
}

TEST(FileLayerUrlTest, EveryByteSurvivesTheRoundTrip) {
    std::string name;
    for (int c = 1; c < 256; ++c) {
        if (c != '/' && c != '\\')
            name.push_back(static_cast<char>(c));
    }
    const std::string path = "/tmp/" + name;
    const std::string url = PathToFileUrl(path);
    EXPECT_EQ(url.find_first_of(" \"#?<>\r\n"), std::string::npos) << url;
    std::string back;
    ASSERT_TRUE(FileUrlToPath(url, &back));
    EXPECT_EQ(back, path);
}

TEST(FileLayerTest, MoveAcrossFileSystemsNeverOverwrites) {
    const std::string root = MakeTestFolder("across");
    struct stat here, there;
    if (stat(root.c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev || access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second writable file system";
    }
    char pattern[] = "/dev/shm/morvelle-move-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    ASSERT_TRUE(WriteFileBytes(root + "/a", "first"));
    ASSERT_TRUE(WriteFileBytes(other + "/taken", "kept"));
    EXPECT_FALSE(MoveFile(root + "/a", other + "/taken"));
    EXPECT_EQ(Contents(other + "/taken"), "kept");
    EXPECT_EQ(Contents(root + "/a"), "first");
    EXPECT_TRUE(MoveFile(root + "/a", other + "/a"));
    EXPECT_FALSE(FileIsReadable(root + "/a"));
    EXPECT_EQ(Contents(other + "/a"), "first");
    EXPECT_EQ(Names(other), (std::vector<std::string>{"a", "taken"})) << "no temporary left";
    DeleteFile(other + "/a");
    DeleteFile(other + "/taken");
    RemoveDirectory(other);
}

namespace {

// Every file below a Linux folder with its bytes, links as "-> target".
std::map<std::string, std::string> TreeOf(const std::string& folder,
                                          const std::string& prefix = "") {
    std::map<std::string, std::string> tree;
    std::vector<FolderEntry> entries;
    ListFolder(folder, &entries);
    for (const FolderEntry& e : entries) {
        const std::string path = folder + "/" + e.name;
        if (e.isLink) {
            char target[4096];
            const ssize_t length = readlink(path.c_str(), target, sizeof target);
            tree[prefix + e.name] = "-> " + std::string(target, length > 0 ? length : 0);
        } else if (e.isFolder) {
            tree[prefix + e.name + "/"] = "";
            tree.merge(TreeOf(path, prefix + e.name + "/"));
        } else {
            tree[prefix + e.name] = Contents(path);
        }
    }
    return tree;
}

}  // namespace

// A view folder under a drive with links planted in it, one leading to a folder outside
// and one to a file outside: no listing, change or write acts on what they lead to.
TEST(FileLayerTest, LinksBelowADriveAreNeverFollowed) {
    const std::string outside = MakeTestFolder("outside");
    ASSERT_TRUE(WriteFileBytes(outside + "/keep.png", "theirs"));
    ASSERT_TRUE(CreateDirectory(outside + "/sub"));
    ASSERT_TRUE(CreateDirectory("c:"));
    ASSERT_TRUE(CreateDirectory("c:\\links"));
    const std::string view = "c:\\links\\view";
    ASSERT_TRUE(CreateDirectory(view));
    const std::string linuxView = MapToLinuxPath(view);
    ASSERT_EQ(symlink(outside.c_str(), (linuxView + "/images").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/keep.png").c_str(), (linuxView + "/file.png").c_str()), 0);
    ASSERT_TRUE(WriteFileBytes(view + "\\mine.png", "mine"));
    const auto outsideBefore = TreeOf(outside);

    struct Case {
        const char* what;
        std::function<bool()> call;
        bool succeeds;  // on the entry itself; false: refused
    };
    const std::string images = view + "\\images";
    const Case cases[] = {
        {"list through the link", [&] { return ListFolder(images, nullptr); }, false},
        {"list a folder below it", [&] { return ListFolder(images + "\\sub", nullptr); }, false},
        {"write into it", [&] { return WriteFileBytes(images + "\\new.png", "x"); }, false},
        {"replace a file in it", [&] { return WriteFileBytes(images + "\\keep.png", "x"); }, false},
        {"write by a piece",
         [&] {
             FileWriter writer;
             return writer.Open(images + "\\piece.png") && writer.Write("x") && writer.Close();
         },
         false},
        {"append to a file in it", [&] { return AppendFileBytes(images + "\\keep.png", "x"); },
         false},
        {"delete a file in it", [&] { return DeleteFile(images + "\\keep.png") != FALSE; }, false},
        {"make a folder in it", [&] { return CreateDirectory(images + "\\made") != FALSE; }, false},
        {"remove a folder in it", [&] { return RemoveDirectory(images + "\\sub") != FALSE; },
         false},
        {"move a file into it",
         [&] { return MoveFile(view + "\\mine.png", images + "\\mine.png") != FALSE; }, false},
        {"move a file out of it",
         [&] { return MoveFile(images + "\\keep.png", view + "\\stolen.png") != FALSE; }, false},
        {"climb back through it",
         [&] { return WriteFileBytes(images + "\\..\\..\\view\\images\\x", "x"); }, false},
        {"append to the file link", [&] { return AppendFileBytes(view + "\\file.png", "x"); },
         false},
        {"remove the folder link as a folder", [&] { return RemoveDirectory(images) != FALSE; },
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.call(), c.succeeds) << c.what;
    EXPECT_EQ(TreeOf(outside), outsideBefore) << "nothing outside changed";
    EXPECT_EQ(Contents(view + "\\mine.png"), "mine");

    // A link as the last element is an entry like any other.
    ASSERT_TRUE(MoveFile(view + "\\file.png", view + "\\moved.png"));
    ASSERT_TRUE(WriteFileBytes(view + "\\moved.png", "replaced"));
    EXPECT_EQ(Contents(outside + "/keep.png"), "theirs");
    EXPECT_EQ(Contents(view + "\\moved.png"), "replaced");
    ASSERT_TRUE(DeleteFile(images));
    EXPECT_EQ(TreeOf(outside), outsideBefore);
    EXPECT_EQ(TreeOf(linuxView), (std::map<std::string, std::string>{{"mine.png", "mine"},
                                                                     {"moved.png", "replaced"}}));

    // Links above the drive's folder are the person's own and are followed.
    const std::string elsewhere = MakeTestFolder("data-elsewhere");
    const std::string base = MakeTestFolder("data-link") + "/data";
    ASSERT_EQ(symlink(elsewhere.c_str(), base.c_str()), 0);
    ScopedEnvironment data("MORVELLE_DATA_HOME", base.c_str());
    EXPECT_TRUE(WriteFileBytes("c:\\x\\..\\top.txt", "top"));
    EXPECT_EQ(Contents(elsewhere + "/c/top.txt"), "top");
}
