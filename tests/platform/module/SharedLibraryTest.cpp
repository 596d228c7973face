#include "platform/module/SharedLibrary.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <string>

namespace {

std::string RealPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? resolved : "";
}

TEST(SharedLibraryTest, LoadsAModuleAndFindsItsExports) {
    HLIBRARY module = LoadSharedLibrary(TEST_SERVER_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    void* entry = GetLibrarySymbol(module, "DllGetClassObject");
    EXPECT_NE(entry, nullptr);
    EXPECT_EQ(GetLibrarySymbol(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(ModulePathOfAddress(entry), RealPath(TEST_SERVER_MODULE_PATH));
    EXPECT_TRUE(FreeSharedLibrary(module));
}

TEST(SharedLibraryTest, EachModuleFindsItsOwnFile) {
    EXPECT_EQ(CurrentModulePath(), RealPath("/proc/self/exe"));
    EXPECT_EQ(ModulePathOfAddress(nullptr), "");
}

TEST(SharedLibraryTest, AFileThatWillNotLoadGivesTheReason) {
    std::string reason;
    EXPECT_EQ(LoadSharedLibrary("/nonexistent/module.so", &reason), nullptr);
    EXPECT_NE(reason.find("module.so"), std::string::npos) << reason;
    EXPECT_EQ(GetLibrarySymbol(nullptr, "DllGetClassObject"), nullptr);
}

}  // namespace
