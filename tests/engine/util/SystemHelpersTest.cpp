#include "engine/util/SystemHelpers.h"

#include <gtest/gtest.h>

#include "platform/file/FileLayer.h"

TEST(SystemHelpersTest, ModulePathAndItsFolder) {
    const struct {
        const char* module;
        const char* folder;
    } cases[] = {
        {"c:\\browser\\browser.exe", "c:\\browser\\"},
        {"c:\\programs\\Tallowmere.exe", "c:\\programs\\"},
        {"/opt/morvelle/bin/tallowmere", "/opt/morvelle/bin/"},
        {"tallowmere", ""},
    };
    const std::string original = GetModuleFilePath();
    for (const auto& c : cases) {
        SetModuleFilePath(c.module);
        EXPECT_EQ(GetModulePath(true), c.module);
        EXPECT_EQ(GetModulePath(false), c.folder) << c.module;
        EXPECT_EQ(GetAppModulePath(true), c.module);
        EXPECT_EQ(GetAppModulePath(false), c.folder) << c.module;
    }
    SetModuleFilePath(original);
    EXPECT_FALSE(IsWindows9x());
}
