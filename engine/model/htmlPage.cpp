#include "engine/model/htmlPage.h"

#include <charconv>

#include "engine/model/ModelVocabulary.h"
#include "engine/model/PageReading.h"
#include "engine/model/aggCollection.h"
#include "engine/model/htmlForm.h"
#include "engine/model/htmlFrame.h"
#include "engine/model/htmlImage.h"
#include "engine/model/htmlLink.h"
#include "engine/util/Conversions.h"
#include "engine/util/StringArrays.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"
#include "platform/trace/Trace.h"

namespace {

// Asks a collection member for the interface of kind (any kind for Other), as a
// browser reader asks: a member that lacks it, or is broken, throws ComError and so
// ends the reader's loop.
std::shared_ptr<HtmlElement> QueryElement(const std::shared_ptr<HtmlElement>& element,
                                          HtmlElementKind kind) {
    if (!element)
        throw ComError(E_NOINTERFACE);
    const HtmlElementKind actual = element->Kind();
    if (kind != HtmlElementKind::Other && actual != kind)
        throw ComError(E_NOINTERFACE);
    return element;
}

// Hands object to page's collection for its tag; an object no collection takes is
// deleted with the pointer.
void AddToPage(htmlPage& page, std::unique_ptr<aggObject> object) {
    if (page.add(object.get()))
        object.release();
}

// The file size in bytes when text is a whole non-negative number; the browser writes
// "-1" for an image it did not fetch.
bool KnownFileSize(const std::string& text, long long& size) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [rest, error] = std::from_chars(begin, end, size);
    return error == std::errc() && rest == end && size >= 0;
}

bool HoldsAddressSigns(std::string_view word) {
    return word.find('@') != std::string_view::npos && word.find('.') != std::string_view::npos;
}

}  // namespace

htmlPage::htmlPage() {
    setTagName(kHtmlPageTag);
    addAttribute(kUrlAttribute, kUnknownValue);
    addAttribute(kTitleAttribute, kUnknownValue);
    addAttribute(kFileCreatedDateAttribute, kUnknownValue);
    addAttribute(kFileModifiedDateAttribute, kUnknownValue);
    addAttribute(kFileUpdatedDateAttribute, kUnknownValue);
    addAttribute(kFileSizeAttribute, kUnknownValue);
    addCollection(kHtmlFramesCollection, kHtmlFrameTag);
    addCollection(kHtmlFormsCollection, kHtmlFormTag);
    addCollection(kHtmlImagesCollection, kHtmlImageTag);
    addCollection(kHtmlLinksCollection, kHtmlLinkTag);
    addCollection(kHtmlEmailAddressesCollection, kHtmlEmailAddressTag);
}

void htmlPage::releaseDom() {
    document_.reset();
    aggObject::releaseDom();
}

void htmlPage::load(const std::shared_ptr<HtmlDocument>& document, bool readForms,
                    bool readEmailAddresses) {
    try {
        if (!document)
            throw ComError(E_POINTER);
        document_ = document;
        try {
            const std::string url = document->Url();
            setName(url);
            setAttribute(kUrlAttribute, url);
            setAttribute(kTitleAttribute, document->Title());
        } catch (const ComError& error) {
            Trace("model", "page header not read: %s", error.what());
        }
        if (readForms)
            loadForms(document);
        loadLinks(document);
        loadImages(document);
        if (readEmailAddresses)
            loadEmailAddresses(document);
        loadFrames(document);
    } catch (const ComError& error) {
        Trace("model", "page not read: %s", error.what());
    }
}

void htmlPage::loadForms(const std::shared_ptr<HtmlDocument>& document) {
    try {
        if (!document)
            throw ComError(E_POINTER);
        const HtmlElementCollection forms = document->Forms();
        for (LONG i = 0; i < forms.Length(); ++i) {
            const auto element = QueryElement(forms.Item(i), HtmlElementKind::Form);
            auto form = std::make_unique<htmlForm>();
            form->load(element);
            form->setIndex(i);
            AddToPage(*this, std::move(form));
        }
    } catch (const ComError& error) {
        Trace("model", "forms not read further: %s", error.what());
    }
}

void htmlPage::loadLinks(const std::shared_ptr<HtmlDocument>& document) {
    try {
        if (!document)
            throw ComError(E_POINTER);
        const HtmlElementCollection links = document->Links();
        for (LONG i = 0; i < links.Length(); ++i) {
            const auto element = QueryElement(links.Item(i), HtmlElementKind::Other);
            auto link = std::make_unique<htmlLink>();
            link->load(element);
            link->setIndex(i);
            AddToPage(*this, std::move(link));
        }
    } catch (const ComError& error) {
        Trace("model", "links not read further: %s", error.what());
    }
}

void htmlPage::loadImages(const std::shared_ptr<HtmlDocument>& document) {
    try {
        if (!document)
            throw ComError(E_POINTER);
        const HtmlElementCollection images = document->Images();
        for (LONG i = 0; i < images.Length(); ++i) {
            const auto element = QueryElement(images.Item(i), HtmlElementKind::Image);
            auto image = std::make_unique<htmlImage>();
            image->load(element);
            image->setIndex(i);
            AddToPage(*this, std::move(image));
        }
    } catch (const ComError& error) {
        Trace("model", "images not read further: %s", error.what());
    }
}

void htmlPage::loadFrames(const std::shared_ptr<HtmlDocument>& document) {
    try {
        if (!document)
            throw ComError(E_POINTER);
        const HtmlFramesCollection frames = document->Frames();
        for (LONG i = 0; i < frames.Length(); ++i) {
            const std::shared_ptr<HtmlWindow> window = frames.Item(i);
            if (!window)
                throw ComError(E_NOINTERFACE);
            auto frame = std::make_unique<htmlFrame>();
            frame->load(window);
            AddToPage(*this, std::move(frame));
        }
    } catch (const ComError& error) {
        Trace("model", "frames not read further: %s", error.what());
    }
}

void htmlPage::loadEmailAddresses(const std::shared_ptr<HtmlDocument>& document) {
    if (!document)
        return;
    try {
        const HtmlElementCollection links = document->Links();
        for (LONG i = 0; i < links.Length(); ++i) {
            const auto element = QueryElement(links.Item(i), HtmlElementKind::Other);
            auto address = std::make_unique<htmlEmailAddress>();
            address->load(element);
            address->setIndex(i);
            if (IsEmailUrl(address->getAttribute(kUrlAttribute)))
                AddToPage(*this, std::move(address));
        }
    } catch (const ComError& error) {
        Trace("model", "mail links not read further: %s", error.what());
    }
    // The text is read even when a link broke: it comes from the document alone.
    StringArray words;
    SplitText(GetDocumentText(document), words, 0);
    for (const std::string& word : words) {
        if (!HoldsAddressSigns(word))
            continue;
        const std::string cleaned = CleanEmailWord(word);
        if (!HoldsAddressSigns(cleaned))
            continue;
        auto address = std::make_unique<htmlEmailAddress>();
        address->setName(cleaned);
        address->setAttribute(kUrlAttribute, "mailto:" + cleaned);
        AddToPage(*this, std::move(address));
    }
}

void htmlPage::appendUrls(const char* containedType, StringArray& list) const {
    const aggCollection* collection = findCollection(containedType);
    if (collection == nullptr)
        return;
    for (int i = 0; i < collection->getChildCount(); ++i) {
        if (const aggObject* member = collection->getAt(i))
            list.push_back(member->getAttribute(kUrlAttribute));
    }
}

void htmlPage::getLinkUrls(StringArray& list, bool withFrames) const {
    if (findCollection(kHtmlLinkTag) == nullptr)
        return;
    if (withFrames)
        getFrameUrls(list);
    appendUrls(kHtmlLinkTag, list);
}

void htmlPage::getFrameUrls(StringArray& list) const {
    appendUrls(kHtmlFrameTag, list);
}

void htmlPage::getImageUrls(StringArray& urls, StringArray& names, int minWidth, int minHeight,
                            int minFileSize) const {
    const aggCollection* images = findCollection(kHtmlImageTag);
    if (images == nullptr)
        return;
    for (int i = 0; i < images->getChildCount(); ++i) {
        const aggObject* image = images->getAt(i);
        if (image == nullptr)
            continue;
        long long fileSize = 0;
        if (minFileSize > 0 && KnownFileSize(image->getAttribute(kFileSizeAttribute), fileSize) &&
            fileSize < minFileSize) {
            continue;
        }
        const int width = StringToInt(image->getAttribute(kWidthAttribute));
        const int height = StringToInt(image->getAttribute(kHeightAttribute));
        if (minWidth >= 1 && width < minWidth)
            continue;
        if (minHeight > 0 && height < minHeight)
            continue;
        urls.push_back(image->getAttribute(kUrlAttribute));
        names.push_back(image->getName());
    }
}

void htmlPage::getEmailAddresses(StringArray& list) const {
    appendUrls(kHtmlEmailAddressTag, list);
}

htmlForm* htmlPage::getForm(int n) const {
    const aggCollection* forms = findCollection(kHtmlFormTag);
    if (forms == nullptr)
        return nullptr;
    return dynamic_cast<htmlForm*>(forms->getAt(n));
}

bool htmlPage::setFormValue(int formIndex, const std::string& fieldName, const std::string& text) {
    htmlForm* form = getForm(formIndex);
    return form != nullptr && form->setElementValue(fieldName, text);
}

bool htmlPage::getFormValue(int formIndex, const std::string& fieldName, std::string& result) {
    htmlForm* form = getForm(formIndex);
    return form != nullptr && form->getElementValue(fieldName, result);
}
