// What a product's page jobs read from each page, and which links its crawl treats as
// pages: values of the product, chosen where it builds its crawl.
#pragma once

#include <string_view>

#include "engine/util/UrlClassification.h"

struct PageJobValues {
    // Whether the page model collects the page's e-mail addresses.
    bool readEmailAddresses = false;
    // The test a link must pass to be offered to the crawl as a page.
    bool (*isPageUrl)(std::string_view url) = IsPageExtension;
};

// The image finder band reads images, links and frame addresses only.
inline constexpr PageJobValues ImageFinderBandPageJobValues{false, IsPageExtension};
// The file finder band and the site MP3 finder also read e-mail addresses.
inline constexpr PageJobValues FileFinderBandPageJobValues{true, IsPageExtension};
inline constexpr PageJobValues SiteMp3FinderPageJobValues{true, IsPageExtension};
