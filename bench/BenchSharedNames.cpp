// morvelle-bench-shared-names: the extraction of one page whose pictures all share one
// file name, at several sizes, with the answer time of a window on the main thread
// measured while it runs.
//
//   morvelle-bench-shared-names [--pictures N[,N...]] [--downloads yes|no] [--limit-s S]
//
// For each N, a local server on 127.0.0.1 serves a page of N picture tags
// ("/pictures/<i>/pic.gif", one small GIF for every address), and the image band's
// extraction (job limit 5, 5 browsers, depth 0, no size filter, no item limit) runs on
// it: with --downloads yes (the default) the whole pipeline, downloads, thumbnails and
// the four view pages; with no, the fast extraction (the view pages list the remote
// addresses). The main thread serves a window, as a finder panel does: it listens to the
// job, and a second thread sends it a message every 10 ms (SendMessageTimeout, 10,000
// ms), which it answers after reading the counters a progress page shows (they take the
// process lock). Prints, for each N: the wall time of the crawl stage and of the whole
// extraction, the process's CPU time, what was found and stored, and how long the window
// took to answer (mean, largest, how many sends took longer than 100 ms). An extraction
// still running after --limit-s seconds (600) ends the program (larger pages are then
// not run), with its wall and CPU time so far.
//
// The registry store (MORVELLE_CONFIG_HOME) must name Corvane for the view pages to be
// written; the storage folder goes under the base data folder (MORVELLE_DATA_HOME).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/extract/CrawlSiteImagesJob.h"
#include "engine/jobs/Job.h"
#include "engine/jobs/JobManager.h"
#include "engine/jobs/JobNames.h"
#include "platform/com/ComLibrary.h"
#include "platform/file/FileLayer.h"
#include "platform/thread/Thread.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Window.h"
#include "tests/support/LocalSiteServer.h"

using Clock = std::chrono::steady_clock;

namespace {

// The image band's job limit and browser count.
constexpr int kJobLimit = 5;
constexpr int kBrowsers = 5;
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kAnswerTimeoutMs = 10'000;
constexpr auto kSendInterval = std::chrono::milliseconds(10);
constexpr auto kSlowAnswer = std::chrono::milliseconds(100);

// A 1 x 1 GIF.
constexpr unsigned char kPicture[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

struct Options {
    std::vector<int> pictures{1000, 10000, 100000};
    bool downloads = true;
    int limitSeconds = 600;
};

bool ParseCount(std::string_view text, int* value) {
    if (text.empty() || text.size() > 7)
        return false;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    *value = number;
    return number > 0;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const std::string_view value = argv[i + 1];
        if (name == "--pictures") {
            options->pictures.clear();
            size_t start = 0;
            while (start <= value.size()) {
                const size_t end = std::min(value.find(',', start), value.size());
                int count = 0;
                if (!ParseCount(value.substr(start, end - start), &count))
                    return false;
                options->pictures.push_back(count);
                start = end + 1;
            }
        } else if (name == "--downloads" && (value == "yes" || value == "no")) {
            options->downloads = value == "yes";
        } else if (name == "--limit-s") {
            if (!ParseCount(value, &options->limitSeconds))
                return false;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

std::string SharedNamePage(int pictures) {
    std::string page = "<html><body>\r\n";
    for (int i = 0; i < pictures; ++i)
        page += "<img src='/pictures/" + std::to_string(i) + "/pic.gif'>\r\n";
    return page + "</body></html>\r\n";
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The main thread's window: reads what a progress page shows, and ends the loop when
// the job tells it it has finished.
class PanelStandIn : public WindowHandler {
public:
    explicit PanelStandIn(CrawlSiteImagesJob* job) : job_(job) {}

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kProgressMessage) {
            shown_ = job_->GetImageCount() + job_->GetMatchingImageCount() +
                     job_->GetPagesFoundCount() + job_->GetDownloadedCount();
            if (crawlEnded_ == Clock::time_point{} && job_->GetStage() != GetHtmlPageJobName)
                crawlEnded_ = Clock::now();
            return 1;
        }
        if (message == WM_JOB_FINISHED && reinterpret_cast<Job*>(wParam) == job_) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }

    Clock::time_point CrawlEnded() const { return crawlEnded_; }

private:
    CrawlSiteImagesJob* job_;
    long long shown_ = 0;
    Clock::time_point crawlEnded_{};
};

struct Answers {
    long long count = 0;
    long long slow = 0;
    Clock::duration total{};
    Clock::duration longest{};
    long long failed = 0;
};

// Sends to the window every interval until told to end.
void SendToWindow(HWND window, const std::atomic<bool>& end, Answers* answers) {
    while (!end.load()) {
        const auto began = Clock::now();
        DWORD_PTR result = 0;
        const LRESULT sent = SendMessageTimeout(window, kProgressMessage, 0, 0, SMTO_NORMAL,
                                                kAnswerTimeoutMs, &result);
        const auto took = Clock::now() - began;
        if (sent == 0 && !end.load())
            ++answers->failed;
        ++answers->count;
        answers->total += took;
        answers->longest = std::max(answers->longest, took);
        if (took > kSlowAnswer)
            ++answers->slow;
        std::this_thread::sleep_for(kSendInterval);
    }
}

// Ends the program once the limit has passed, unless told to end first: the job may
// hold the process lock for long yet, so neither the window nor a counter would answer.
void Watchdog(int pictures, bool downloads, int limitSeconds, const std::atomic<bool>& end,
              double cpuBegan) {
    const auto began = Clock::now();
    const auto deadline = began + std::chrono::seconds(limitSeconds);
    while (!end.load() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (end.load())
        return;
    std::printf("%7d pictures%s: STOPPED after %.2f s wall, %.2f s CPU; larger pages not run\n",
                pictures, downloads ? "" : " (fast)", Seconds(Clock::now() - began),
                CpuSeconds() - cpuBegan);
    std::fflush(stdout);
    std::_Exit(3);
}

void RunOne(LocalSiteServer& server, int pictures, const Options& options) {
    const std::string path = "/shared-" + std::to_string(pictures) + ".htm";
    // Compressed as a web server would; gzip is quick to make (the test server's own
    // compression of a large page takes seconds).
    LocalSiteResponse page;
    page.body = SharedNamePage(pictures);
    page.gzip = true;
    server.SetResponse(path, std::move(page));

    PanelSettings settings;
    settings.folder = "c:\\bench-shared-names\\storage";
    settings.siteUrl = server.Url(path);
    settings.depth = 0;
    settings.minWidth = 0;
    settings.minHeight = 0;
    settings.maxImages = 0;
    settings.fast = !options.downloads;
    settings.viewName = "shared" + std::to_string(pictures);
    for (const char* folder : {"c:", "c:\\bench-shared-names", "c:\\bench-shared-names\\storage"})
        CreateDirectory(folder);

    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(settings, "");
    PanelStandIn panel(job.get());
    const HWND window = CreateMessageWindow(&panel);
    job->AddListenerWindow(window);

    std::atomic<bool> end{false};
    Answers answers;
    const double cpuBegan = CpuSeconds();
    const auto began = Clock::now();
    theJobManager->AddJob(job.get());
    std::thread sender(SendToWindow, window, std::cref(end), &answers);
    std::thread watchdog(Watchdog, pictures, options.downloads, options.limitSeconds,
                         std::cref(end), cpuBegan);
    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    const auto ended = Clock::now();
    end = true;
    sender.join();
    watchdog.join();
    while (!job->WaitForEnd(1000)) {
    }
    const double cpu = CpuSeconds() - cpuBegan;

    const Clock::time_point crawlEnded = panel.CrawlEnded();
    const double crawl = crawlEnded == Clock::time_point{} ? 0.0 : Seconds(crawlEnded - began);
    std::printf(
        "%7d pictures%s: extracted in %8.2f s wall (crawl stage %.2f s), %8.2f s CPU; matching %d, "
        "names %zu, downloaded %d, thumbnails %zu, all-images page %s\n"
        "                 window: %lld answers, mean %.1f ms, longest %.1f ms, %lld over "
        "100 ms, %lld not answered\n",
        pictures, options.downloads ? "" : " (fast)", Seconds(ended - began), crawl, cpu,
        job->GetMatchingImageCount(), job->GetLocalNames().size(), job->GetDownloadedCount(),
        job->GetThumbnails().size(),
        FileIsReadable(job->GetAllImagesPage()) ? "written" : "missing", answers.count,
        answers.count ? Seconds(answers.total) * 1000 / static_cast<double>(answers.count) : 0.0,
        Seconds(answers.longest) * 1000, answers.slow, answers.failed);
    std::fflush(stdout);
    DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: morvelle-bench-shared-names [--pictures N[,N...]] "
                     "[--downloads yes|no] [--limit-s S]\n");
        return 2;
    }
    CoInitialize(nullptr);
    LocalSiteServerOptions serverOptions;
    serverOptions.workerThreads = 16;
    serverOptions.recordRequests = false;
    serverOptions.keepAlive = true;
    LocalSiteServer server("", serverOptions);
    LocalSiteResponse picture;
    picture.body.assign(reinterpret_cast<const char*>(kPicture), sizeof kPicture);
    picture.contentType = "image/gif";
    server.SetDefaultResponse(picture);

    theJobManager = new JobManager(kJobLimit);
    theJobManager->StartThread();
    StartBrowserPool(BrowserImagesAllowed, kBrowsers);
    for (const int pictures : options.pictures)
        RunOne(server, pictures, options);
    ShutdownBrowserPool();
    theJobManager->Stop();
    theJobManager->Join();
    DeleteJob(theJobManager);
    theJobManager = nullptr;
    CoUninitialize();
    return 0;
}
