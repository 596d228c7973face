// The engine's own page writers, beside the gallery formatter: an image list page and
// a slide-show page written straight from a list of image locations.
//
// Any thread; they touch no shared state. Neither throws: a target that cannot be
// created, or a failed write, gives false and leaves any earlier file as it was.
#pragma once

#include <string_view>

#include "platform/text/Text.h"

// Writes path: the title in the head, then one img tag per image, its src
// "file:///" + the location when asFileUrls is set (a local path keeps its
// backslashes), else the location itself.
bool WriteImageListPage(std::string_view path, std::string_view title, const StringArray& images,
                        bool asFileUrls);

// Writes path: a slide show that preloads the images (with "file:///" before each
// location when asFileUrls is set) and shows them one after another in its picture
// "zoom", one every 10 seconds once started.
bool WriteSlideshowPage(std::string_view path, std::string_view title, const StringArray& images,
                        bool asFileUrls);
