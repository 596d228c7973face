#include "platform/memory/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemoryTest, GrowingKeepsTheContentsAndZeroesTheNewPart) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 4);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), "abcd", 4);
    EXPECT_FALSE(GlobalUnlock(block));

    HGLOBAL grown = GlobalReAlloc(block, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(GlobalSize(grown), 1u << 20);
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(grown));
    EXPECT_EQ(std::memcmp(bytes, "abcd", 4), 0);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[(1 << 20) - 1], 0);
    GlobalUnlock(grown);
    EXPECT_EQ(GlobalFree(grown), nullptr);
}

TEST(GlobalMemoryTest, LockedBlockDoesNotMove) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    void* bytes = GlobalLock(block);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(GlobalReAlloc(block, 4096, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));  // still locked once
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, ImpossibleSizesGiveNoBlock) {
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, static_cast<std::size_t>(-1)), nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalReAlloc(block, static_cast<std::size_t>(-1), GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(block), 16u);
    GlobalFree(block);
}

}  // namespace
