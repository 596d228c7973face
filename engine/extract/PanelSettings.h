// The extraction criteria and preferences of a band's panel: one record, held by the
// panel and copied by value into every extraction job.
#pragma once

#include <string>

struct PanelSettings {
    // Extra start addresses, one per line (the file band's site list).
    std::string siteList;
    // A site folder name that replaces the site's host in the storage layout.
    std::string siteFolderName;
    // The site to crawl, or the site folder of an opened view.
    std::string siteUrl;
    // The smallest image, in pixels, that counts as a match.
    int minWidth = 0;
    int minHeight = 0;
    // Leave the start site while crawling.
    bool wander = false;
    // Use images already stored. Every extraction sets it before use; a new record, and
    // so the first save of a new key, holds true.
    bool cache = true;
    // Link depth of the crawl.
    int depth = 1;
    // The smallest file size that counts.
    int minFileSize = 0;
    // The storage folder the job writes to.
    std::string folder;
    // The greatest number of images (loading the settings makes 0 into 20).
    int maxImages = 0;
    // The view folder's name.
    std::string viewName = "default";
    // Make thumbnails, in a box of this many pixels.
    bool thumbnails = true;
    int thumbnailWidth = 100;
    int thumbnailHeight = 100;
    // The size of the zoom page's pictures, in pixels.
    int zoomSize = 500;
    // The fast variant of the extract command.
    bool fast = false;
    // Delete earlier stored images first.
    bool removeCache = true;
    // The file band's filter words.
    std::string filterWords;

    bool operator==(const PanelSettings&) const = default;
};
