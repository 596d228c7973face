#include "platform/net/UrlProbe.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/file/FileLayer.h"
#include "platform/lock/ProcessLock.h"
#include "platform/net/UrlDownload.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

constexpr DWORD kProductTimeout = 5000;
constexpr DWORD kShortTimeout = 300;

}  // namespace

TEST(UrlProbeTest, AnyResponseMeansReachable) {
    LocalSiteServer server;
    server.SetBody("/page.htm", "<html></html>");
    server.SetStatus("/gone.htm", 404, "no");
    server.SetStatus("/broken.htm", 500);
    server.SetRedirect("/moved.htm", "/elsewhere.htm", 301);
    for (const char* path : {"/page.htm", "/gone.htm", "/broken.htm", "/moved.htm", "/nothing"}) {
        EXPECT_TRUE(ProbeUrl(server.Url(path), kProductTimeout)) << path;
    }
    EXPECT_TRUE(server.RequestsFor("/elsewhere.htm").empty()) << "a redirect is not followed";
    const auto asked = server.RequestsFor("/page.htm");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].method, "GET");
    EXPECT_EQ(asked[0].Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
}

TEST(UrlProbeTest, BodyIsNeverWaitedFor) {
    LocalSiteServer server;
    LocalSiteResponse response;
    response.body = std::string(1 << 20, 'x');
    response.dropMidBody = true;  // half the body, then the connection drops
    server.SetResponse("/big.bin", response);
    EXPECT_TRUE(ProbeUrl(server.Url("/big.bin"), kProductTimeout));
}

TEST(UrlProbeTest, ClosedPortIsUnreachable) {
    std::string url;
    {
        LocalSiteServer server;
        url = server.Url("/page.htm");
    }
    EXPECT_FALSE(ProbeUrl(url, kShortTimeout));
}

TEST(UrlProbeTest, ServerSilentPastTheTimeoutIsUnreachable) {
    LocalSiteServer server;
    server.SetStalled("/stalled.htm");
    server.SetDelay("/slow.htm", 50ms);
    server.SetBody("/slow.htm", "late but in time");
    EXPECT_FALSE(ProbeUrl(server.Url("/stalled.htm"), kShortTimeout));
    EXPECT_EQ(server.RequestsFor("/stalled.htm").size(), 1u) << "the request did arrive";
    EXPECT_TRUE(ProbeUrl(server.Url("/slow.htm"), kProductTimeout));
}

TEST(UrlProbeTest, FileUrlsOfExistingFilesAreReachable) {
    const std::string folder = MakeTestFolder("probe");
    ASSERT_TRUE(WriteFileBytes(folder + "/a b.htm", "x"));
    EXPECT_TRUE(ProbeUrl(PathToFileUrl(folder + "/a b.htm"), kShortTimeout));
    EXPECT_TRUE(ProbeUrl("file://" + folder + "/a b.htm", kShortTimeout)) << "unescaped blank";
    EXPECT_TRUE(ProbeUrl(PathToFileUrl(folder), kShortTimeout)) << "a folder";
    EXPECT_FALSE(ProbeUrl(PathToFileUrl(folder + "/missing.htm"), kShortTimeout));
    ASSERT_TRUE(CreateDirectory("p:") || FolderExists("p:"));
    ASSERT_TRUE(WriteFileBytes("p:\\page.htm", "x"));
    EXPECT_TRUE(ProbeUrl("file:///p:/page.htm", kShortTimeout));
    EXPECT_TRUE(ProbeUrl("file:///P:\\page.htm", kShortTimeout));
}

TEST(UrlProbeTest, OtherUrlsAreUnreachable) {
    for (const char* url : {"mailto:someone@example.invalid", "javascript:go()", "page.htm", "",
                            "ftp://127.0.0.1:1/x", "http://"}) {
        EXPECT_FALSE(ProbeUrl(url, kShortTimeout)) << url;
    }
}

// Debug builds (the sanitizer builds among them) stop a network call made with the
// process lock held. Other builds assert nothing of the rule: they make the call, to a
// closed port, and the test checks that it fails at once.
TEST(NetworkLockDeathTest, ProbeAndDownloadRefuseTheHeldLock) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string url;
    {
        LocalSiteServer server;
        url = server.Url("/page.htm");
    }
    const std::string path = MakeTestFolder("locked") + "/page.htm";
#if defined(NDEBUG)
    {
        ProcessLockGuard guard;
        EXPECT_FALSE(ProbeUrl(url, kShortTimeout));
        EXPECT_NE(URLDownloadToFile(url, path), S_OK);
    }
    EXPECT_FALSE(FileIsReadable(path));
#else
    EXPECT_DEATH(
        {
            ProcessLockGuard guard;
            ProbeUrl(url, kShortTimeout);
        },
        "process lock is held");
    EXPECT_DEATH(
        {
            ProcessLockGuard guard;
            URLDownloadToFile(url, path);
        },
        "process lock is held");
#endif
    ProcessLockGuard guard;
    EXPECT_TRUE(ProbeUrl(PathToFileUrl(MakeTestFolder("locked-file")), kShortTimeout))
        << "a file URL waits on no other thread";
}
