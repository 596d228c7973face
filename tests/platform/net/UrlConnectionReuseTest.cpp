// The probes, page loads and downloads of a process share one connection cache: a server
// that keeps connections open gets their requests over the connections they left open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/browser/CurlPageLoader.h"
#include "platform/file/FileLayer.h"
#include "platform/net/UrlDownload.h"
#include "platform/net/UrlProbe.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingPageLoadSink.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

namespace {

LocalSiteServerOptions KeepingConnections() {
    LocalSiteServerOptions options;
    options.keepAlive = true;
    return options;
}

TEST(UrlConnectionReuseTest, ADownloadAPageLoadAndAProbeGoOverOneConnection) {
    LocalSiteServer server("", KeepingConnections());
    server.SetBody("/pic.jpg", "picture bytes", "image/jpeg");
    server.SetBody("/page.htm", "<p>a page</p>");
    const std::string folder = MakeTestFolder("reuse");

    ASSERT_EQ(URLDownloadToFile(server.Url("/pic.jpg"), folder + "\\pic.jpg"), S_OK);
    {
        RecordingPageLoadSink sink;
        CurlPageLoader loader(sink);
        const PageLoadId id = loader.Navigate(server.Url("/page.htm"), 0x40008F80);
        ASSERT_TRUE(WaitUntil([&] { return sink.Ended(id); }, std::chrono::seconds(20)));
        ASSERT_EQ(sink.Last(id).kind, RecordingPageLoadSink::Kind::DocumentComplete);
    }
    ASSERT_TRUE(ProbeUrl(server.Url("/page.htm"), 5000));

    const std::vector<LocalSiteRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GT(requests[0].remotePort, 0);
    EXPECT_EQ(requests[1].remotePort, requests[0].remotePort)
        << "the page load opened a connection of its own";
    EXPECT_EQ(requests[2].remotePort, requests[0].remotePort)
        << "the probe opened a connection of its own";
}

// Several threads download at once through the shared cache; each file arrives whole.
TEST(UrlConnectionReuseTest, ThreadsDownloadingAtOnceEachGetTheirOwnFiles) {
    LocalSiteServer server("", KeepingConnections());
    constexpr int kThreads = 4;
    constexpr int kFilesEach = 8;
    for (int t = 0; t < kThreads; ++t)
        server.SetBody("/t" + std::to_string(t) + ".jpg", std::string(2000 + t, 'a' + t),
                       "image/jpeg");
    const std::string folder = MakeTestFolder("reuse-threads");
    std::atomic<int> whole{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < kFilesEach; ++n) {
                const std::string path =
                    folder + "\\t" + std::to_string(t) + "-" + std::to_string(n) + ".jpg";
                std::string bytes;
                if (URLDownloadToFile(server.Url("/t" + std::to_string(t) + ".jpg"), path) ==
                        S_OK &&
                    ReadFileBytes(path, &bytes) && bytes == std::string(2000 + t, 'a' + t))
                    ++whole;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(whole.load(), kThreads * kFilesEach);
}

}  // namespace
