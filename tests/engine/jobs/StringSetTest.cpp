#include "engine/jobs/StringSet.h"

#include <gtest/gtest.h>

namespace {

TEST(StringSetTest, RefusesEmptyTextsAndTextsThatDifferOnlyInLetterCase) {
    StringSet set;
    EXPECT_FALSE(set.AddUnique(""));
    EXPECT_TRUE(set.AddUnique("http://Example.com/a.html"));
    EXPECT_FALSE(set.AddUnique("HTTP://EXAMPLE.COM/A.HTML"));
    EXPECT_TRUE(set.AddUnique("http://example.com/b.html"));
    EXPECT_TRUE(set.AddUnique("http://example.com/caf\xc3\xa9"));
    // Only ASCII letters fold: an upper-case e-acute is another text.
    EXPECT_TRUE(set.AddUnique("http://example.com/CAF\xc3\x89"));
    EXPECT_TRUE(set.Contains("http://EXAMPLE.com/b.html"));
    EXPECT_EQ(set.GetCount(), 4);
    EXPECT_EQ(set.GetItems()[0], "http://Example.com/a.html") << "the first spelling stays";
}

TEST(StringSetTest, AddAllKeepsTheOrderAndSkipsRepeats) {
    StringSet set;
    set.AddUnique("b");
    set.AddAll({"a", "B", "", "c", "A"});
    EXPECT_EQ(set.GetItems(), (StringArray{"b", "a", "c"}));
}

}  // namespace
