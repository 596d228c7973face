#include "engine/pages/MakeHtmlPageJob.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "engine/jobs/JobNames.h"
#include "engine/util/PageText.h"
#include "engine/util/StringArrays.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"
#include "formatter/HtmlFormatterInterface.h"
#include "platform/com/Bstr.h"
#include "platform/com/ComError.h"
#include "platform/com/ComLibrary.h"
#include "platform/trace/Trace.h"

namespace {

void Check(HRESULT hr) {
    if (FAILED(hr))
        throw ComError(hr);
}

// An item as it may stand in the formatter's item list, which is cut at ",", CR and
// LF: those become their URL escapes, which name the same address.
std::string EncodeListItem(const std::string& item) {
    std::string encoded;
    encoded.reserve(item.size());
    for (const char ch : item) {
        switch (ch) {
            case ',':
                encoded += "%2C";
                break;
            case '\r':
                encoded += "%0D";
                break;
            case '\n':
                encoded += "%0A";
                break;
            default:
                encoded += ch;
        }
    }
    return encoded;
}

// Whether an item is an address already ("file:///...", "http://..."): a scheme of two
// or more letters, digits, "+", "-" or "." starting with a letter, then ":". A local
// path's drive ("c:") is one letter.
bool IsSchemeLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsAddress(std::string_view item) {
    const size_t colon = item.find(':');
    if (colon == std::string_view::npos || colon < 2 || !IsSchemeLetter(item[0]))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        const char ch = item[i];
        if (!IsSchemeLetter(ch) && !(ch >= '0' && ch <= '9') && ch != '+' && ch != '-' && ch != '.')
            return false;
    }
    return true;
}

// A text with every one of separators turned into a blank.
std::string BlankOut(std::string text, std::string_view separators) {
    for (char& ch : text) {
        if (separators.find(ch) != std::string_view::npos)
            ch = ' ';
    }
    return text;
}

std::string JoinItems(const StringArray& items) {
    StringArray encoded;
    encoded.reserve(items.size());
    for (const std::string& item : items)
        encoded.push_back(EncodeListItem(item));
    return JoinWithCommas(encoded);
}

// Each text with its list separators blanked out.
StringArray BlankOutAll(const StringArray& texts, std::string_view separators) {
    StringArray cleaned;
    cleaned.reserve(texts.size());
    for (const std::string& text : texts)
        cleaned.push_back(BlankOut(text, separators));
    return cleaned;
}

}  // namespace

MakeHtmlPageJob::MakeHtmlPageJob() : Job("unknown") {
    SetTypeName(MakeHtmlPageJobName);
}

void MakeHtmlPageJob::SetPage(const std::string& pagePath, const std::string& style,
                              const StringArray& items, const StringArray& comments, SIZE size) {
    TakeSharedImages();
    pagePath_ = pagePath;
    style_ = style;
    images_.insert(images_.end(), items.begin(), items.end());
    comments_.insert(comments_.end(), comments.begin(), comments.end());
    size_ = size;
    zoomSize_ = 0;
}

void MakeHtmlPageJob::SetPage(const std::string& pagePath, const std::string& style,
                              std::shared_ptr<const StringArray> items, const StringArray& comments,
                              SIZE size) {
    SetPage(pagePath, style, StringArray(), comments, size);
    sharedImages_ = std::move(items);
}

void MakeHtmlPageJob::TakeSharedImages() {
    if (sharedImages_ == nullptr)
        return;
    images_.insert(images_.end(), sharedImages_->begin(), sharedImages_->end());
    sharedImages_.reset();
}

void MakeHtmlPageJob::Run() {
    TakeSharedImages();
    CoInitialize(nullptr);
    try {
        ComPointer<IUnknown> unknown;
        Check(CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IUnknown,
                               unknown.putVoid()));
        Check(OleRun(unknown.get()));
        ComPointer<IHtmlFormatter> formatter;
        Check(unknown->QueryInterface(IID_IHtmlFormatter, formatter.putVoid()));

        if (!images_.empty() && !IsHttpUrl(images_.front())) {
            const std::string pageFolder = StripFileNameAnySeparator(pagePath_) + "\\";
            // A file name may hold anything ("%", "#", blanks...): the page names each
            // file by an address that a browser decodes back to the file's path. An item
            // that is an address already (a file: URL of a fast view) stays one.
            for (std::string& item : images_) {
                item = TrimString(ReplaceAll(item, pageFolder, ""));
                if (!IsAddress(item))
                    item = FilePathToAddress(item);
            }
        }
        const std::string images = JoinItems(images_);
        const std::string names = JoinWithCommas(BlankOutAll(itemNames_, ",\r\n"));
        const std::string comments = JoinWithTabs(BlankOutAll(comments_, "\t\r\n"));

        Check(formatter->size(size_.cx, size_.cy));
        Check(formatter->put_style(ScopedBstr(style_).get()));
        Check(formatter->addImages(ScopedBstr(images).get()));
        Check(formatter->addComments(ScopedBstr(comments).get()));
        Check(formatter->addNames(ScopedBstr(names).get()));
        Check(formatter->put_zoomSize(zoomSize_));
        Check(formatter->save(ScopedBstr(pagePath_).get()));
    } catch (const std::exception& error) {
        Trace("jobs", "MakeHtmlPageJob %s: %s", pagePath_.c_str(), error.what());
    }
    CoUninitialize();
}
