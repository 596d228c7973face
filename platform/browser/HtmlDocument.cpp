#include "platform/browser/HtmlDocument.h"

#include <map>

#include "platform/browser/HtmlDocumentObserver.h"
#include "platform/browser/HtmlParser.h"
#include "platform/browser/HtmlTextRendering.h"
#include "platform/browser/HtmlTree.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"

namespace {

constexpr const char* kBlankUrl = "about:blank";

template <class Predicate>
HtmlElementCollection Share(HtmlTree& tree, Predicate keep) {
    std::vector<std::shared_ptr<HtmlElement>> items;
    for (HtmlElement* element : tree.FindElements(keep))
        items.push_back(tree.Share(element));
    return HtmlElementCollection(std::move(items));
}

}  // namespace

HtmlDocument::HtmlDocument(std::string url, std::shared_ptr<HtmlTree> tree, std::string readyState)
    : url_(std::move(url)), tree_(std::move(tree)), readyState_(std::move(readyState)) {
    MakeFrameWindows();
}

void HtmlDocument::MakeFrameWindows() {
    frames_.clear();
    for (const HtmlTree::FrameInfo& frame : tree_->Frames()) {
        frames_.push_back(std::make_shared<HtmlWindow>(frame.name, MakeEmptyDocument(kBlankUrl)));
    }
}

void HtmlDocument::CheckReadable() const {
    if (broken_)
        throw ComError(E_FAIL);
}

std::string HtmlDocument::Url() const {
    CheckReadable();
    return url_;
}

std::string HtmlDocument::Title() const {
    CheckReadable();
    const auto titles =
        tree_->FindElements([](const HtmlElement& e) { return e.Tag() == "title"; });
    return titles.empty() ? std::string() : FoldWhiteSpace(CollectText(*titles.front()));
}

std::string HtmlDocument::ReadyState() const {
    CheckReadable();
    return readyState_;
}

HtmlElementCollection HtmlDocument::Images() const {
    CheckReadable();
    return Share(*tree_, [](const HtmlElement& e) { return e.Tag() == "img"; });
}

HtmlElementCollection HtmlDocument::Links() const {
    CheckReadable();
    return Share(*tree_, [](const HtmlElement& e) {
        return (e.Tag() == "a" || e.Tag() == "area") && e.FindAttribute("href") != nullptr;
    });
}

HtmlElementCollection HtmlDocument::Forms() const {
    CheckReadable();
    return Share(*tree_, [](const HtmlElement& e) { return e.Tag() == "form"; });
}

HtmlElementCollection HtmlDocument::GetElementsByTagName(std::string_view tag) const {
    CheckReadable();
    const bool all = tag == "*";
    return Share(*tree_, [&](const HtmlElement& e) { return all || EqualsNoCase(e.Tag(), tag); });
}

HtmlFramesCollection HtmlDocument::Frames() const {
    CheckReadable();
    return HtmlFramesCollection(frames_);
}

std::shared_ptr<HtmlElement> HtmlDocument::Body() const {
    CheckReadable();
    HtmlElement* root = tree_->Root();
    if (root == nullptr)
        return nullptr;
    for (const HtmlElement::Node& child : root->Children()) {
        if (child.element &&
            (child.element->Tag() == "body" || child.element->Tag() == "frameset")) {
            return tree_->Share(child.element.get());
        }
    }
    return nullptr;
}

std::shared_ptr<HtmlElement> HtmlDocument::DocumentElement() const {
    CheckReadable();
    return tree_->Root() ? tree_->Share(tree_->Root()) : nullptr;
}

std::shared_ptr<HtmlElement> HtmlDocument::GetElementById(std::string_view id) const {
    CheckReadable();
    if (id.empty())
        return nullptr;
    const auto found = tree_->FindElements([&](const HtmlElement& e) {
        const std::string* value = e.FindAttribute("id");
        return value != nullptr && *value == id;
    });
    return found.empty() ? nullptr : tree_->Share(found.front());
}

void HtmlDocument::Write(std::string_view html) {
    CheckReadable();
    written_ += html;
}

void HtmlDocument::Close() {
    CheckReadable();
    tree_ = ParseHtml(written_, url_);
    tree_->SetObserver(observer_);
    written_.clear();
    readyState_ = "complete";
    MakeFrameWindows();
    if (const auto observer = observer_.lock())
        observer->OnDocumentWritten(*this);
}

void HtmlDocument::ReplaceFromHtml(std::string_view html) {
    // What the loader learnt of each picture it fetched (file size, own size) stays with
    // the pictures of the same address in the new content.
    struct Fetched {
        std::string fileSize;
        LONG width = 0;
        LONG height = 0;
    };
    std::map<std::string, Fetched> fetched;
    for (const HtmlElement* image :
         tree_->FindElements([](const HtmlElement& e) { return e.Tag() == "img"; })) {
        const std::string* src = image->FindAttribute("src");
        if (src != nullptr && image->FetchedFileSize() != "-1")
            fetched.emplace(
                tree_->Resolve(*src),
                Fetched{image->FetchedFileSize(), image->NaturalWidth(), image->NaturalHeight()});
    }
    tree_ = ParseHtml(html, url_);
    for (HtmlElement* image :
         tree_->FindElements([](const HtmlElement& e) { return e.Tag() == "img"; })) {
        const std::string* src = image->FindAttribute("src");
        if (src == nullptr)
            continue;
        if (auto known = fetched.find(tree_->Resolve(*src)); known != fetched.end()) {
            image->SetFileSize(known->second.fileSize);
            image->SetNaturalSize(known->second.width, known->second.height);
        }
    }
    tree_->SetObserver(observer_);
    MakeFrameWindows();
}

void HtmlDocument::SetObserver(std::weak_ptr<HtmlDocumentObserver> observer) {
    observer_ = std::move(observer);
    tree_->SetObserver(observer_);
}

std::string HtmlDocument::DesignMode() const {
    CheckReadable();
    return designMode_;
}

void HtmlDocument::SetDesignMode(std::string_view mode) {
    CheckReadable();
    designMode_ = std::string(mode);
    if (const auto observer = observer_.lock())
        observer->OnDesignModeChanged(*this, designMode_);
}

void HtmlDocument::SetFrameDocument(std::size_t index, std::shared_ptr<HtmlDocument> document) {
    if (index >= frames_.size() || !document)
        return;
    frames_[index] = std::make_shared<HtmlWindow>(tree_->Frames()[index].name, std::move(document));
}

std::shared_ptr<HtmlDocument> HtmlDocument::WithReadyState(std::string readyState) const {
    auto copy = std::make_shared<HtmlDocument>(url_, tree_, std::move(readyState));
    copy->frames_ = frames_;
    copy->designMode_ = designMode_;
    copy->observer_ = observer_;
    return copy;
}

std::shared_ptr<HtmlDocument> ParseHtmlDocument(std::string_view html, const std::string& url) {
    return std::make_shared<HtmlDocument>(url, ParseHtml(html, url), "complete");
}

std::shared_ptr<HtmlDocument> MakeEmptyDocument(const std::string& url) {
    return std::make_shared<HtmlDocument>(url, ParseHtml({}, url), "complete");
}
