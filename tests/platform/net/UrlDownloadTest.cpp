#include "platform/net/UrlDownload.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/file/FileLayer.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(ListFolder(folder, &entries));
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back(e.name);
    return names;
}

std::string Contents(const std::string& path) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(path, &data)) << path;
    return data;
}

class UrlDownloadTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = MakeTestFolder("download"); }

    std::string folder_;
    LocalSiteServer server_;
};

}  // namespace

TEST_F(UrlDownloadTest, SuccessWritesTheWholeFile) {
    const std::string picture("\xFF\xD8\xFF\0binary\r\nbytes\n", 18);
    server_.SetBody("/images/pic.jpg", picture, "image/jpeg");
    ASSERT_EQ(URLDownloadToFile(server_.Url("/images/pic.jpg"), folder_ + "\\pic.jpg"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/pic.jpg"), picture) << "bytes kept exactly";
    EXPECT_EQ(Names(folder_), std::vector<std::string>{"pic.jpg"});

    server_.SetBody("/images/pic.jpg", "newer");
    ASSERT_EQ(URLDownloadToFile(server_.Url("/images/pic.jpg"), folder_ + "/pic.jpg"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/pic.jpg"), "newer") << "an earlier file is replaced";
    server_.SetBody("/empty.txt", "");
    ASSERT_EQ(URLDownloadToFile(server_.Url("/empty.txt"), folder_ + "/empty.txt"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/empty.txt"), "");
}

TEST_F(UrlDownloadTest, FailuresLeaveNoFile) {
    server_.SetStatus("/missing.mp3", 404, "not here");
    server_.SetStatus("/error.mp3", 503, "busy");
    LocalSiteResponse dropped;
    dropped.body = std::string(200000, 'm');
    dropped.dropMidBody = true;
    server_.SetResponse("/dropped.mp3", dropped);
    std::string closedPort;
    {
        LocalSiteServer gone;
        closedPort = gone.Url("/a.mp3");
    }
    for (const std::string& url :
         {server_.Url("/missing.mp3"), server_.Url("/error.mp3"), server_.Url("/dropped.mp3"),
          closedPort, std::string("mailto:x@example.invalid"), std::string("")}) {
        EXPECT_EQ(URLDownloadToFile(url, folder_ + "/song.mp3"), E_FAIL) << url;
        EXPECT_TRUE(Names(folder_).empty()) << url << ": no file, no temporary";
    }
    EXPECT_EQ(server_.RequestsFor("/dropped.mp3").size(), 1u);

    ASSERT_TRUE(WriteFileBytes(folder_ + "/kept.mp3", "old"));
    EXPECT_EQ(URLDownloadToFile(server_.Url("/dropped.mp3"), folder_ + "/kept.mp3"), E_FAIL);
    EXPECT_EQ(Contents(folder_ + "/kept.mp3"), "old") << "a failed download keeps the old file";
}

TEST_F(UrlDownloadTest, UnwritableTargetFailsBeforeAsking) {
    server_.SetBody("/a.jpg", "x");
    EXPECT_EQ(URLDownloadToFile(server_.Url("/a.jpg"), folder_ + "/missing/a.jpg"), E_FAIL);
    ASSERT_TRUE(CreateDirectory(folder_ + "/taken"));
    EXPECT_EQ(URLDownloadToFile(server_.Url("/a.jpg"), folder_ + "/taken"), E_FAIL);
    EXPECT_EQ(URLDownloadToFile(server_.Url("/a.jpg"), ""), E_FAIL);
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_EQ(Names(folder_), std::vector<std::string>{"taken"});
    EXPECT_TRUE(Names(folder_ + "/taken").empty());
}

TEST_F(UrlDownloadTest, RedirectsAreFollowedWithinLimits) {
    server_.SetRedirect("/old/pic.gif", "/new/pic.gif", 301);
    server_.SetRedirect("/hop.gif", server_.Url("/old/pic.gif"), 302);
    server_.SetBody("/new/pic.gif", "GIF89a", "image/gif");
    ASSERT_EQ(URLDownloadToFile(server_.Url("/hop.gif"), folder_ + "/pic.gif"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/pic.gif"), "GIF89a");
    std::vector<std::string> asked;
    for (const LocalSiteRequest& r : server_.Requests())
        asked.push_back(r.path);
    EXPECT_EQ(asked, (std::vector<std::string>{"/hop.gif", "/old/pic.gif", "/new/pic.gif"}));

    const std::string secret = folder_ + "/secret.txt";
    ASSERT_TRUE(WriteFileBytes(secret, "local"));
    server_.SetRedirect("/to-file", PathToFileUrl(secret));
    EXPECT_EQ(URLDownloadToFile(server_.Url("/to-file"), folder_ + "/x"), E_FAIL)
        << "a server never redirects to a local file";
    server_.SetRedirect("/loop", "/loop");
    DownloadOptions options;
    options.maxRedirects = 3;
    EXPECT_EQ(URLDownloadToFile(server_.Url("/loop"), folder_ + "/x", options), E_FAIL);
    EXPECT_EQ(server_.RequestsFor("/loop").size(), 4u);
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"pic.gif", "secret.txt"}));
}

TEST_F(UrlDownloadTest, StalledServerIsGivenUp) {
    server_.SetStalled("/stalled.mp3");
    DownloadOptions options;
    options.stallTimeoutMilliseconds = 500;
    EXPECT_EQ(URLDownloadToFile(server_.Url("/stalled.mp3"), folder_ + "/s.mp3", options), E_FAIL);
    EXPECT_TRUE(Names(folder_).empty());
}

TEST_F(UrlDownloadTest, GuardsEndHostileTransfersAndLeaveNoFile) {
    const std::string big(200 * 1024, 'b');
    // The guards a row is about are short; the others have room, so that a busy machine,
    // whose server sends late and slowly, ends no row by a guard it is not about.
    using Guards = void (*)(DownloadOptions&);
    const Guards floor = [](DownloadOptions& o) {
        o.lowSpeedBytesPerSecond = 300;
        o.lowSpeedMilliseconds = 600;
    };
    const Guards stall = [](DownloadOptions& o) { o.stallTimeoutMilliseconds = 300; };
    const Guards sizeOnly = [](DownloadOptions&) {};
    struct Case {
        const char* name;
        LocalSiteResponse response;
        HRESULT expected;
        Guards guards;
    };
    auto response = [](std::string body, void (*shape)(LocalSiteResponse&)) {
        LocalSiteResponse r;
        r.body = std::move(body);
        r.contentType = "image/png";
        shape(r);
        return r;
    };
    const Case cases[] = {
        // 100 bytes a second, below the floor: cut at the end of the first window.
        {"drips",
         response(std::string(400, 'd'),
                  [](LocalSiteResponse& r) { r.dripEvery = std::chrono::milliseconds(10); }),
         E_FAIL, floor},
        // A byte every 2 ms, far above a floor of 20 bytes a second over windows of 800
        // ms: it takes three windows and is still whole.
        {"slow and steady",
         response(std::string(1200, 's'),
                  [](LocalSiteResponse& r) { r.dripEvery = std::chrono::milliseconds(2); }),
         S_OK,
         [](DownloadOptions& o) {
             o.lowSpeedBytesPerSecond = 20;
             o.lowSpeedMilliseconds = 800;
         }},
        {"stops after half",
         response(std::string(8000, 'h'), [](LocalSiteResponse& r) { r.stallMidBody = true; }),
         E_FAIL, stall},
        {"over the limit, announced", response(big, [](LocalSiteResponse&) {}), E_FAIL, sizeOnly},
        {"over the limit, in chunks", response(big, [](LocalSiteResponse& r) { r.chunked = true; }),
         E_FAIL, sizeOnly},
        {"at the limit",
         response(std::string(100 * 1024, 'l'), [](LocalSiteResponse& r) { r.chunked = true; }),
         S_OK, sizeOnly},
    };
    for (const Case& c : cases) {
        const std::string path = std::string("/") + c.name + ".png";
        server_.SetResponse(path, c.response);
        DownloadOptions options;
        options.stallTimeoutMilliseconds = 30000;
        options.lowSpeedBytesPerSecond = 1;
        options.lowSpeedMilliseconds = 30000;
        options.sizeLimitBytes = 100 * 1024;
        c.guards(options);
        const std::string file = folder_ + "/" + c.name + ".png";
        EXPECT_EQ(URLDownloadToFile(server_.Url(path), file, options), c.expected) << c.name;
        if (c.expected == S_OK) {
            EXPECT_EQ(Contents(file), c.response.body) << c.name;
            ASSERT_TRUE(DeleteFile(file));
        }
        EXPECT_TRUE(Names(folder_).empty()) << c.name << ": no file, no temporary";
    }

    DownloadOptions noLimit;
    noLimit.sizeLimitBytes = 0;
    server_.SetBody("/big.mp3", big, "audio/mpeg");
    EXPECT_EQ(URLDownloadToFile(server_.Url("/big.mp3"), folder_ + "/big.mp3", noLimit), S_OK);
    EXPECT_EQ(Contents(folder_ + "/big.mp3"), big);
}

TEST_F(UrlDownloadTest, ACancelEndsTheDownloadFromAnotherThreadAndLeavesNoFile) {
    LocalSiteResponse half;
    half.body = std::string(64 * 1024, 'm');
    half.stallMidBody = true;
    server_.SetResponse("/held.mp3", half);
    DownloadCancel cancel;
    DownloadOptions options;  // the product's guards: only the cancel ends it soon
    options.cancel = &cancel;
    auto download = std::async(std::launch::async, [&] {
        return URLDownloadToFile(server_.Url("/held.mp3"), folder_ + "/held.mp3", options);
    });
    // Half the body is in the temporary file.
    ASSERT_TRUE(WaitUntil([&] { return !Names(folder_).empty(); }, std::chrono::seconds(20)));
    cancel.Cancel();
    ASSERT_EQ(download.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(download.get(), E_ABORT);
    EXPECT_TRUE(Names(folder_).empty());

    // Cancelled before it begins: nothing is asked for.
    server_.ClearRequests();
    EXPECT_EQ(URLDownloadToFile(server_.Url("/held.mp3"), folder_ + "/again.mp3", options),
              E_ABORT);
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_TRUE(Names(folder_).empty());
}

TEST_F(UrlDownloadTest, UrlTextIsMadeSendable) {
    server_.SetBody("/my files/a b.mp3", "song");
    ASSERT_EQ(
        URLDownloadToFile(" " + server_.Url("/my files\\a b.mp3#part") + " ", folder_ + "/a b.mp3"),
        S_OK);
    EXPECT_EQ(Contents(folder_ + "/a b.mp3"), "song");
    const auto asked = server_.RequestsFor("/my files/a b.mp3");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].target, "/my%20files/a%20b.mp3");
}

TEST_F(UrlDownloadTest, FileUrlsAreCopied) {
    ASSERT_TRUE(WriteFileBytes(folder_ + "/source file.jpg", std::string("a\0b", 3)));
    ASSERT_EQ(URLDownloadToFile(PathToFileUrl(folder_ + "/source file.jpg"), folder_ + "/copy.jpg"),
              S_OK);
    EXPECT_EQ(Contents(folder_ + "/copy.jpg"), std::string("a\0b", 3));
    EXPECT_EQ(URLDownloadToFile(PathToFileUrl(folder_ + "/none.jpg"), folder_ + "/none.jpg"),
              E_FAIL);
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"copy.jpg", "source file.jpg"}));
}

TEST_F(UrlDownloadTest, FixtureFilesAreServed) {
    const std::string site = MakeTestFolder("site");
    ASSERT_TRUE(CreateDirectory(site + "/dir"));
    ASSERT_TRUE(WriteFileBytes(site + "/dir/index.htm", "<p>index</p>"));
    ASSERT_TRUE(WriteFileBytes(site + "/song.mp3", "ID3"));
    LocalSiteServer fixtures(site);
    ASSERT_EQ(URLDownloadToFile(fixtures.Url("/dir/"), folder_ + "/index.htm"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/index.htm"), "<p>index</p>");
    ASSERT_EQ(URLDownloadToFile(fixtures.Url("/song.mp3"), folder_ + "/song.mp3"), S_OK);
    EXPECT_EQ(Contents(folder_ + "/song.mp3"), "ID3");
    EXPECT_EQ(URLDownloadToFile(fixtures.Url("/none.mp3"), folder_ + "/none.mp3"), E_FAIL);
}
