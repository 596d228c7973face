// A generated web site for the crawl benchmarks: pages numbered breadth first, each
// linking its four children, so that a crawl to depth d reaches a known number of pages,
// and each carrying pictures of several sizes (declared on some image tags, not on others).
#pragma once

#include <string>
#include <vector>

// One picture file the site's images are copies of.
struct SitePicture {
    std::string extension;  // ".jpg", ".png", ".gif"
    int width = 0;
    int height = 0;
    std::string bytes;
};

struct GeneratedSite {
    int pages = 0;
    int images = 0;  // image files, every one of its own name
    // Pages reached by a crawl from the start page to depth d, for d = 0, 1, ... up to the
    // first depth that reaches every page (and at least up to depth 3).
    std::vector<int> pagesPerDepth;
};

// The start page of a generated site, relative to its folder.
inline constexpr const char* kGeneratedStartPage = "index.htm";
// Children linked by every page.
inline constexpr int kGeneratedChildrenPerPage = 4;

// Writes a site of pages (at least 1) pages into folder, a Linux path that is created when
// missing: "index.htm" is page 0, "pages/p<n>.htm" page n, and page n links pages 4n+1 to
// 4n+4 (those that exist), then its parent, the next page and the start page, none of
// which changes how deep a page lies. Each page shows imagesPerPage pictures
// "images/p<n>-<k><extension>", copies of pictures in turn; every other image tag declares
// the picture's size. Files of an earlier site in the folder are replaced; others are left
// alone. Throws std::invalid_argument for pages < 1, imagesPerPage < 0 or an empty list
// of pictures while images are asked for, and std::runtime_error when a file cannot be
// written.
GeneratedSite GenerateSite(const std::string& folder, int pages, int imagesPerPage,
                           const std::vector<SitePicture>& pictures);

// The pages of page n's links in page order (the links GenerateSite writes).
std::vector<int> GeneratedLinksOf(int page, int pages);
