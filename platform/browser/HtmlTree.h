// The parsed element tree of one document, with what the parse fixed about it: the
// address that relative links resolve against and the frames the page declares.
//
// A tree is always held by std::shared_ptr; elements handed out keep it alive. Once a
// loader has published a tree it never changes it again; readers change it only on
// the thread that owns its document.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/browser/HtmlElement.h"

class HtmlDocumentObserver;

class HtmlTree : public std::enable_shared_from_this<HtmlTree> {
public:
    // One frame or iframe element of the page, as the parse found it.
    struct FrameInfo {
        std::string name;  // its "name" attribute
        std::string src;   // its "src" made absolute; empty without one
    };

    explicit HtmlTree(std::string documentUrl);

    // The root (html) element; null only before the parser set it.
    HtmlElement* Root() const { return root_.get(); }
    // The address of the document this tree was parsed for.
    const std::string& DocumentUrl() const { return documentUrl_; }
    // The first base element's href made absolute, else the document's address.
    const std::string& BaseUrl() const { return baseUrl_; }
    // href made absolute against BaseUrl() (see ResolveLinkAddress).
    std::string Resolve(std::string_view href) const;
    // The frame and iframe elements in document order.
    const std::vector<FrameInfo>& Frames() const { return frames_; }

    // Every element in document order for which keep is true.
    template <class Predicate>
    std::vector<HtmlElement*> FindElements(Predicate keep) const {
        std::vector<HtmlElement*> found;
        if (root_)
            Collect(root_.get(), keep, found);
        return found;
    }

    // An owning handle on element, which belongs to this tree.
    std::shared_ptr<HtmlElement> Share(HtmlElement* element) {
        return std::shared_ptr<HtmlElement>(shared_from_this(), element);
    }
    // Keeps an element that left the tree alive as long as the tree, since a reader
    // may still hold it.
    void KeepDetached(std::unique_ptr<HtmlElement> element) {
        detached_.push_back(std::move(element));
    }

    // For the parser: sets the root, then works out the base address and the frames.
    void Finish(std::unique_ptr<HtmlElement> root);

    // Who is told of changes made through the tree's elements (see
    // HtmlDocumentObserver); null when nobody is, or the observer has gone.
    std::shared_ptr<HtmlDocumentObserver> Observer() const { return observer_.lock(); }
    void SetObserver(std::weak_ptr<HtmlDocumentObserver> observer) {
        observer_ = std::move(observer);
    }

private:
    template <class Predicate>
    static void Collect(HtmlElement* element, Predicate& keep, std::vector<HtmlElement*>& found) {
        if (keep(*element))
            found.push_back(element);
        for (const HtmlElement::Node& child : element->Children()) {
            if (child.element)
                Collect(child.element.get(), keep, found);
        }
    }

    std::string documentUrl_;
    std::string baseUrl_;
    std::vector<FrameInfo> frames_;
    std::vector<std::unique_ptr<HtmlElement>> detached_;
    std::weak_ptr<HtmlDocumentObserver> observer_;
    std::unique_ptr<HtmlElement> root_;
};
