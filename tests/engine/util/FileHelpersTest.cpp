#include "engine/util/FileHelpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

using namespace std::string_literals;

namespace {

std::string Contents(const std::string& path) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(path, &data)) << path;
    return data;
}

}  // namespace

TEST(FileHelpersTest, FileExistsOnlyForReadableFiles) {
    const std::string root = MakeTestFolder("exists");
    ASSERT_TRUE(WriteFileBytes(root + "/file.htm", "x"));
    ASSERT_TRUE(CreateDirectory(root + "/folder"));
    ASSERT_EQ(symlink("missing", (root + "/dangling").c_str()), 0);
    ASSERT_EQ(symlink("file.htm", (root + "/link.htm").c_str()), 0);

    EXPECT_TRUE(FileExists(root + "\\file.htm"));
    EXPECT_TRUE(FileExists(root + "/link.htm"));
    EXPECT_FALSE(FileExists(root + "/folder"));
    EXPECT_FALSE(FileExists(root + "/dangling"));
    EXPECT_FALSE(FileExists(root + "/nothing"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileHelpersTest, CreateDirectoryIfMissingTellsWhetherAFolderStands) {
    const std::string root = MakeTestFolder("mkdir");
    ASSERT_TRUE(WriteFileBytes(root + "/taken", "a file"));
    ASSERT_TRUE(CreateDirectory(root + "/old"));
    const struct {
        std::string path;
        bool result;
    } cases[] = {
        {root + "\\new", true},
        {root + "\\old", true},
        {root + "\\taken", false},
        {root + "\\missing\\child", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreateDirectoryIfMissing(c.path), c.result) << c.path;
        EXPECT_EQ(FolderExists(c.path), c.result) << c.path;
    }
    EXPECT_EQ(Contents(root + "/taken"), "a file");
}

TEST(FileHelpersTest, WriteTextFileEndsEveryLineWithCrLfOnce) {
    const std::string path = MakeTestFolder("write") + "\\page.htm";
    const struct {
        std::string text;
        std::string written;
    } cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"<html>\r\n<body>\r\n", "<html>\r\n<body>\r\n"},
        {"\r\n\n\r", "\r\n\r\n\r"},
        {"nul\0kept"s, "nul\0kept"s},
        {"", ""},
    };
    ASSERT_TRUE(WriteFileBytes(path, std::string(100, 'x')));
    for (const auto& c : cases) {
        EXPECT_TRUE(WriteTextFile(path, c.text));
        EXPECT_EQ(Contents(path), c.written) << "replaces the earlier file whole";
    }
}

TEST(FileHelpersTest, WriteTextFilePartWritesAtMostTheText) {
    const std::string path = MakeTestFolder("part") + "\\part.txt";
    const struct {
        int count;
        std::string written;
    } cases[] = {
        {3, "a\r\nb"}, {2, "a\r\n"}, {6, "a\r\nbc\r\n"}, {1000, "a\r\nbc\r\n"}, {0, ""}, {-5, ""},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(WriteTextFilePart(path, "a\nbc\n", c.count)) << c.count;
        EXPECT_EQ(Contents(path), c.written) << c.count;
    }
    ASSERT_TRUE(WriteTextFilePart(path, "a\r\nb", 2));
    EXPECT_EQ(Contents(path), "a\r") << "a CR cut from its LF stays a lone CR";
}

TEST(FileHelpersTest, WritesThatCannotHappenFail) {
    const std::string root = MakeTestFolder("nowrite");
    ASSERT_TRUE(CreateDirectory(root + "/folder"));
    EXPECT_FALSE(WriteTextFile(root + "\\missing\\x.htm", "x"));
    EXPECT_FALSE(WriteTextFile(root + "\\folder", "x"));
    EXPECT_FALSE(WriteTextFilePart(root + "\\missing\\x.htm", "x", 1));
    EXPECT_TRUE(FolderExists(root + "/folder"));
}

TEST(FileHelpersTest, ReadTextFileAppendsUpToTheFirstNul) {
    const std::string root = MakeTestFolder("read");
    ASSERT_TRUE(WriteFileBytes(root + "/crlf.xml", "<a>\r\n</a>\r\n"));
    ASSERT_TRUE(WriteFileBytes(root + "/nul.bin", "before\0after"s));
    ASSERT_TRUE(WriteFileBytes(root + "/empty", ""));
    ASSERT_TRUE(WriteFileBytes(root + "/big", std::string(200000, 'z')));

    std::string text = "kept:";
    EXPECT_TRUE(ReadTextFile(root + "\\crlf.xml", text));
    EXPECT_EQ(text, "kept:<a>\r\n</a>\r\n");

    text = "";
    EXPECT_TRUE(ReadTextFile(root + "\\nul.bin", text));
    EXPECT_EQ(text, "before");

    text = "x";
    EXPECT_TRUE(ReadTextFile(root + "\\empty", text));
    EXPECT_EQ(text, "x");

    text.clear();
    EXPECT_TRUE(ReadTextFile(root + "\\big", text));
    EXPECT_EQ(text.size(), 200000u);

    text = "unchanged";
    EXPECT_FALSE(ReadTextFile(root + "\\missing", text));
    EXPECT_FALSE(ReadTextFile(root, text)) << "a folder";
    EXPECT_EQ(text, "unchanged");
}
