#include "platform/resource/Resource.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

namespace {

std::string Fixture(const std::string& name) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(FixturePath("resources/" + name), &data)) << name;
    return data;
}

// The resource's bytes, or nothing when the module has no such resource.
std::optional<std::string> Bytes(HMODULE module, int id, const ResourceType& type) {
    HRSRC resource = FindResource(module, id, type);
    if (!resource)
        return std::nullopt;
    const BYTE* data = LoadResource(module, resource);
    EXPECT_NE(data, nullptr);
    return std::string(reinterpret_cast<const char*>(data), SizeofResource(module, resource));
}

}  // namespace

TEST(ResourceTest, ThisModuleHoldsTheResourcesOfItsManifest) {
    HMODULE self = ThisModule();
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(Bytes(self, 214, RT_HTML), Fixture("program-page.htm")) << "HTML is type 23";
    EXPECT_EQ(Bytes(self, 214, "#23"), Fixture("program-page.htm"));
    EXPECT_EQ(Bytes(self, 320, "GIF"), Fixture("pixel.gif"));
    EXPECT_EQ(Bytes(self, 320, "gif"), Fixture("pixel.gif")) << "type names ignore case";
    EXPECT_EQ(Bytes(self, 7, 7), Fixture("all-bytes.bin")) << "every byte value kept";
    EXPECT_EQ(Bytes(self, 13, 12), Fixture("all-bytes.bin"));
    EXPECT_EQ(Bytes(self, 9, 9), "") << "an empty file is an empty resource";
}

TEST(ResourceTest, ResourcesAreFoundByTypeAndIdTogether) {
    HMODULE self = ThisModule();
    const struct {
        int id;
        ResourceType type;
    } missing[] = {{215, RT_HTML}, {214, 24}, {214, "HTML"}, {320, 320},
                   {320, "GIFS"},  {12, 13},  {7, ""},       {7, "#7x"}};
    for (const auto& c : missing)
        EXPECT_EQ(FindResource(self, c.id, c.type), nullptr) << c.id << " " << c.type.name;
    EXPECT_EQ(FindResource(nullptr, 214, RT_HTML), nullptr);
}

TEST(ResourceTest, HandlesOfOtherModulesAreRefused) {
    HMODULE self = ThisModule();
    HRSRC page = FindResource(self, 214, RT_HTML);
    ASSERT_NE(page, nullptr);
    HMODULE other = LoadLibrary(MORVELLE_RESOURCE_TEST_MODULE);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(LoadResource(other, page), nullptr) << "a resource of another module";
    EXPECT_EQ(SizeofResource(other, page), 0u);
    EXPECT_EQ(LoadResource(self, nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(other));
}

TEST(ResourceTest, ModuleLoadedByPathGivesItsOwnResources) {
    HMODULE module = LoadLibrary(MORVELLE_RESOURCE_TEST_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Bytes(module, 214, RT_HTML), Fixture("module-page.htm"));
    EXPECT_EQ(Bytes(module, 321, "GIF"), Fixture("pixel.gif"));
    EXPECT_EQ(Bytes(module, 320, "GIF"), std::nullopt) << "the program's, not the module's";
    EXPECT_EQ(Bytes(ThisModule(), 214, RT_HTML), Fixture("program-page.htm"))
        << "loading a module leaves this module's table alone";

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module)) << "freed twice";
    EXPECT_EQ(FindResource(module, 214, RT_HTML), nullptr) << "a freed handle";
    EXPECT_FALSE(FreeLibrary(ThisModule()));
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(ResourceTest, ModulesThatCannotBeLoaded) {
    EXPECT_EQ(LoadLibrary(""), nullptr);
    EXPECT_EQ(LoadLibrary("c:\\modules\\missing.dll"), nullptr);
    EXPECT_EQ(LoadLibrary(FixturePath("resources/program-page.htm")), nullptr)
        << "a file that is no library";

    HMODULE plain = LoadLibrary("libm.so.6");
    ASSERT_NE(plain, nullptr) << "a library without resources loads";
    EXPECT_EQ(FindResource(plain, 214, RT_HTML), nullptr);
    EXPECT_TRUE(FreeLibrary(plain));
}
