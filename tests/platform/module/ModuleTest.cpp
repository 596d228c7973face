#include "platform/module/Module.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <string>

namespace {

std::string RealPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? resolved : "";
}

TEST(ModuleTest, LoadsAModuleAndFindsItsExports) {
    HMODULE module = LoadLibrary(TEST_SERVER_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    void* entry = GetProcAddress(module, "DllGetClassObject");
    EXPECT_NE(entry, nullptr);
    EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(ModulePathOfAddress(entry), RealPath(TEST_SERVER_MODULE_PATH));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleTest, EachModuleFindsItsOwnFile) {
    EXPECT_EQ(CurrentModulePath(), RealPath("/proc/self/exe"));
    EXPECT_EQ(ModulePathOfAddress(nullptr), "");
}

TEST(ModuleTest, AFileThatWillNotLoadGivesTheReason) {
    std::string reason;
    EXPECT_EQ(LoadLibrary("/nonexistent/module.so", &reason), nullptr);
    EXPECT_NE(reason.find("module.so"), std::string::npos) << reason;
    EXPECT_EQ(GetProcAddress(nullptr, "DllGetClassObject"), nullptr);
}

}  // namespace
