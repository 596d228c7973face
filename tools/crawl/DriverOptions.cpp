#include "tools/crawl/DriverOptions.h"

#include <string_view>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/JobManager.h"
#include "engine/util/UrlClassification.h"
#include "platform/text/Text.h"

namespace {

// The MP3 finder band's pool is the one an extraction creates.
const DriverProduct kProducts[] = {
    {"image", ImageFinderBandJobLimit, ImageFinderBandBrowserThreads, ImageFinderBandPageJobValues},
    {"file", FileFinderBandJobLimit, FileFinderBandBrowserThreads, FileFinderBandPageJobValues},
    {"mp3", Mp3FinderBandJobLimit, Mp3FinderBandExtractionBrowserThreads,
     Mp3FinderBandPageJobValues},
    {"sitemp3", SiteMp3FinderJobLimit, SiteMp3FinderBrowserThreads, SiteMp3FinderPageJobValues},
};

bool ParseCount(std::string_view text, int high, int* value) {
    if (text.empty() || text.size() > 9)
        return false;
    long long number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

// An http:// or https:// address with a host of printable characters and no blanks.
bool IsWebAddress(std::string_view url) {
    const std::string lower = ToLowerAscii(url);
    std::string_view rest;
    if (lower.starts_with("http://"))
        rest = std::string_view(lower).substr(7);
    else if (lower.starts_with("https://"))
        rest = std::string_view(lower).substr(8);
    else
        return false;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f)
            return false;
    }
    const std::string host = HostOfUrl(url);
    return !rest.empty() && !host.empty() && host.find('\\') == std::string::npos;
}

}  // namespace

const char* DriverUsage() {
    return "usage: morvelle-crawl [URL] [--depth N] [--wander] [--product image|file|mp3|sitemp3]\n"
           "                      [--crawl-only] [--min-width N] [--min-height N]\n"
           "                      [--max-images N] [--view NAME] [--fast] [--folder PATH]\n"
           "  URL             the start page (http:// or https://); none: the bundled sample\n"
           "                  site, served on 127.0.0.1\n"
           "  --depth N       link depth of the crawl\n"
           "  --wander        follow links to other hosts\n"
           "  --product P     whose engine values to use: job limit, browsers, what pages\n"
           "                  read (image)\n"
           "  --crawl-only    crawl only: list each page with its links and images\n"
           "  --min-width N, --min-height N   smallest image that counts, in pixels\n"
           "  --max-images N  stop the crawl once this many images match\n"
           "  --view NAME     the view folder's name (default)\n"
           "  --fast          no downloads or thumbnails: the pages list the remote addresses\n"
           "  --folder PATH   the storage folder (\"c:\\...\" or a Linux path)\n"
           "Other settings come from the image band's registry key, with its defaults.\n";
}

bool ParseDriverOptions(int argc, const char* const* argv, DriverOptions* options,
                        std::string* error) {
    options->product = &kProducts[0];
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            options->help = true;
            return true;
        }
        if (name == "--wander") {
            options->wander = true;
            continue;
        }
        if (name == "--fast") {
            options->fast = true;
            continue;
        }
        if (name == "--crawl-only") {
            options->crawlOnly = true;
            continue;
        }
        if (!name.starts_with("-")) {
            if (!options->url.empty()) {
                *error = "one start URL only: \"" + std::string(name) + "\" is a second one";
                return false;
            }
            if (!IsWebAddress(name)) {
                *error = "\"" + std::string(name) +
                         "\" is not a web address (http://host/... or https://host/...)";
                return false;
            }
            options->url = name;
            continue;
        }
        const bool takesValue = name == "--depth" || name == "--product" || name == "--min-width" ||
                                name == "--min-height" || name == "--max-images" ||
                                name == "--view" || name == "--folder";
        if (!takesValue) {
            *error = "unknown option " + std::string(name);
            return false;
        }
        if (i + 1 >= argc) {
            *error = std::string(name) + " needs a value";
            return false;
        }
        const std::string_view value = argv[++i];
        int number = 0;
        bool ok = true;
        if (name == "--depth") {
            ok = ParseCount(value, 1000, &number);
            options->depth = number;
        } else if (name == "--min-width") {
            ok = ParseCount(value, 1'000'000, &number);
            options->minWidth = number;
        } else if (name == "--min-height") {
            ok = ParseCount(value, 1'000'000, &number);
            options->minHeight = number;
        } else if (name == "--max-images") {
            ok = ParseCount(value, 100'000'000, &number);
            options->maxImages = number;
        } else if (name == "--view") {
            // A view is one folder inside the site's folder.
            ok = value.find_first_of("\\/:") == std::string_view::npos && value != "." &&
                 value != "..";
            options->viewName = std::string(value);
        } else if (name == "--folder") {
            ok = !value.empty();
            options->folder = std::string(value);
        } else {
            ok = false;
            for (const DriverProduct& product : kProducts) {
                if (value == product.name) {
                    options->product = &product;
                    ok = true;
                }
            }
        }
        if (!ok) {
            *error = "bad value \"" + std::string(value) + "\" for " + std::string(name);
            return false;
        }
    }
    return true;
}
