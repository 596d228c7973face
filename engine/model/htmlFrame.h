// A frame of a page ("html-frame": "url"). Runs on the thread that owns the browser
// document.
#pragma once

#include <memory>

#include "engine/model/aggObject.h"

class HtmlWindow;

class htmlFrame : public aggObject {
public:
    htmlFrame();

    // name := the frame window's name; url := the address of its document. A failing
    // read ends the load silently; what was set stays. Never throws.
    void load(const std::shared_ptr<HtmlWindow>& window);
};
