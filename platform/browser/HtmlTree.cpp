#include "platform/browser/HtmlTree.h"

#include "platform/browser/LinkAddress.h"

HtmlTree::HtmlTree(std::string documentUrl)
    : documentUrl_(std::move(documentUrl)), baseUrl_(documentUrl_) {}

std::string HtmlTree::Resolve(std::string_view href) const {
    return ResolveLinkAddress(baseUrl_, href);
}

void HtmlTree::Finish(std::unique_ptr<HtmlElement> root) {
    root_ = std::move(root);
    const std::vector<HtmlElement*> bases = FindElements(
        [](const HtmlElement& e) { return e.Tag() == "base" && e.FindAttribute("href"); });
    if (!bases.empty()) {
        const std::string base =
            ResolveLinkAddress(documentUrl_, *bases.front()->FindAttribute("href"));
        if (!SchemeOfAddress(base).empty())
            baseUrl_ = base;
    }
    for (const HtmlElement* frame : FindElements(
             [](const HtmlElement& e) { return e.Tag() == "frame" || e.Tag() == "iframe"; })) {
        FrameInfo info;
        if (const std::string* name = frame->FindAttribute("name"))
            info.name = *name;
        if (const std::string* src = frame->FindAttribute("src")) {
            if (!src->empty())
                info.src = Resolve(*src);
        }
        frames_.push_back(std::move(info));
    }
}
