#include "engine/util/AppMutex.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

TEST(AppMutexTest, IsOneMutexPerProcessWithAPrivateGuidName) {
    AppMutex* mutex = CreateAppMutex();
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(CreateAppMutex(), mutex);
    const std::string& name = mutex->GetName();
    ASSERT_EQ(name.size(), 32u);
    for (char c : name)
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c))) << name;
}

}  // namespace
