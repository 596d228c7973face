#include "engine/model/PageReading.h"

#include "engine/util/StringUtilities.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"
#include "platform/trace/Trace.h"

namespace {

bool IsLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::shared_ptr<HtmlElement> RootElement(const std::shared_ptr<HtmlDocument>& document) {
    if (!document)
        throw ComError(E_POINTER);
    std::shared_ptr<HtmlElement> root = document->DocumentElement();
    if (!root)
        throw ComError(E_FAIL);
    return root;
}

}  // namespace

std::unique_ptr<htmlPage> LoadPageModel(const std::shared_ptr<HtmlDocument>& document,
                                        bool readForms, bool readEmailAddresses) {
    auto page = std::make_unique<htmlPage>();
    if (document)
        page->load(document, readForms, readEmailAddresses);
    return page;
}

std::string GetDocumentHtml(const std::shared_ptr<HtmlDocument>& document) {
    try {
        return RootElement(document)->OuterHtml();
    } catch (const ComError& error) {
        Trace("model", "document markup not read: %s", error.what());
        return "";
    }
}

std::string GetDocumentText(const std::shared_ptr<HtmlDocument>& document) {
    try {
        return RootElement(document)->InnerText();
    } catch (const ComError& error) {
        Trace("model", "document text not read: %s", error.what());
        return "";
    }
}

bool IsEmailUrl(std::string_view text) {
    if (text.find_first_of("/?&") != std::string_view::npos)
        return false;
    const std::size_t at = text.find('@');
    return at != std::string_view::npos && at > 0;
}

std::string CleanEmailWord(std::string_view word) {
    std::string cleaned(word);
    std::size_t first = 0;
    for (; first < cleaned.size() && !IsLetterOrDigit(cleaned[first]); ++first)
        cleaned[first] = ' ';
    for (std::size_t last = cleaned.size(); last > first && !IsLetterOrDigit(cleaned[last - 1]);
         --last) {
        cleaned[last - 1] = ' ';
    }
    // Only blanks were written, so trimming them takes off exactly what was blanked
    // (and any blank the word had at its ends).
    const std::size_t begin = cleaned.find_first_not_of(' ');
    if (begin == std::string::npos)
        return "";
    const std::size_t end = cleaned.find_last_not_of(' ');
    return cleaned.substr(begin, end - begin + 1);
}
