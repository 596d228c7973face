// Corvane's build of the utility library: its additions and the functions that differ.
#include <gtest/gtest.h>

#include <type_traits>

#include "engine/util/Conversions.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringArrays.h"
#include "engine/util/UrlClassification.h"

TEST(CorvaneUtilitiesTest, SplitTextCutsHostLabelsAndPathElements) {
    StringArray labels;
    SplitText(".www.h..x.", labels, 7);
    EXPECT_EQ(labels, (StringArray{"www", "h", "x"}));
    StringArray elements;
    SplitText("c:\\a\\\\b.c\\", elements, 8);
    EXPECT_EQ(elements, (StringArray{"c:", "a", "b.c"}));
    StringArray items;
    SplitText("a.b\\c,d", items, 2);
    EXPECT_EQ(items, (StringArray{"a.b\\c", "d"}));
}

TEST(CorvaneUtilitiesTest, ArrayRemoveTakesTheFirstItemEqualIgnoringCase) {
    StringArray items{"b", "A", "a"};
    EXPECT_TRUE(ArrayRemove(items, "a"));
    EXPECT_EQ(items, (StringArray{"b", "a"}));
    EXPECT_FALSE(ArrayRemove(items, "zz"));
    EXPECT_FALSE(ArrayRemove(items, ""));
    EXPECT_EQ(items, (StringArray{"b", "a"}));
}

TEST(CorvaneUtilitiesTest, SortNoCaseIsStableAndKeepsCase) {
    StringArray items{"b", "A", "a"};
    SortNoCase(items);
    EXPECT_EQ(items, (StringArray{"A", "a", "b"}));
    StringArray mixed{"B", "a", "b", "A", "", "a2"};
    SortNoCase(mixed);
    EXPECT_EQ(mixed, (StringArray{"", "a", "A", "a2", "B", "b"}));
}

TEST(CorvaneUtilitiesTest, StringToFloatReadsDoublePrecision) {
    static_assert(std::is_same_v<decltype(StringToFloat("")), double>);
    EXPECT_EQ(StringToFloat("0.1"), 0.1);
    EXPECT_EQ(StringToFloat("1e300"), 1e300);
    EXPECT_EQ(StringToFloat(" -2.5x"), -2.5);
    EXPECT_EQ(StringToFloat("x"), 0.0);
}

TEST(CorvaneUtilitiesTest, DomainOfHostKeepsTheLastTwoLabels) {
    const struct {
        const char* host;
        const char* domain;
    } cases[] = {
        {"a.b.c", "b.c"}, {"b.c", "b.c"},      {"localhost", "localhost"},
        {"", ""},         {"www.h.x.", "h.x"}, {"...", "..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DomainOfHost(c.host), c.domain) << c.host;
}

TEST(CorvaneUtilitiesTest, EnsureTrailingSlash) {
    EXPECT_EQ(EnsureTrailingSlash("http://h.x"), "http://h.x/");
    EXPECT_EQ(EnsureTrailingSlash("http://h.x/"), "http://h.x/");
    EXPECT_EQ(EnsureTrailingSlash(""), "");
}

TEST(CorvaneUtilitiesTest, PathHelpersAreTheCommonOnes) {
    EXPECT_EQ(JoinPath("c:\\store", "pic", "jpg"), "c:\\store\\pic.jpg");
    EXPECT_EQ(FileNameOfPath("c:\\a\\b/c"), "b/c");
    EXPECT_EQ(HostOfUrl("http://h.x:8080/x"), "h.x:8080");
}
