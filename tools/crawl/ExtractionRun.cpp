#include "tools/crawl/ExtractionRun.h"

#include <chrono>
#include <cstdio>

#include "engine/jobs/Job.h"
#include "formatter/HtmlFormatterInterface.h"
#include "platform/com/ComLibrary.h"
#include "platform/file/FileLayer.h"
#include "platform/registry/Registry.h"
#include "tools/crawl/DriverEngine.h"
#include "tools/crawl/DriverSettings.h"
#include "tools/crawl/WatchedImagesJob.h"

using namespace std::chrono_literals;

namespace {

// The progress page's status text of each phase.
const char* PhaseText(int phase) {
    switch (phase) {
        case 0:
            return " - finding images...";
        case 1:
            return " - downloading images...";
        case 2:
            return " - generating images...";
        case 3:
            return " - building views...";
        default:
            return "";
    }
}

// Whether the view pages can be written: the page-writing job creates Corvane's
// formatter by its class identifier from the module the registry names. Says why not.
bool FormatterIsRegistered() {
    IUnknown* formatter = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IUnknown,
                                        reinterpret_cast<void**>(&formatter));
    if (SUCCEEDED(hr)) {
        formatter->Release();
        return true;
    }
    const char* why = hr == REGDB_E_CLASSNOTREG ? "is not registered"
                      : hr == CO_E_DLLNOTFOUND  ? "is registered, but its module file is missing"
                                                : "cannot be created";
    std::fprintf(stderr,
                 "morvelle-crawl: Corvane's gallery formatter %s (0x%08X, registry store %s):\n"
                 "  no view page will be written. Register it first:\n"
                 "  morvelle-register <build folder>/formatter/libCorvane.so\n",
                 why, static_cast<unsigned>(hr), RegistryStorePath().c_str());
    return false;
}

// Creates the storage folder with every folder above it that is missing. The job
// creates the storage folder and the view's folders one level each, as the band does
// where the web browser's folder exists; here the base data folder and the drive's
// folder may not exist yet. False when the folder is not there afterwards.
bool MakeStorageFolder(const std::string& folder) {
    const std::string path = MapToLinuxPath(folder);
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        CreateDirectory(path.substr(0, slash));
    CreateDirectory(path);
    return FolderExists(path);
}

}  // namespace

int RunExtraction(const DriverOptions& options, const std::string& startUrl) {
    const PanelSettings settings = MakeDriverSettings(options, startUrl);
    const bool formatter = FormatterIsRegistered();
    if (!MakeStorageFolder(settings.folder)) {
        std::fprintf(stderr, "morvelle-crawl: the storage folder %s (%s) cannot be created\n",
                     settings.folder.c_str(), MapToLinuxPath(settings.folder).c_str());
        return 1;
    }

    DriverEngine engine(*options.product);
    OwnedJob<WatchedImagesJob> job(new WatchedImagesJob(options.product->pageValues));
    job->MakeViewPages(settings, "");
    std::printf(
        "Extracting the images of %s (depth %d%s, at least %d x %d pixels, at most %d%s)\n"
        "  view folder %s\n  (%s)\n",
        job->GetName().c_str(), settings.depth, settings.wander ? ", wander" : "",
        settings.minWidth, settings.minHeight, settings.maxImages, settings.fast ? ", fast" : "",
        job->GetViewFolder().c_str(), MapToLinuxPath(job->GetViewFolder()).c_str());
    std::fflush(stdout);

    // One line whenever the progress page would show something new: pages visited and
    // found, images seen and matching, and the percent text (percent, " | " and the
    // downloaded count once there is one, the phase).
    std::string shown;
    engine.RunToEnd(*job, 250ms, [&] {
        std::string percent = std::to_string(job->GetProgress());
        if (job->GetDownloadedCount() != 0)
            percent += " | " + std::to_string(job->GetDownloadedCount());
        percent += PhaseText(job->GetPhase());
        const std::string line = "pages visited " + std::to_string(job->GetPagesVisitedCount()) +
                                 ", found " + std::to_string(job->GetPagesFoundCount()) +
                                 "; images " + std::to_string(job->GetImageCount()) +
                                 ", matching " + std::to_string(job->GetMatchingImageCount()) +
                                 "; " + percent;
        if (line != shown) {
            shown = line;
            std::printf("%s  %s\n", job->GetElapsedText().c_str(), line.c_str());
            std::fflush(stdout);
        }
    });

    std::printf("%d images matching, %d downloaded, %zu thumbnails\n", job->GetMatchingImageCount(),
                job->GetDownloadedCount(), job->GetThumbnails().size());
    if (job->GetLoadedPageCount() == 0) {
        std::fprintf(stderr, "morvelle-crawl: the start page %s could not be loaded\n",
                     startUrl.c_str());
        return 1;
    }
    const std::string page = job->GetAllImagesPage();
    if (!FileIsReadable(page)) {
        std::fprintf(stderr, "morvelle-crawl: the view page %s was not written%s\n",
                     MapToLinuxPath(page).c_str(),
                     formatter ? "" : ": the gallery formatter is not registered");
        return 1;
    }
    std::printf("%s\n%s\n", page.c_str(), MapToLinuxPath(page).c_str());
    return 0;
}
