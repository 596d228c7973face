// An image of a page ("html-image": "url", "width", "height", "fileSize").
// Runs on the thread that owns the browser document.
#pragma once

#include <memory>

#include "engine/model/aggObject.h"

class HtmlElement;

class htmlImage : public aggObject {
public:
    htmlImage();

    // name, url (the resolved address), width and height ("%d"), fileSize (as the
    // browser reports it). A failing read ends the load silently; what was set stays.
    // Never throws.
    void load(const std::shared_ptr<HtmlElement>& image);
};
