#include "engine/folder/FolderNode.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

namespace {

// Builds folders and files below a fresh test folder; paths are given with "\".
class FolderTree {
public:
    explicit FolderTree(const std::string& hint) : root_(MakeTestFolder(hint)) {}

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }

    void Folder(const std::string& relative) const {
        ASSERT_TRUE(CreateDirectory(Path(relative))) << relative;
    }
    void File(const std::string& relative, size_t size = 1) const {
        ASSERT_TRUE(WriteFileBytes(Path(relative), std::string(size, 'x'))) << relative;
    }
    void Link(const std::string& relative, const std::string& target) const {
        ASSERT_EQ(symlink(target.c_str(), MapToLinuxPath(Path(relative)).c_str()), 0) << relative;
    }
    void LastWrite(const std::string& relative, std::time_t seconds) const {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, MapToLinuxPath(Path(relative)).c_str(), times, 0), 0);
    }

private:
    std::string root_;
};

StringArray Found(const FolderNode& node, const std::string& extensions, bool recursive,
                  bool fullPaths) {
    StringArray out;
    node.FindFiles(out, extensions, recursive, fullPaths);
    return out;
}

StringArray FoundPaths(const FolderNode& node, const std::string& extensions, bool recursive) {
    StringArray out;
    node.FindFilePaths(out, extensions, recursive);
    return out;
}

}  // namespace

TEST(FolderNodeTest, ScanReadsTheWholeTree) {
    FolderTree tree("scan");
    tree.Folder("site.com");
    tree.Folder("site.com\\default");
    tree.Folder("site.com\\default\\thumbs");
    tree.File("site.com\\default\\allImages.htm", 10);
    tree.File("site.com\\default\\thumbs\\a.jpg", 300);
    tree.File("site.com\\default\\thumbs\\b.jpg", 200);
    tree.File("notes.txt", 7);

    FolderNode node;
    node.SetPath(tree.Root() + " \t\\");
    EXPECT_EQ(node.GetPath(), tree.Root()) << "the backslash and then the white space go";
    EXPECT_EQ(node.GetName(), tree.Root().substr(tree.Root().rfind('/') + 1));
    EXPECT_EQ(node.GetFileNames(), StringArray{"notes.txt"});
    EXPECT_EQ(node.GetTotalSize(), 7u);

    const FolderNode* site = node.FindChild("SITE.COM");
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->GetPath(), tree.Path("site.com"));
    EXPECT_TRUE(site->GetFileNames().empty()) << "a folder of folders holds no files";
    EXPECT_EQ(site->GetTotalSize(), 0u);
    const FolderNode* view = site->FindChild("default");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetFileNames(), StringArray{"allImages.htm"});
    const FolderNode* thumbs = view->FindChild("thumbs");
    ASSERT_NE(thumbs, nullptr);
    EXPECT_EQ(thumbs->GetFileNames(), (StringArray{"a.jpg", "b.jpg"}));
    EXPECT_EQ(thumbs->GetTotalSize(), 500u);
    EXPECT_TRUE(thumbs->GetChildren().empty());
    EXPECT_EQ(node.FindChild("default"), nullptr) << "only direct children";
}

TEST(FolderNodeTest, SetPathAndSetNameRescanOnlyForAnotherTextIgnoringCase) {
    FolderTree tree("rescan");
    tree.Folder("Store");
    tree.File("Store\\first.jpg");
    const std::string path = tree.Path("Store");

    FolderNode node;
    node.SetPath(path);
    ASSERT_EQ(node.GetFileNames(), StringArray{"first.jpg"});
    tree.File("Store\\second.jpg");

    std::string otherCase = path;
    otherCase.replace(otherCase.size() - 5, 5, "sTORE");
    node.SetPath(otherCase);
    EXPECT_EQ(node.GetPath(), path) << "the same path in other letters is no change";
    EXPECT_EQ(node.GetFileNames(), StringArray{"first.jpg"});

    node.SetName("STORE");
    EXPECT_EQ(node.GetName(), "Store");
    EXPECT_EQ(node.GetFileNames(), StringArray{"first.jpg"});

    node.SetName("renamed");
    EXPECT_EQ(node.GetName(), "renamed");
    EXPECT_EQ(node.GetPath(), path);
    EXPECT_EQ(node.GetFileNames(), (StringArray{"first.jpg", "second.jpg"}));

    tree.File("Store\\third.jpg");
    node.SetPath(path + "\\");
    EXPECT_EQ(node.GetName(), "Store");
    EXPECT_EQ(node.GetFileNames().size(), 3u) << "a trailing backslash makes another text";
}

TEST(FolderNodeTest, LinksAreListedAsFilesAndNeverFollowed) {
    FolderTree tree("links");
    tree.Folder("a");
    tree.Folder("a\\b");
    tree.File("a\\b\\real.jpg", 40);
    tree.File("target.jpg", 25);
    tree.Link("a\\b\\up", "..");
    tree.Link("a\\b\\root", tree.Root());
    tree.Link("a\\b\\picture.jpg", "../../target.jpg");
    tree.Link("a\\b\\dangling.jpg", "nowhere");

    FolderNode node;
    node.SetPath(tree.Path("a"));
    ASSERT_EQ(node.GetChildren().size(), 1u);
    const FolderNode& b = *node.GetChildren()[0];
    EXPECT_TRUE(b.GetChildren().empty()) << "no link becomes a child folder";
    EXPECT_EQ(b.GetFileNames(),
              (StringArray{"dangling.jpg", "picture.jpg", "real.jpg", "root", "up"}));
    EXPECT_EQ(b.GetTotalSize(), 65u) << "a link to a file counts its target's size";

    EXPECT_EQ(
        FoundPaths(node, "", true),
        (StringArray{tree.Path("a\\b\\dangling.jpg"), tree.Path("a\\b\\picture.jpg"),
                     tree.Path("a\\b\\real.jpg"), tree.Path("a\\b\\root"), tree.Path("a\\b\\up")}));
}

TEST(FolderNodeTest, SortingIsByByteValue) {
    FolderTree tree("sort");
    for (const char* name : {"b", "B", "a", "A", "\xC3\xA9", "z"}) {
        tree.Folder(std::string("d") + name);
        tree.File(name);
    }
    FolderNode node;
    node.SetPath(tree.Root());
    node.SortFileNames();
    node.SortChildren();
    EXPECT_EQ(node.GetFileNames(), (StringArray{"A", "B", "a", "b", "z", "\xC3\xA9"}));
    StringArray names;
    node.GetChildNames(names);
    EXPECT_EQ(names, (StringArray{"dA", "dB", "da", "db", "dz", "d\xC3\xA9"}));
    EXPECT_EQ(node.FindChild("DA")->GetName(), "dA") << "the first match ignoring case";
}

TEST(FolderNodeTest, FindFilesByPiecesOfTheNameInAnyCase) {
    FolderTree tree("find");
    tree.Folder("sub");
    tree.File("PHOTO.JPG");
    tree.File("x.GiF.txt");
    tree.File("both.jpg.gif");
    tree.File("page.html");
    tree.File("readme");
    tree.File("sub\\deep.jpg");
    tree.File("sub\\deep.txt");
    FolderNode node;
    node.SetPath(tree.Root());
    const std::string sub = tree.Path("sub");

    const struct {
        const char* extensions;
        bool recursive;
        bool fullPaths;
        StringArray found;
    } cases[] = {
        {".jpg,.gif", false, false, {"PHOTO.JPG", "both.jpg.gif", "x.GiF.txt"}},
        {"\r\n.JPG\n", true, false, {"PHOTO.JPG", "both.jpg.gif", "deep.jpg"}},
        {".jpg",
         true,
         true,
         {tree.Path("PHOTO.JPG"), tree.Path("both.jpg.gif"), tree.Path("sub\\deep.jpg")}},
        {".htm", false, false, {"page.html"}},
        {".mp3", true, true, {}},
        {"", false, true, {"PHOTO.JPG", "both.jpg.gif", "page.html", "readme", "x.GiF.txt"}},
        {",\r\n,",
         true,
         true,
         {"PHOTO.JPG", "both.jpg.gif", "page.html", "readme", "x.GiF.txt", "deep.jpg", "deep.txt"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Found(node, c.extensions, c.recursive, c.fullPaths), c.found)
            << '"' << c.extensions << "\" recursive " << c.recursive << " fullPaths "
            << c.fullPaths;
    }

    EXPECT_EQ(FoundPaths(node, "", false),
              (StringArray{tree.Path("PHOTO.JPG"), tree.Path("both.jpg.gif"),
                           tree.Path("page.html"), tree.Path("readme"), tree.Path("x.GiF.txt")}));
    EXPECT_EQ(FoundPaths(node, ".txt", true),
              (StringArray{tree.Path("x.GiF.txt"), tree.Path("sub\\deep.txt")}));

    StringArray out{"kept"};
    node.FindFiles(out, ".html", false, false);
    EXPECT_EQ(out, (StringArray{"kept", "page.html"}));
}

TEST(FolderNodeTest, AFolderThatCannotBeListedIsEmpty) {
    FolderTree tree("unlisted");
    tree.File("file.txt");
    tree.Folder("locked");
    tree.File("locked\\hidden.txt");

    for (const std::string& path :
         {tree.Path("missing"), tree.Path("file.txt"), std::string(), std::string("\\")}) {
        FolderNode node;
        node.SetPath(path);
        EXPECT_TRUE(node.Scan());
        EXPECT_TRUE(node.GetChildren().empty()) << path;
        EXPECT_TRUE(node.GetFileNames().empty()) << path;
        EXPECT_EQ(node.GetTotalSize(), 0u);
        std::time_t time = 0;
        EXPECT_EQ(node.GetEarliestFile(time), "");
    }

    FolderNode node;
    node.SetPath(tree.Root());
    ASSERT_EQ(node.GetFileNames(), StringArray{"file.txt"});
    tree.File("later.txt");
    ASSERT_EQ(
        rename(MapToLinuxPath(tree.Root()).c_str(), MapToLinuxPath(tree.Root() + ".gone").c_str()),
        0);
    EXPECT_TRUE(node.Scan());
    EXPECT_TRUE(node.GetFileNames().empty()) << "a vanished folder drops the old listing";
    EXPECT_TRUE(node.GetChildren().empty());

    if (geteuid() != 0) {
        const std::string locked = MapToLinuxPath(tree.Root() + ".gone/locked");
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        FolderNode top;
        top.SetPath(tree.Root() + ".gone");
        ASSERT_EQ(top.GetChildren().size(), 1u);
        EXPECT_TRUE(top.GetChildren()[0]->GetFileNames().empty());
        EXPECT_EQ(top.GetFileNames(), (StringArray{"file.txt", "later.txt"}));
        chmod(locked.c_str(), 0700);
    }
}

TEST(FolderNodeTest, GetEarliestFileTakesTheOldestLastWrite) {
    FolderTree tree("earliest");
    tree.File("new.jpg");
    tree.File("old.jpg");
    tree.File("same.jpg");
    tree.Folder("older-folder");
    tree.Link("dangling", "nowhere");
    tree.LastWrite("new.jpg", 1'100'000'000);
    tree.LastWrite("old.jpg", 1'000'000'000);
    tree.LastWrite("same.jpg", 1'000'000'000);
    tree.LastWrite("older-folder", 900'000'000);

    FolderNode node;
    node.SetPath(tree.Root());
    std::time_t time = 0;
    EXPECT_EQ(node.GetEarliestFile(time), tree.Path("old.jpg")) << "the first of equals";
    EXPECT_EQ(time, 1'000'000'000);

    tree.LastWrite("same.jpg", 999'999'999);
    node.Scan();
    EXPECT_EQ(node.GetEarliestFile(time), tree.Path("same.jpg"));
    EXPECT_EQ(time, 999'999'999);
}

TEST(FolderNodeTest, GetFileInfoReadsSizeAndTimes) {
    FolderTree tree("info");
    tree.File("a.bin", 1234);
    tree.LastWrite("a.bin", 1'234'567'890);
    tree.Folder("folder");

    std::uint64_t size = 0;
    std::time_t lastWrite = 0;
    std::time_t created = 0;
    ASSERT_TRUE(GetFileInfo(tree.Path("a.bin"), size, lastWrite, created));
    EXPECT_EQ(size, 1234u);
    EXPECT_EQ(lastWrite, 1'234'567'890);
    EXPECT_GT(created, 0);

    size = 7;
    EXPECT_FALSE(GetFileInfo(tree.Path("folder"), size, lastWrite, created));
    EXPECT_FALSE(GetFileInfo(tree.Path("missing"), size, lastWrite, created));
    EXPECT_EQ(size, 7u) << "nothing set on failure";
}

TEST(FolderNodeTest, CreateGivesAnEmptyNode) {
    FolderTree tree("create");
    tree.File("x");
    FolderNode node;
    node.SetPath(tree.Root());
    const std::unique_ptr<FolderNode> made = node.Create();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetPath(), "");
    EXPECT_TRUE(made->GetFileNames().empty());
}
