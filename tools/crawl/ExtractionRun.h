// The driver's default run: a whole image extraction.
#pragma once

#include <string>

#include "tools/crawl/DriverOptions.h"

// Extracts the images of the site at startUrl with the image band's settings and the
// product's values, printing a progress line whenever the panel's progress page would
// show something new, then the view's all-images page (its system path and the Linux
// path it maps to). 0, or 1 when no page could be read or that page was not written.
// On the main thread; builds and takes down the engine itself.
int RunExtraction(const DriverOptions& options, const std::string& startUrl);
