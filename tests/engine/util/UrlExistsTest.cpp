#include <gtest/gtest.h>

#include <string>

#include "engine/util/UrlClassification.h"
#include "platform/file/FileLayer.h"
#include "platform/timing/Timing.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestEnvironment.h"

namespace {

TimingRecord ShortProbe() {
    TimingRecord timing;
    timing.reachabilityProbeTimeoutMs = 300;
    return timing;
}

// A probe of a server that answers ends on its answer: the product's time-out leaves a
// slow machine (a sanitizer build under load) room for the server's first reply.
TimingRecord RoomForAnAnswer() {
    TimingRecord timing;
    timing.reachabilityProbeTimeoutMs = 10000;
    return timing;
}

}  // namespace

TEST(UrlExistsTest, AnyResponseCountsAndSilenceDoesNot) {
    LocalSiteServer server;
    server.SetBody("/page.htm", "<html></html>");
    server.SetStatus("/gone.htm", 404, "not here");
    server.SetStalled("/stalled.htm");
    {
        ScopedTiming timing(RoomForAnAnswer());
        EXPECT_TRUE(UrlExists(server.Url("/page.htm")));
        EXPECT_TRUE(UrlExists(server.Url("/gone.htm")));
    }
    // Silence ends on the time-out.
    ScopedTiming timing(ShortProbe());
    EXPECT_FALSE(UrlExists(server.Url("/stalled.htm")));
}

TEST(UrlExistsTest, ClosedPortAndBadSyntaxAreNotReachable) {
    ScopedTiming timing(ShortProbe());
    std::string url;
    {
        LocalSiteServer server;
        url = server.Url("/page.htm");
    }
    EXPECT_FALSE(UrlExists(url));
    EXPECT_FALSE(UrlExists("page.htm"));
    EXPECT_FALSE(UrlExists(""));
}

TEST(UrlExistsTest, FileUrlsOfExistingFilesAreReachable) {
    const std::string folder = MakeTestFolder("urlexists");
    ASSERT_TRUE(WriteFileBytes(folder + "/a b.htm", "<html></html>"));
    EXPECT_TRUE(UrlExists(PathToFileUrl(folder + "/a b.htm")));
    EXPECT_FALSE(UrlExists(PathToFileUrl(folder + "/missing.htm")));
}

TEST(UnescapeUrlTest, DecodesEveryEscapeWithoutALengthLimit) {
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"a%20b.mp3", "a b.mp3"}, {"%41%62", "Ab"}, {"100%", "100%"},
        {"%zz%4", "%zz%4"},       {"a%00b", "a"},   {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnescapeUrl(c.text), c.expected) << c.text;
    const std::string longText(3000, 'x');
    EXPECT_EQ(UnescapeUrl(longText + "%21"), longText + "!");
}

TEST(UrlClassificationTest, OtherSchemesAreFollowableThroughTheSyntaxTest) {
    EXPECT_TRUE(IsFollowableLink("ftp://h.x/pub/", false));
    EXPECT_FALSE(IsFollowableLink("page.htm", false));
    EXPECT_FALSE(IsPageExtension("page.htm"));
}
