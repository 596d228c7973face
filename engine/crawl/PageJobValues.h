// What a product's page jobs read from each page, and which links its crawl treats as
// pages: values of the product, chosen where it builds its crawl.
#pragma once

#include <string_view>

#include "engine/util/UrlClassification.h"

struct PageJobValues {
    // Whether the page model collects the page's e-mail addresses.
    bool readEmailAddresses = false;
    // Whether the page test (IsPageExtension) lets through links that also name a
    // non-page file (".pdf", ".zip", ".exe"...): the MP3 finder band's test does.
    bool pageTestAllowsFiles = false;

    // The test a link must pass to be offered to the crawl as a page.
    bool IsPageUrl(std::string_view url) const { return IsPageExtension(url, pageTestAllowsFiles); }
};

// The image finder band reads images, links and frame addresses only.
inline constexpr PageJobValues ImageFinderBandPageJobValues{false, false};
// The file finder band, the MP3 finder band and the site MP3 finder also read e-mail
// addresses.
inline constexpr PageJobValues FileFinderBandPageJobValues{true, false};
inline constexpr PageJobValues Mp3FinderBandPageJobValues{true, true};
inline constexpr PageJobValues SiteMp3FinderPageJobValues{true, false};
