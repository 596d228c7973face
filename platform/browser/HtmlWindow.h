// The window of one frame or iframe of a page: its name and the document it shows.
// Threading and failures as for HtmlDocument.
#pragma once

#include <memory>
#include <string>

class HtmlDocument;

class HtmlWindow {
public:
    HtmlWindow(std::string name, std::shared_ptr<HtmlDocument> document);

    // The frame's name (its element's "name" attribute). Throws ComError when broken.
    std::string Name() const;
    // The document shown in the frame (never null); "about:blank" for a frame that was
    // not loaded. Throws ComError when broken.
    std::shared_ptr<HtmlDocument> Document() const;

    // Tests: a broken window throws ComError(E_FAIL) from every read.
    void SetBroken(bool broken) { broken_ = broken; }

private:
    std::string name_;
    std::shared_ptr<HtmlDocument> document_;
    bool broken_ = false;
};
