// The command line of morvelle-crawl: the start URL, the crawl settings and which
// product's engine values the run uses. Settings left off the command line keep the
// values the driver loaded from the image band's registry key.
#pragma once

#include <optional>
#include <string>

#include "engine/crawl/PageJobValues.h"

// What one product gives the engine: its job-manager limit, its browser count and what
// its page jobs read.
struct DriverProduct {
    const char* name;
    int jobLimit;
    int browserThreads;
    PageJobValues pageValues;
};

struct DriverOptions {
    // Empty: serve the bundled sample site and start at its index.htm.
    std::string url;
    const DriverProduct* product = nullptr;  // the image band's unless --product
    bool crawlOnly = false;
    bool help = false;
    // Set only when given on the command line.
    std::optional<int> depth;
    std::optional<bool> wander;
    std::optional<int> minWidth;
    std::optional<int> minHeight;
    std::optional<int> maxImages;
    std::optional<std::string> viewName;
    std::optional<bool> fast;
    std::optional<std::string> folder;
};

// Reads argv. False, with one line of explanation in *error, for an unknown option, a
// missing or malformed value, a second URL, or a URL that is not an http:// or https://
// address with a host.
bool ParseDriverOptions(int argc, const char* const* argv, DriverOptions* options,
                        std::string* error);

// The usage text.
const char* DriverUsage();
