#include "engine/jobs/StringSet.h"

#include <gtest/gtest.h>

#include <memory>

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

TEST(StringSetTest, AListSharedOrACopyStaysAsItWasWhileTheSetGrows) {
    StringSet set;
    EXPECT_TRUE(set.ShareItems()->empty());
    set.AddAll({"a", "b"});
    const std::shared_ptr<const StringArray> shared = set.ShareItems();
    EXPECT_EQ(&*shared, &set.GetItems()) << "shared, not copied";
    const StringSet copy = set;
    set.AddAll({"c", "A"});
    EXPECT_EQ(*shared, (StringArray{"a", "b"}));
    EXPECT_EQ(copy.GetItems(), (StringArray{"a", "b"}));
    EXPECT_EQ(set.GetItems(), (StringArray{"a", "b", "c"}));
    EXPECT_FALSE(set.AddUnique("B")) << "the set still knows its entries";
    StringSet assigned;
    assigned = set;
    assigned.AddUnique("d");
    EXPECT_EQ(set.GetCount(), 3);
    EXPECT_EQ(assigned.GetItems(), (StringArray{"a", "b", "c", "d"}));
}

}  // namespace
