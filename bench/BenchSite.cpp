// morvelle-bench-site: generates a site of a given size and serves it on 127.0.0.1
// until stopped, for timing crawls against it.
//
//   morvelle-bench-site [--pages N] [--images-per-page K] [--delay-ms D]
//                       [--folder PATH] [--port P] [--hostile yes]
//
// On start it prints one line on standard output:
//   base=http://127.0.0.1:P start=http://127.0.0.1:P/index.htm pages=N images=M
//   pages-per-depth=1,5,21,85,... [hostile=http://127.0.0.1:P/hostile.htm]
// With --hostile yes the server also answers a hostile page (HostilePage below).
// where the i-th number of pages-per-depth is the number of pages a crawl to depth i
// reaches. It serves until SIGINT or SIGTERM, or until standard input (a pipe, socket or
// terminal) is closed. Without --folder the site goes into a fresh temporary folder that
// is removed at the end; a given folder is kept.
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "bench/SiteGenerator.h"
#include "platform/resource/Resource.h"
#include "tests/support/LocalSiteServer.h"

namespace {

// Requests the server answers at once: enough that a delay per response acts as a
// distant server's latency and not as a queue.
constexpr int kServerWorkers = 64;

struct Options {
    int pages = 1000;
    int imagesPerPage = 3;
    int delayMs = 0;
    int port = 0;
    std::string folder;
    bool hostile = false;
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: morvelle-bench-site [--pages N] [--images-per-page K] [--delay-ms D]\n"
                 "                           [--folder PATH] [--port P]\n"
                 "  --pages N            pages of the site, 1 to 1000000 (1000)\n"
                 "  --images-per-page K  pictures on every page, 0 to 100 (3)\n"
                 "  --delay-ms D         wait before every response, 0 to 60000 (0)\n"
                 "  --folder PATH        where the site is written (kept); else a temporary\n"
                 "                       folder, removed at the end\n"
                 "  --port P             port on 127.0.0.1, 0 for a free one (0)\n"
                 "  --hostile yes        also serve /hostile.htm, a page whose server holds\n"
                 "                       transfers: a dripping page, dripping, stalled and\n"
                 "                       huge pictures among good ones\n"
                 "Prints one line (base URL, start page, pages per crawl depth), then serves\n"
                 "until SIGINT, SIGTERM or the end of standard input.\n");
}

bool ParseNumber(std::string_view text, int low, int high, int* value) {
    if (text.empty() || text.size() > 9)
        return false;
    long long number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

// False (after a message) when the command line is not understood.
bool ParseOptions(int argc, char** argv, Options* options, bool* help) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            *help = true;
            return true;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "morvelle-bench-site: %s needs a value\n", argv[i]);
            return false;
        }
        const std::string_view value = argv[++i];
        bool ok = true;
        if (name == "--pages") {
            ok = ParseNumber(value, 1, 1'000'000, &options->pages);
        } else if (name == "--images-per-page") {
            ok = ParseNumber(value, 0, 100, &options->imagesPerPage);
        } else if (name == "--delay-ms") {
            ok = ParseNumber(value, 0, 60'000, &options->delayMs);
        } else if (name == "--port") {
            ok = ParseNumber(value, 0, 65'535, &options->port);
        } else if (name == "--hostile") {
            ok = value == "yes" || value == "no";
            options->hostile = value == "yes";
        } else if (name == "--folder") {
            ok = !value.empty();
            options->folder = value;
        } else {
            std::fprintf(stderr, "morvelle-bench-site: unknown option %s\n", argv[i - 1]);
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "morvelle-bench-site: bad value \"%s\" for %s\n", argv[i],
                         argv[i - 1]);
            return false;
        }
    }
    return true;
}

// The pictures built into the program (bench-site.manifest), with their sizes.
std::vector<SitePicture> BuiltInPictures() {
    const SitePicture sizes[] = {{".gif", 32, 32, ""},   {".gif", 90, 60, ""},
                                 {".png", 120, 90, ""},  {".jpg", 160, 120, ""},
                                 {".jpg", 250, 250, ""}, {".jpg", 300, 200, ""}};
    std::vector<SitePicture> pictures;
    int id = 1;
    for (const SitePicture& size : sizes) {
        HRSRC resource = FindResource(ThisModule(), id++, "PICTURE");
        const BYTE* bytes = resource ? LoadResource(ThisModule(), resource) : nullptr;
        if (bytes == nullptr)
            throw std::runtime_error("a built-in picture is missing");
        SitePicture picture = size;
        picture.bytes.assign(reinterpret_cast<const char*>(bytes),
                             SizeofResource(ThisModule(), resource));
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::string MakeTemporaryFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "morvelle-bench-site-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

// Whether the end of standard input should stop the server: only a pipe, a socket or a
// terminal can end while the program runs (a file or /dev/null ends at once).
bool WatchStandardInput() {
    struct stat status {};
    if (fstat(STDIN_FILENO, &status) != 0)
        return false;
    return S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) || isatty(STDIN_FILENO);
}

// Waits for SIGINT or SIGTERM (blocked in every thread, read through signals), or for
// the end of standard input when watched.
void WaitForStop(int signals, bool watchInput) {
    pollfd waits[2] = {{signals, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = watchInput ? 2 : 1;
    char buffer[4096];
    for (;;) {
        if (poll(waits, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (waits[0].revents != 0)
            return;
        if (count == 2 && waits[1].revents != 0) {
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0 && !(got < 0 && errno == EINTR))
                return;
        }
    }
}

// The hostile page, for timing a depth-1 extraction against a server that holds its
// transfers: 22 good pictures with three hostile ones among them, one in each batch of
// ten the extraction downloads (a picture sent at 3 bytes a second, one whose server
// sends its head and then nothing, and a 200 MB "picture"), and a link to a page sent at
// 100 bytes a second, which only the page's overall guard ends.
void AddHostilePage(LocalSiteServer& server, const std::vector<SitePicture>& pictures) {
    LocalSiteResponse dripPage;
    dripPage.body = "<html><body>" + std::string(1 << 20, ' ') + "</body></html>";
    dripPage.dripEvery = std::chrono::milliseconds(10);
    server.SetResponse("/hostile/drip.htm", dripPage);

    LocalSiteResponse drip;
    drip.body = std::string(64 * 1024, 'd');
    drip.contentType = "image/png";
    drip.dripEvery = std::chrono::milliseconds(333);
    server.SetResponse("/hostile/drip.png", drip);
    LocalSiteResponse stalled;
    stalled.body = std::string(64 * 1024, 's');
    stalled.contentType = "image/png";
    stalled.stallAfterHead = true;
    server.SetResponse("/hostile/stalled.png", stalled);
    LocalSiteResponse huge;
    huge.body = std::string(64 * 1024, 'h');
    huge.contentType = "image/png";
    huge.repeatBody = 3200;
    server.SetResponse("/hostile/huge.png", huge);

    std::string page = "<html><body><a href='/hostile/drip.htm'>slow page</a>\n";
    for (int i = 0; i < 25; ++i) {
        std::string path;
        if (i == 5) {
            path = "/hostile/drip.png";
        } else if (i == 15) {
            path = "/hostile/stalled.png";
        } else if (i == 22) {
            path = "/hostile/huge.png";
        } else {
            const SitePicture& picture = pictures[static_cast<size_t>(i) % pictures.size()];
            path = "/hostile/good" + std::to_string(i) + picture.extension;
            server.SetBody(path, picture.bytes,
                           picture.extension == ".jpg"   ? "image/jpeg"
                           : picture.extension == ".png" ? "image/png"
                                                         : "image/gif");
        }
        page += "<img src='" + path + "' width=200 height=200>\n";
    }
    server.SetBody("/hostile.htm", page + "</body></html>");
}

std::string JoinNumbers(const std::vector<int>& numbers) {
    std::string text;
    for (const int number : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(number);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, &options, &help)) {
        PrintUsage(stderr);
        return 2;
    }
    if (help) {
        PrintUsage(stdout);
        return 0;
    }

    // Blocked before the server's threads start, so that every thread inherits the mask
    // and the signals wait for the signal descriptor.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        std::perror("morvelle-bench-site: sigprocmask");
        return 1;
    }
    const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signals < 0) {
        std::perror("morvelle-bench-site: signalfd");
        return 1;
    }
    signal(SIGPIPE, SIG_IGN);

    const bool temporary = options.folder.empty();
    int status = 0;
    try {
        options.folder =
            temporary ? MakeTemporaryFolder() : std::filesystem::absolute(options.folder).string();
        const auto started = std::chrono::steady_clock::now();
        const std::vector<SitePicture> pictures = BuiltInPictures();
        const GeneratedSite site =
            GenerateSite(options.folder, options.pages, options.imagesPerPage, pictures);
        const auto generated = std::chrono::steady_clock::now();

        LocalSiteServerOptions serverOptions;
        serverOptions.port = options.port;
        serverOptions.workerThreads = kServerWorkers;
        serverOptions.delay = std::chrono::milliseconds(options.delayMs);
        serverOptions.recordRequests = false;
        LocalSiteServer server(options.folder, serverOptions);
        std::string hostile;
        if (options.hostile) {
            AddHostilePage(server, pictures);
            hostile = " hostile=" + server.Url("/hostile.htm");
        }

        std::printf("base=%s start=%s pages=%d images=%d pages-per-depth=%s%s\n",
                    server.BaseUrl().c_str(),
                    server.Url(std::string("/") + kGeneratedStartPage).c_str(), site.pages,
                    site.images, JoinNumbers(site.pagesPerDepth).c_str(), hostile.c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "morvelle-bench-site: %d pages and %d images in %s, made in %lld ms\n",
                     site.pages, site.images, options.folder.c_str(),
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(generated - started)
                             .count()));
        WaitForStop(signals, WatchStandardInput());
        server.Stop();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "morvelle-bench-site: %s\n", error.what());
        status = 1;
    }
    if (temporary && !options.folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(options.folder, ignored);
    }
    close(signals);
    return status;
}
