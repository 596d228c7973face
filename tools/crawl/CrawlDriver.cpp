// morvelle-crawl: runs the page engine from the command line as a finder panel would,
// until the panels exist. It builds the job manager and the browser pool with the
// product's values, queues one job, prints its progress while it runs, and at the end
// takes the pool and the manager down in order. A developer's tool.
//
//   morvelle-crawl [URL] [--depth N] [--wander] [--product image|file|mp3|sitemp3]
//                  [--crawl-only] [--min-width N] [--min-height N] [--max-images N]
//                  [--view NAME] [--fast] [--folder PATH]
//
// By default a whole image extraction (crawl, downloads, thumbnails, view pages) with
// the image band's settings: those not given on the command line come from the band's
// registry key, written with its defaults on first start. With --crawl-only a plain
// crawl lists every page with the links and images read from it. Without a URL the
// bundled sample site is served on 127.0.0.1 and crawled from its index.htm.
//
// Exit status: 0 done; 1 the run failed (no page could be read, no view page written,
// the sample site could not be served); 2 a wrong command line.
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/LocalSiteServer.h"
#include "tools/crawl/CrawlRun.h"
#include "tools/crawl/DriverOptions.h"
#include "tools/crawl/ExtractionRun.h"

int main(int argc, char** argv) {
    DriverOptions options;
    std::string error;
    if (ParseDriverOptions(argc, argv, &options, &error) && !options.crawlOnly &&
        std::strcmp(options.product->name, "image") != 0) {
        error = "the extraction is the image band's: other products only with --crawl-only";
    }
    if (!error.empty()) {
        std::fprintf(stderr, "morvelle-crawl: %s\n%s", error.c_str(), DriverUsage());
        return 2;
    }
    if (options.help) {
        std::printf("%s", DriverUsage());
        return 0;
    }

    // Declared before the runs build the engine, so it serves until the engine is down.
    std::unique_ptr<LocalSiteServer> sampleSite;
    std::string startUrl = options.url;
    if (startUrl.empty()) {
        const std::string folder = MORVELLE_SAMPLE_SITE_DIR;
        if (!FileIsReadable(folder + "/index.htm")) {
            std::fprintf(stderr, "morvelle-crawl: the sample site is missing (%s)\n",
                         folder.c_str());
            return 1;
        }
        try {
            LocalSiteServerOptions serverOptions;
            serverOptions.recordRequests = false;
            sampleSite = std::make_unique<LocalSiteServer>(folder, serverOptions);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "morvelle-crawl: cannot serve the sample site: %s\n", e.what());
            return 1;
        }
        startUrl = sampleSite->Url("/index.htm");
        std::printf("Serving the sample site %s at %s\n", folder.c_str(),
                    sampleSite->BaseUrl().c_str());
    }
    return options.crawlOnly ? RunCrawlOnly(options, startUrl) : RunExtraction(options, startUrl);
}
