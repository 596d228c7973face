#include <gtest/gtest.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestEnvironment.h"

// A drive's root is always there: writing "c:\x" or making "c:\tmp" works on a fresh
// base data folder, which is made as needed.
TEST(DriveFolderTest, ChangesUnderADriveRootMakeTheDriveFolder) {
    const std::string base = MakeTestFolder("fresh") + "/not/yet/there";
    ScopedEnvironment data("MORVELLE_DATA_HOME", base.c_str());
    EXPECT_TRUE(WriteFileBytes("c:\\_test.html", ""));
    EXPECT_TRUE(FileIsReadable(base + "/c/_test.html"));
    EXPECT_TRUE(CreateDirectory("D:\\tmp"));
    EXPECT_TRUE(FolderExists(base + "/d/tmp"));
    EXPECT_FALSE(CreateDirectory("e:\\a\\b")) << "only the drive's own folder is made";
    FileWriter writer;
    ASSERT_TRUE(writer.Open("f:\\page.htm"));
    ASSERT_TRUE(writer.Write("x"));
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(AppendFileBytes("g:\\log.txt", "line"));
    EXPECT_FALSE(WriteFileBytes(base + "/h/x", "")) << "a Linux path is not a drive";
}
