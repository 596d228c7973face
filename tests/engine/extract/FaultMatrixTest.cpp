// Failing servers and broken files, one case a row, each taken through a crawl of pages
// and through a whole extraction to its view: every case is ended by its own guard (the
// one its row shortens; the others are out of reach) or check, as the trace tells, the
// failed page or picture is skipped or read as far as it went, the rest of the site is
// read and the view written, no thread is left running, nothing is written outside the
// view folder and nothing stored earlier is lost.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/crawl/CrawlSiteJob.h"
#include "engine/extract/CrawlSiteImagesJob.h"
#include "platform/file/FileLayer.h"
#include "platform/trace/Trace.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RawSocketServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

// The guards with room: a busy machine (a sanitizer build beside other jobs) may take
// many seconds to send, fetch and parse a page of megabytes or thousands of links, and
// no case may end on a guard it is not about. A case about a guard shortens that one
// (FaultCase::guards) and puts the others out of reach of the test's deadline, so that
// only its own guard can end it in time.
TimingRecord RoomyFaultTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.pageGuardMs = 2000;
    timing.pageLoadGuardMs = 60000;
    timing.reachabilityProbeTimeoutMs = 10000;
    timing.fetchConnectTimeoutMs = 10000;
    timing.fetchLowSpeedTimeoutMs = 30000;
    timing.fetchTransferTimeoutMs = 120000;
    timing.downloadConnectTimeoutMs = 10000;
    timing.downloadStallTimeoutMs = 30000;
    timing.downloadLowSpeedTimeoutMs = 30000;
    timing.downloadTransferTimeoutMs = 120000;
    return timing;
}

// Longer than any wait of the test: a guard set to it never ends a case.
constexpr DWORD kOutOfReachMs = 3'600'000;

// The page load's own window for a transfer that receives nothing.
void FetchLowSpeedOnly(TimingRecord& timing) {
    timing.fetchLowSpeedTimeoutMs = 3000;
    timing.fetchTransferTimeoutMs = kOutOfReachMs;
    timing.pageLoadGuardMs = kOutOfReachMs;
}

// The download's floor of its rate.
void DownloadFloorOnly(TimingRecord& timing) {
    timing.downloadLowSpeedTimeoutMs = 1000;
    timing.downloadStallTimeoutMs = kOutOfReachMs;
    timing.downloadTransferTimeoutMs = kOutOfReachMs;
}

std::string SamplePicture(const char* name) {
    return FileTextOf(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/" + name);
}

void AppendChunk(std::string& png, const std::string& type, const std::string& data) {
    auto be32 = [&](uint32_t n) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>((n >> shift) & 0xFF);
    };
    be32(static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    png += body;
    be32(static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// A grey PNG of width x height pixels, every pixel black: a few kilobytes that a reader
// would make into gigabytes.
std::string HugePixelPng(uint32_t width, uint32_t height) {
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    for (uint32_t n : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header += static_cast<char>((n >> shift) & 0xFF);
    header += std::string("\x01\x00\x00\x00\x00", 5);  // 1 bit, grey, no interlace
    AppendChunk(png, "IHDR", header);
    const std::string row(1 + (width + 7) / 8, '\0');
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    std::string compressed;
    std::string out(1 << 16, '\0');
    for (uint32_t y = 0; y < height; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        stream.avail_in = static_cast<uInt>(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(out.data(), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", "");
    return png;
}

// The site of one case: a local server with the good pages and pictures, and a raw
// server for the faults the local server cannot play.
struct FaultSite {
    FaultSite() : site("", Options()) {
        site.SetBody("/good.htm",
                     "<html><body><img src='second.png' width=200 height=200>"
                     "</body></html>");
        site.SetBody("/good.png", SamplePicture("map.png"), "image/png");
        site.SetBody("/second.png", SamplePicture("tulip.png"), "image/png");
    }
    static LocalSiteServerOptions Options() {
        LocalSiteServerOptions options;
        options.workerThreads = 16;
        return options;
    }

    LocalSiteServer site;
    std::unique_ptr<RawSocketServer> raw;
};

struct FaultCase {
    const char* name;
    bool picture;  // a broken picture (an extraction only), else a broken page
    // Sets the fault up and returns its address, as the start page names it.
    std::function<std::string(FaultSite&)> setup;
    // What must hold of the server's requests afterwards, beyond the common checks.
    std::function<void(FaultSite&)> check = [](FaultSite&) {};
    int depth = 2;
    // Shortens the guard the case is about (see RoomyFaultTiming); null: none.
    void (*guards)(TimingRecord&) = nullptr;
    // Part of the trace line that tells how the fault was ended (the guard or the check
    // that ended it); null: the fault ends without one (a status, a refused connection).
    const char* endedBy = nullptr;
};

TimingRecord FaultTiming(const FaultCase* fault = nullptr) {
    TimingRecord timing = RoomyFaultTiming();
    if (fault != nullptr && fault->guards != nullptr)
        fault->guards(timing);
    return timing;
}

LocalSiteResponse Response(std::string body, std::string type, bool LocalSiteResponse::*flag) {
    LocalSiteResponse response;
    response.body = std::move(body);
    response.contentType = std::move(type);
    if (flag != nullptr)
        response.*flag = true;
    return response;
}

std::string ManyLinks(const std::string& pattern, int count) {
    std::string page = "<html><body>";
    for (int i = 0; i < count; ++i)
        page += "<a href='" + pattern + std::to_string(i) + "'>" + std::to_string(i) + "</a>\n";
    return page + "</body></html>";
}

const FaultCase kCases[] = {
    {"NeverAnswers", false,
     [](FaultSite& s) {
         s.raw = std::make_unique<RawSocketServer>(RawSocketServer::Mode::NeverAccept);
         return s.raw->Url("/never.htm");
     }},
    {"StallsAfterHead", false,
     [](FaultSite& s) {
         s.site.SetResponse("/stall.htm", Response("<a href='x.htm'>x</a>", "text/html",
                                                   &LocalSiteResponse::stallAfterHead));
         return std::string("stall.htm");
     },
     [](FaultSite&) {}, 2, FetchLowSpeedOnly, "stall.htm failed: 0x800C000B"},
    {"StallsMidBody", false,
     [](FaultSite& s) {
         std::string body = "<html><body><a href='half-read.htm'>first half</a>";
         body += std::string(4000, ' ') + "<a href='never-read.htm'>second half</a>";
         s.site.SetResponse("/mid.htm",
                            Response(body, "text/html", &LocalSiteResponse::stallMidBody));
         return std::string("mid.htm");
     },
     [](FaultSite& s) { EXPECT_TRUE(s.site.RequestsFor("/never-read.htm").empty()); }, 2,
     FetchLowSpeedOnly, "mid.htm failed: 0x800C000B"},
    {"ResetsTheConnection", false,
     [](FaultSite& s) {
         s.raw = std::make_unique<RawSocketServer>(RawSocketServer::Mode::Reset);
         return s.raw->Url("/reset.htm");
     }},
    {"NotFound", false,
     [](FaultSite& s) {
         s.site.SetStatus("/gone.htm", 404, "<html><body>gone</body></html>");
         return std::string("gone.htm");
     }},
    {"ServerError", false,
     [](FaultSite& s) {
         s.site.SetStatus("/broken.htm", 500, "<html><body>broken</body></html>");
         return std::string("broken.htm");
     }},
    {"RedirectLoop", false,
     [](FaultSite& s) {
         s.site.SetRedirect("/loop1.htm", "/loop2.htm");
         s.site.SetRedirect("/loop2.htm", "/loop1.htm");
         return std::string("loop1.htm");
     },
     [](FaultSite&) {}, 2, nullptr, "loop1.htm failed: 0x800C0014"},
    {"RedirectToAFile", false,
     [](FaultSite& s) {
         const std::string page = MakeTestFolder("faults") + "/secret.htm";
         WriteFileBytes(page, "<html><body><a href='/from-secret.htm'>s</a></body></html>");
         s.site.SetRedirect("/to-file.htm", PathToFileUrl(page));
         return std::string("to-file.htm");
     },
     [](FaultSite& s) { EXPECT_TRUE(s.site.RequestsFor("/from-secret.htm").empty()); }, 2, nullptr,
     "to-file.htm failed: 0x800C0002"},
    {"OverSizePage", false,
     [](FaultSite& s) {
         std::string body = "<html><body><a href='early.htm'>early</a>";
         body += std::string(9u << 20, ' ');
         body += "<a href='late.htm'>late</a></body></html>";
         s.site.SetBody("/huge.htm", body);
         return std::string("huge.htm");
     },
     [](FaultSite& s) {
         EXPECT_FALSE(s.site.RequestsFor("/early.htm").empty());
         EXPECT_TRUE(s.site.RequestsFor("/late.htm").empty());
     }},
    {"NotHtmlUnderAnHtmlName", false,
     [](FaultSite& s) {
         s.site.SetBody("/binary.html", SamplePicture("rose.jpg"), "application/octet-stream");
         return std::string("binary.html");
     }},
    {"ContentLengthTooLong", false,
     [](FaultSite& s) {
         s.raw = std::make_unique<RawSocketServer>(
             RawSocketServer::Mode::Reply,
             "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 50000\r\n"
             "Connection: close\r\n\r\n<html><body><a href='/short.htm'>x</a>");
         return s.raw->Url("/long.htm");
     }},
    {"ContentLengthTooShort", false,
     [](FaultSite& s) {
         s.raw = std::make_unique<RawSocketServer>(
             RawSocketServer::Mode::Reply,
             "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 12\r\n"
             "Connection: close\r\n\r\n<html><body><a href='/cut.htm'>x</a></body></html>");
         return s.raw->Url("/short.htm");
     }},
    {"GzipPage", false,
     [](FaultSite& s) {
         s.site.SetResponse("/zipped.htm",
                            Response("<html><body><a href='from-gzip.htm'>z</a></body></html>",
                                     "text/html", &LocalSiteResponse::gzip));
         return std::string("zipped.htm");
     },
     [](FaultSite& s) { EXPECT_FALSE(s.site.RequestsFor("/from-gzip.htm").empty()); }},
    {"ThousandsOfSelfLinks", false,
     [](FaultSite& s) {
         std::string page = ManyLinks("self.htm#", 3000);
         for (int i = 0; i < 2000; ++i)
             page += "<a href='self.htm'>again</a><a href='/self.htm'>and again</a>";
         s.site.SetBody("/self.htm", page);
         return std::string("self.htm");
     },
     // Its probe and its load, once.
     [](FaultSite& s) { EXPECT_LE(s.site.RequestsFor("/self.htm").size(), 2u); }},
    {"ThousandsOfDistinctLinks", false,
     [](FaultSite& s) {
         s.site.SetBody("/many.htm", ManyLinks("/distinct", 5000));
         return std::string("many.htm");
     },
     [](FaultSite& s) { EXPECT_TRUE(s.site.RequestsFor("/distinct0").empty()); }, 1},
    {"TruncatedPicture", true,
     [](FaultSite& s) {
         s.site.SetResponse("/cut.png", Response(SamplePicture("map.png"), "image/png",
                                                 &LocalSiteResponse::dropMidBody));
         return std::string("cut.png");
     },
     [](FaultSite&) {}, 2, nullptr, "cut.png: Transferred a partial file"},
    {"StalledPicture", true,
     [](FaultSite& s) {
         s.site.SetResponse("/slow.png", Response(SamplePicture("map.png"), "image/png",
                                                  &LocalSiteResponse::stallMidBody));
         return std::string("slow.png");
     },
     [](FaultSite&) {}, 2, DownloadFloorOnly, "slow.png: slower than the lowest rate"},
    {"EmptyPicture", true,
     [](FaultSite& s) {
         s.site.SetBody("/empty.png", "", "image/png");
         return std::string("empty.png");
     },
     [](FaultSite&) {}, 2, nullptr, "empty.png: 0 bytes, not read"},
    {"NotAPicture", true,
     [](FaultSite& s) {
         s.site.SetBody("/text.png", "this is no picture at all", "image/png");
         return std::string("text.png");
     },
     [](FaultSite&) {}, 2, nullptr, "not a picture of a readable size (25 bytes)"},
    {"HtmlUnderAJpegName", true,
     [](FaultSite& s) {
         s.site.SetBody("/page.jpg", "<html><body>a page</body></html>", "text/html");
         return std::string("page.jpg");
     },
     [](FaultSite&) {}, 2, nullptr, "not a picture of a readable size (32 bytes)"},
    {"HugeInPixelsSmallInBytes", true,
     [](FaultSite& s) {
         s.site.SetBody("/huge.png", HugePixelPng(60000, 60000), "image/png");
         return std::string("huge.png");
     },
     [](FaultSite&) {}, 2, nullptr, "not a picture of a readable size"},
    {"PictureRedirectedToAFile", true,
     [](FaultSite& s) {
         s.site.SetRedirect("/to-file.png",
                            PathToFileUrl(std::string(MORVELLE_SOURCE_DIR) +
                                          "/resources/sample-site/pictures/rose.jpg"));
         return std::string("to-file.png");
     },
     [](FaultSite&) {}, 2, nullptr, "to-file.png: Unsupported protocol"},
};

// Long enough for the slowest case on a busy machine; a case whose guard did not end it
// runs into it, as the other guards are out of its reach.
constexpr std::chrono::seconds kDeadline{120};

// Switches trace channels on and captures standard error until End (or the scope's end),
// then switches them back to the environment's.
class TraceCapture {
public:
    explicit TraceCapture(const char* channels) {
        SetTraceChannels(channels);
        ::testing::internal::CaptureStderr();
    }
    ~TraceCapture() { End(); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // What was written meanwhile; "" after the first call.
    std::string End() {
        if (ended_)
            return "";
        ended_ = true;
        std::string text = ::testing::internal::GetCapturedStderr();
        const char* traced = std::getenv("MORVELLE_TRACE");
        SetTraceChannels(traced != nullptr ? traced : "");
        return text;
    }

private:
    bool ended_ = false;
};

struct Param {
    const FaultCase* fault;
    bool view;  // a whole extraction, else a crawl of pages
};

class FaultMatrixTest : public CrawlFixture, public ::testing::WithParamInterface<Param> {
protected:
    FaultMatrixTest()
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads,
                       FaultTiming(GetParam().fault)) {
        static std::atomic<int> count{0};
        storage_ = "c:\\faults\\storage" + std::to_string(++count);
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    std::string storage_;
};

TEST_P(FaultMatrixTest, EndsWithinItsGuardsAndKeepsWhatWasFound) {
    const FaultCase& fault = *GetParam().fault;
    FaultSite site;
    const std::string address = fault.setup(site);
    std::string start =
        "<html><body><a href='good.htm'>good</a>"
        "<img src='good.png' width=200 height=200>";
    start += fault.picture ? "<img src='" + address + "' width=200 height=200>"
                           : "<a href='" + address + "'>fault</a>";
    site.site.SetBody("/start.htm", start + "</body></html>");

    // A view stored earlier, beside the one this case writes. The site folder is the
    // host with its port, without the ":".
    const std::string siteFolder = "127.0.0.1" + std::to_string(site.site.Port());
    const std::string older = storage_ + "\\" + siteFolder + "\\older";
    for (const std::string& folder : {std::string("c:"), std::string("c:\\faults"), storage_,
                                      storage_ + "\\" + siteFolder, older})
        CreateDirectory(folder);
    ASSERT_TRUE(WriteFileBytes(older + "\\allImages.htm", "stored before"));

    // The trace tells how the fault was ended.
    TraceCapture capture("net,browser,image");
    std::string viewFolder;
    if (GetParam().view) {
        PanelSettings settings;
        settings.folder = storage_;
        settings.siteUrl = site.site.Url("/start.htm");
        settings.depth = fault.depth;
        settings.viewName = "view";
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, "");
        ASSERT_TRUE(RunToEnd(*job, kDeadline));
        viewFolder = job->GetViewFolder();
        EXPECT_GE(job->GetPagesVisitedCount(), 2);
        // The good pictures are stored and shown; a broken one has no thumbnail.
        const StringArray images = FileNamesIn(job->GetImagesFolder());
        for (const char* good : {"good.png", "second.png"})
            EXPECT_TRUE(std::count(images.begin(), images.end(), good)) << good;
        EXPECT_EQ(FileNamesIn(job->GetThumbsFolder()), (StringArray{"good.jpg", "second.jpg"}));
        EXPECT_EQ(FileNamesIn(viewFolder),
                  (StringArray{"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"}));
        const std::string all = FileTextOf(job->GetAllImagesPage());
        EXPECT_NE(all.find("images\\second.png"), std::string::npos) << all;
    } else {
        OwnedJob<CrawlSiteJob> crawl(new CrawlSiteJob);
        crawl->SetStartUrl(site.site.Url("/start.htm"));
        crawl->SetMaxDepth(fault.depth);
        ASSERT_TRUE(RunToEnd(*crawl, kDeadline));
        const StringArray visited = crawl->GetVisitedUrls();
        EXPECT_TRUE(std::count(visited.begin(), visited.end(), site.site.Url("/good.htm")));
    }
    // Ended by its own guard or check: the others were out of reach of the deadline.
    const std::string trace = capture.End();
    if (fault.endedBy != nullptr) {
        EXPECT_NE(trace.find(fault.endedBy), std::string::npos) << trace;
    }
    EXPECT_FALSE(site.site.RequestsFor("/good.htm").empty());
    fault.check(site);

    EXPECT_TRUE(WaitForIdleManager());
    // No job runs on (RunToEnd waited for the job's own thread to let go of it); the
    // fixture then shuts the browser pool down and joins its threads and loaders.
    EXPECT_EQ(FileTextOf(older + "\\allImages.htm"), "stored before");
    for (const std::string& file : FilesBelow(MapToLinuxPath(storage_))) {
        const bool inView = file.rfind(siteFolder + "/view/", 0) == 0;
        EXPECT_TRUE(inView || file == siteFolder + "/older/allImages.htm") << file;
    }
}

std::vector<Param> AllParams() {
    std::vector<Param> params;
    for (const FaultCase& fault : kCases) {
        if (!fault.picture)
            params.push_back({&fault, false});
        params.push_back({&fault, true});
    }
    return params;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrixTest, ::testing::ValuesIn(AllParams()),
                         [](const ::testing::TestParamInfo<Param>& info) {
                             return std::string(info.param.fault->name) +
                                    (info.param.view ? "View" : "Pages");
                         });

}  // namespace

// ---- A page whose pictures all share one file name ----------------------------------
// Every picture is collected once and stored under a name of its own (pic, pic-2,
// pic-3...), in page order, and the view lists them all. The names are made, and the
// pictures found, in steps that grow with the page: the large fast case would take
// minutes of the process lock if each picture were compared with those before it.

namespace {

struct SharedNameCase {
    const char* name;
    int pictures;
    bool fast;  // the view lists the remote addresses: nothing is downloaded
};

const SharedNameCase kSharedNameCases[] = {
    {"FiveThousandListed", 5000, true},
    {"ThreeHundredStored", 300, false},
};

class SharedNamePageTest : public CrawlFixture,
                           public ::testing::WithParamInterface<SharedNameCase> {
protected:
    SharedNamePageTest()
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads, FaultTiming()) {
        static std::atomic<int> count{0};
        storage_ = "c:\\faults\\shared" + std::to_string(++count);
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    std::string storage_;
};

TEST_P(SharedNamePageTest, EveryPictureIsKeptOnceUnderANameOfItsOwn) {
    const SharedNameCase& c = GetParam();
    FaultSite site;
    LocalSiteResponse picture;
    picture.body = SamplePicture("map.png");
    picture.contentType = "image/png";
    site.site.SetDefaultResponse(picture);
    std::string page = "<html><body>";
    for (int i = 0; i < c.pictures; ++i)
        page += "<img src='/shared/" + std::to_string(i) + "/pic.png' width=200 height=200>\r\n";
    // Sent gzip-compressed: the server's own compression of a large page takes seconds
    // of a busy machine, past the fetch's low-speed window.
    LocalSiteResponse start;
    start.body = page + "</body></html>";
    start.gzip = true;
    site.site.SetResponse("/start.htm", std::move(start));

    for (const std::string& folder : {std::string("c:"), std::string("c:\\faults"), storage_})
        CreateDirectory(folder);
    PanelSettings settings;
    settings.folder = storage_;
    settings.siteUrl = site.site.Url("/start.htm");
    settings.depth = 0;
    settings.fast = c.fast;
    settings.viewName = "view";
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(settings, "");
    ASSERT_TRUE(RunToEnd(*job, kDeadline));

    StringArray names{"pic"};
    StringArray files{"pic.png"};
    for (int n = 2; n <= c.pictures; ++n) {
        names.push_back("pic-" + std::to_string(n));
        files.push_back(names.back() + ".png");
    }
    EXPECT_EQ(job->GetMatchingImageCount(), c.pictures);
    EXPECT_EQ(job->GetLocalNames(), names);
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()),
              (StringArray{"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"}));
    const std::string all = FileTextOf(job->GetAllImagesPage());
    const std::string last = std::to_string(c.pictures - 1);
    int fetched = 0;
    for (const LocalSiteRequest& request : site.site.Requests())
        fetched += request.path.rfind("/shared/", 0) == 0 ? 1 : 0;
    if (c.fast) {
        EXPECT_EQ(fetched, 0);
        EXPECT_NE(all.find(site.site.Url("/shared/" + last + "/pic.png")), std::string::npos);
    } else {
        EXPECT_EQ(fetched, c.pictures) << "each picture fetched once";
        std::sort(files.begin(), files.end());
        EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), files);
        EXPECT_EQ(static_cast<int>(job->GetThumbnails().size()), c.pictures);
        EXPECT_NE(all.find("images\\" + names.back() + ".png"), std::string::npos);
    }
    EXPECT_TRUE(WaitForIdleManager());
    const std::string viewFolder = "127.0.0.1" + std::to_string(site.site.Port()) + "/view/";
    for (const std::string& file : FilesBelow(MapToLinuxPath(storage_)))
        EXPECT_EQ(file.rfind(viewFolder, 0), 0u) << file;
}

INSTANTIATE_TEST_SUITE_P(SharedNames, SharedNamePageTest, ::testing::ValuesIn(kSharedNameCases),
                         [](const ::testing::TestParamInfo<SharedNameCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
