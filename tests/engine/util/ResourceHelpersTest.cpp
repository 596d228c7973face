#include "engine/util/ResourceHelpers.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

namespace {

std::string Fixture(const std::string& name) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(FixturePath("resources/" + name), &data)) << name;
    return data;
}

std::string Saved(const std::string& path) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(path, &data)) << path;
    return data;
}

class ResourceHelpersTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = MakeTestFolder("resources"); }
    std::string folder_;
};

}  // namespace

TEST_F(ResourceHelpersTest, SavesResourcesOfThisModule) {
    const std::string page = folder_ + "/page.htm";
    EXPECT_TRUE(SaveResourceToFile("this", RT_HTML, 214, page));
    EXPECT_EQ(Saved(page), Fixture("program-page.htm"));
    EXPECT_TRUE(SaveResourceToFile("this", "GIF", 320, folder_ + "/pixel.gif"));
    EXPECT_EQ(Saved(folder_ + "/pixel.gif"), Fixture("pixel.gif"));

    ASSERT_TRUE(WriteFileBytes(folder_ + "/bytes.bin", "an older, longer file"));
    EXPECT_TRUE(SaveResourceToFileById("this", 7, folder_ + "/bytes.bin"));
    EXPECT_EQ(Saved(folder_ + "/bytes.bin"), Fixture("all-bytes.bin")) << "replaced whole";
    EXPECT_TRUE(SaveResourceToFileById("this", 9, folder_ + "/empty.bin"));
    EXPECT_EQ(Saved(folder_ + "/empty.bin"), "");
}

TEST_F(ResourceHelpersTest, SavesResourcesOfAModuleLoadedByPath) {
    const std::string page = folder_ + "/module.htm";
    EXPECT_TRUE(SaveResourceToFile(MORVELLE_RESOURCE_TEST_MODULE, RT_HTML, 214, page));
    EXPECT_EQ(Saved(page), Fixture("module-page.htm"));
    EXPECT_FALSE(SaveResourceToFile(MORVELLE_RESOURCE_TEST_MODULE, "GIF", 320, page))
        << "the program's resource is not the module's";
    EXPECT_EQ(Saved(page), Fixture("module-page.htm")) << "a failed save leaves the file";
}

TEST_F(ResourceHelpersTest, FailsWithoutModuleResourceOrFile) {
    const std::string target = folder_ + "/x.bin";
    EXPECT_FALSE(SaveResourceToFile("c:\\modules\\missing.dll", RT_HTML, 214, target));
    EXPECT_FALSE(SaveResourceToFile("this", RT_HTML, 999, target));
    EXPECT_FALSE(SaveResourceToFileById("this", 12, target)) << "type 12 holds id 13 only";
    EXPECT_FALSE(FileIsReadable(target));
    EXPECT_FALSE(SaveResourceToFile("this", RT_HTML, 214, folder_ + "/no/such/folder/x.htm"));
}

TEST(ResourceExistsTest, OnlyTypeNumberEqualToId) {
    EXPECT_TRUE(ResourceExists(7));
    EXPECT_TRUE(ResourceExists(9)) << "empty, but there";
    EXPECT_FALSE(ResourceExists(214)) << "type 23, id 214";
    EXPECT_FALSE(ResourceExists(12));
    EXPECT_FALSE(ResourceExists(13));
    EXPECT_FALSE(ResourceExists(0));
}
