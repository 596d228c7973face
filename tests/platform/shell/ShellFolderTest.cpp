#include "platform/shell/ShellFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

std::vector<std::string> Names(const ShellFolder& folder, DWORD flags) {
    std::unique_ptr<ShellEnumerator> items;
    EXPECT_EQ(folder.EnumObjects(nullptr, flags, &items), S_OK);
    std::vector<std::string> names;
    ShellItem item;
    while (items && items->Next(&item) == S_OK)
        names.push_back(item.fileName);
    return names;
}

struct Extracted {
    HRESULT result = E_FAIL;
    BITMAP description{};
};

// Extracts the picture of path at the given box and depth.
Extracted Extract(const std::string& path, LONG width, LONG height, DWORD depth = 16) {
    ExtractImage extractor(path);
    std::string location;
    Extracted out;
    if (extractor.GetLocation(&location, nullptr, SIZE{width, height}, depth, nullptr) != S_OK)
        return out;
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    out.result = extractor.Extract(&bitmap);
    if (out.result == S_OK) {
        GetObject(bitmap, sizeof out.description, &out.description);
        DeleteObject(bitmap);
    } else {
        EXPECT_EQ(bitmap, nullptr);
    }
    return out;
}

std::string LittleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// A bitmap file header that claims width x height at 24 bits, with no pixels after it.
std::string BitmapHeaderOnly(std::uint32_t width, std::uint32_t height) {
    return "BM" + LittleEndian(54, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) +
           LittleEndian(40, 4) + LittleEndian(width, 4) + LittleEndian(height, 4) +
           LittleEndian(1, 2) + LittleEndian(24, 2) + std::string(24, '\0');
}

// A GIF with the given logical screen and first frame sizes and a tiny pixel stream.
std::string Gif(unsigned screenWidth, unsigned screenHeight, unsigned frameWidth,
                unsigned frameHeight) {
    return "GIF89a" + LittleEndian(screenWidth, 2) + LittleEndian(screenHeight, 2) +
           std::string("\x80\x00\x00", 3) + std::string("\x00\x00\x00\xFF\xFF\xFF", 6) +
           std::string("\x21\xF9\x04\x00\x00\x00\x00\x00", 8) + "\x2C" + LittleEndian(0, 4) +
           LittleEndian(frameWidth, 2) + LittleEndian(frameHeight, 2) +
           std::string("\x00\x02\x02\x44\x01\x00\x3B", 7);
}

TEST(ShellFolderTest, BindsOnlyToFolders) {
    const std::string folder = MakeTestFolder("bind");
    ASSERT_TRUE(WriteFileBytes(folder + "/file.jpg", "x"));
    std::unique_ptr<ShellFolder> bound;
    EXPECT_EQ(ShellFolder::BindToFolder(folder + "/missing", &bound), E_FAIL);
    EXPECT_EQ(ShellFolder::BindToFolder(folder + "/file.jpg", &bound), E_FAIL);
    EXPECT_EQ(ShellFolder::BindToFolder("", &bound), E_FAIL);
    EXPECT_EQ(bound, nullptr);
    ASSERT_EQ(ShellFolder::BindToFolder(folder, &bound), S_OK);
    EXPECT_EQ(bound->Path(), folder);
}

TEST(ShellFolderTest, EnumerationFollowsTheFlags) {
    const std::string folder = MakeTestFolder("enumerate");
    ASSERT_TRUE(CreateDirectory(folder + "/sub"));
    ASSERT_TRUE(WriteFileBytes(folder + "/b.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(folder + "/a.txt", "x"));
    std::unique_ptr<ShellFolder> bound;
    ASSERT_EQ(ShellFolder::BindToFolder(folder, &bound), S_OK);
    EXPECT_EQ(Names(*bound, SHCONTF_FOLDERS), (std::vector<std::string>{"sub"}));
    EXPECT_EQ(Names(*bound, SHCONTF_NONFOLDERS), (std::vector<std::string>{"a.txt", "b.jpg"}));
    EXPECT_EQ(Names(*bound, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
              (std::vector<std::string>{"a.txt", "b.jpg", "sub"}));
}

TEST(ShellFolderTest, ExtractorsOnlyForPlainFileItems) {
    const std::string folder = MakeTestFolder("extractors");
    std::unique_ptr<ShellFolder> bound;
    ASSERT_EQ(ShellFolder::BindToFolder(folder, &bound), S_OK);
    std::unique_ptr<ExtractImage> extractor;
    EXPECT_EQ(bound->GetUIObjectOf(nullptr, ShellItem{"sub", true}, &extractor), E_NOINTERFACE);
    for (const char* name : {"", ".", "..", "../x.jpg", "a/b.jpg", "a\\b.jpg"}) {
        EXPECT_EQ(bound->GetUIObjectOf(nullptr, ShellItem{name, false}, &extractor), E_INVALIDARG)
            << name;
    }
    EXPECT_EQ(extractor, nullptr);

    ASSERT_EQ(bound->GetUIObjectOf(nullptr, ShellItem{"pic.jpg", false}, &extractor), S_OK);
    HBITMAP bitmap = nullptr;
    EXPECT_EQ(extractor->Extract(&bitmap), E_UNEXPECTED);
    std::string location;
    EXPECT_EQ(extractor->GetLocation(&location, nullptr, SIZE{0, 100}, 16, nullptr), E_INVALIDARG);
    ASSERT_EQ(extractor->GetLocation(&location, nullptr, SIZE{100, 100}, 16, nullptr), S_OK);
    EXPECT_EQ(location, folder + "\\pic.jpg");
}

TEST(ExtractImageTest, PictureFitsTheBoxKeepingProportions) {
    struct Case {
        int width, height;
        LONG boxWidth, boxHeight;
        LONG expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {400, 200, 100, 100, 100, 50},  // wide
        {200, 400, 100, 100, 50, 100},  // tall
        {300, 300, 100, 100, 100, 100},
        {400, 200, 100, 30, 60, 30},  // the height limits a wide picture in a flat box
        {60, 40, 100, 100, 60, 40},   // a small picture is not enlarged
        {100, 100, 100, 100, 100, 100},
        {1000, 3, 100, 100, 100, 1},  // never thinner than one pixel
    };
    const std::string folder = MakeTestFolder("fit");
    for (const Case& c : cases) {
        const std::string path =
            folder + "/" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".png";
        ASSERT_TRUE(MakeTestImage(path, c.width, c.height));
        const Extracted got = Extract(path, c.boxWidth, c.boxHeight);
        ASSERT_EQ(got.result, S_OK) << path;
        EXPECT_EQ(got.description.bmWidth, c.expectedWidth) << path;
        EXPECT_EQ(got.description.bmHeight, c.expectedHeight) << path;
        EXPECT_EQ(got.description.bmBitsPixel, 24) << path;
    }
}

TEST(ExtractImageTest, DepthDecidesTheBitsPerPixel) {
    const std::string folder = MakeTestFolder("depth");
    const std::string path = folder + "/p.jpg";
    ASSERT_TRUE(MakeTestImage(path, 20, 10));
    for (DWORD depth : {1u, 8u, 16u, 24u}) {
        EXPECT_EQ(Extract(path, 100, 100, depth).description.bmBitsPixel, 24) << depth;
    }
    EXPECT_EQ(Extract(path, 100, 100, 32).description.bmBitsPixel, 32);
}

TEST(ExtractImageTest, TransparentPartsLieOverWhite) {
    // Two pixels at 32 bits: a fully transparent black one and an opaque red one.
    const std::string folder = MakeTestFolder("alpha");
    const std::string path = folder + "/alpha.bmp";
    const std::string pixels("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8);
    ASSERT_TRUE(WriteFileBytes(
        path, "BM" + LittleEndian(62, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) +
                  LittleEndian(40, 4) + LittleEndian(2, 4) + LittleEndian(1, 4) +
                  LittleEndian(1, 2) + LittleEndian(32, 2) + std::string(24, '\0') + pixels));
    ExtractImage extractor(path);
    std::string location;
    ASSERT_EQ(extractor.GetLocation(&location, nullptr, SIZE{10, 10}, 24, nullptr), S_OK);
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(extractor.Extract(&bitmap), S_OK);
    BITMAP description{};
    GetObject(bitmap, sizeof description, &description);
    const auto* bits = static_cast<const BYTE*>(description.bmBits);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bits), 6),
              std::string("\xFF\xFF\xFF\x00\x00\xFF", 6));
    DeleteObject(bitmap);
}

TEST(ExtractImageTest, BrokenFilesGiveNoPicture) {
    const std::string folder = MakeTestFolder("broken");
    std::string png;
    ASSERT_TRUE(MakeTestImage(folder + "/good.png", 40, 40));
    ASSERT_TRUE(ReadFileBytes(folder + "/good.png", &png));
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        {"empty.jpg", ""},
        {"garbage.jpg", std::string("\x13\x37\xC0\xDE\x00\x01\x02\xFE\xFF", 9)},
        {"text.jpg", "<html><body>Not found</body></html>\r\n"},
        {"text.gif", "GIF? no, a text file\r\n"},
        {"truncated.png", png.substr(0, 60)},
        {"huge.bmp", BitmapHeaderOnly(60000, 60000)},
        {"huge-screen.gif", Gif(65535, 65535, 1, 1)},
        {"huge-frame.gif", Gif(1, 1, 65535, 65535)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(folder + "/" + c.name, c.contents));
        EXPECT_EQ(Extract(folder + "/" + c.name, 100, 100).result, E_FAIL) << c.name;
    }
    // A well-formed GIF of the same build reads: the size checks are not what refused.
    ASSERT_TRUE(WriteFileBytes(folder + "/small.gif", Gif(2, 2, 2, 2)));
    EXPECT_EQ(Extract(folder + "/small.gif", 100, 100).result, S_OK);

    EXPECT_EQ(Extract(folder + "/missing.jpg", 100, 100).result, E_FAIL);
    ASSERT_TRUE(CreateDirectory(folder + "/folder.jpg"));
    EXPECT_EQ(Extract(folder + "/folder.jpg", 100, 100).result, E_FAIL);
    // A pipe is never opened: reading it would wait for a writer for ever.
    ASSERT_EQ(mkfifo((folder + "/pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(Extract(folder + "/pipe.jpg", 100, 100).result, E_FAIL);
}

}  // namespace
