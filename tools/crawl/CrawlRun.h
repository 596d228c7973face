// The driver's --crawl-only run.
#pragma once

#include <string>

#include "tools/crawl/DriverOptions.h"

// Crawls from startUrl with the product's values and the driver's settings, printing
// each page as it ends (its links, its images of at least the minimum size and its
// e-mail addresses), then one summary line. 0, or 1 when no page could be read. On the
// main thread; builds and takes down the engine itself.
int RunCrawlOnly(const DriverOptions& options, const std::string& startUrl);
