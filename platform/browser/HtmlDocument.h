// A loaded page as its readers see it: the document of a hidden browser, of a frame,
// or one made from HTML text.
//
// Reads and writes throw ComError when they fail, as calls on a browser document do;
// a document made broken (SetBroken) fails every call. Readers catch ComError at their
// edge and keep what they had read.
//
// Threading: a document is used only on the thread that owns it (the browser's UI
// thread). A page loader never changes a document after it handed it out; the document
// takes no locks.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/browser/HtmlCollection.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/HtmlWindow.h"

class HtmlDocumentObserver;
class HtmlTree;

class HtmlDocument {
public:
    // For page loaders: a document at url over a parsed tree, in the ready state given
    // ("loading", "interactive" or "complete"). Each frame of the tree gets a window
    // that shows an empty "about:blank" document until SetFrameDocument.
    HtmlDocument(std::string url, std::shared_ptr<HtmlTree> tree, std::string readyState);

    // The document's address (the final one, after redirects).
    std::string Url() const;
    // The first title element's text, white space folded.
    std::string Title() const;
    std::string ReadyState() const;

    // img elements in document order.
    HtmlElementCollection Images() const;
    // a and area elements that have an href, in document order.
    HtmlElementCollection Links() const;
    HtmlElementCollection Forms() const;
    // Elements of that tag (ignoring case; "*" for all) in document order.
    HtmlElementCollection GetElementsByTagName(std::string_view tag) const;
    // The windows of the frame and iframe elements, in document order.
    HtmlFramesCollection Frames() const;
    // The body (or frameset) element; null when the document has none.
    std::shared_ptr<HtmlElement> Body() const;
    // The root (html) element.
    std::shared_ptr<HtmlElement> DocumentElement() const;
    // The first element whose id is id (case counts); null when none.
    std::shared_ptr<HtmlElement> GetElementById(std::string_view id) const;

    // Collects HTML text for the document's new content.
    void Write(std::string_view html);
    // Replaces the content with what Write collected since the last Close (nothing
    // when nothing was written); the document is then "complete" and its frames show
    // "about:blank". Scripts in the text never run. The observer is told.
    void Close();

    // The editing mode text: "Inherit" until set. Setting it tells the observer.
    std::string DesignMode() const;
    void SetDesignMode(std::string_view mode);

    // --- For the browser control and its presentation (not for readers) ---
    // Who is told of changes made through the document and its elements.
    void SetObserver(std::weak_ptr<HtmlDocumentObserver> observer);
    // The address after a move inside the document (a fragment); the content stays.
    void SetUrl(std::string url) { url_ = std::move(url); }
    // Sets the editing mode without telling the observer (the control's own mode
    // carried onto a new document).
    void ApplyDesignMode(std::string_view mode) { designMode_ = std::string(mode); }
    // Replaces the content with html (a presentation's serialised page), keeping the
    // address, ready state, mode and observer; nobody is told.
    void ReplaceFromHtml(std::string_view html);

    // Tests: a broken document throws ComError(E_FAIL) from every call but SetBroken.
    // Elements and windows already handed out keep working.
    void SetBroken(bool broken) { broken_ = broken; }

    // --- For page loaders (not for readers) ---
    void SetReadyState(std::string readyState) { readyState_ = std::move(readyState); }
    // Shows document in frame index (ignored for an index the tree has no frame for).
    void SetFrameDocument(std::size_t index, std::shared_ptr<HtmlDocument> document);
    // A copy sharing this document's tree and frame documents, in another ready state.
    std::shared_ptr<HtmlDocument> WithReadyState(std::string readyState) const;

private:
    void CheckReadable() const;
    void MakeFrameWindows();

    std::string url_;
    std::shared_ptr<HtmlTree> tree_;
    std::string readyState_;
    std::vector<std::shared_ptr<HtmlWindow>> frames_;
    std::string designMode_ = "Inherit";
    std::string written_;
    bool broken_ = false;
    std::weak_ptr<HtmlDocumentObserver> observer_;
};

// A complete document at url made from HTML text (bytes as a page would serve them).
std::shared_ptr<HtmlDocument> ParseHtmlDocument(std::string_view html, const std::string& url);

// A complete, empty document at url ("about:blank" for a frame never loaded).
std::shared_ptr<HtmlDocument> MakeEmptyDocument(const std::string& url);
