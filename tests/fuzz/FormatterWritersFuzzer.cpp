// The gallery formatter's writers: items, names, comments and the title as hostile
// text, in every style. Whatever they hold, a written page keeps its shape: one picture
// element per item in the gallery styles, no script of the items' making, no handler
// attribute, no script link.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "formatter/styles/PageStyles.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/file/FileLayer.h"

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

const char* const kStyles[] = {"All", "Thumbs", "SlideShow", "Data", "Zoom",
                               "MP3", "Email",  "File",      "Tile", "nothing"};

StringArray TakeList(FuzzedDataProvider& input) {
    StringArray list;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 6);
    for (size_t i = 0; i < count; ++i)
        list.push_back(input.ConsumeRandomLengthString(64));
    return list;
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

// The page's shape, as the platform's document model reads it.
void CheckPage(const std::string& style, const std::string& bytes, const StringArray& images) {
    const std::shared_ptr<HtmlDocument> document = ParseHtmlDocument(bytes, "file:///view/p.htm");
    const bool slideShow = style == "SlideShow";
    const bool gallery = style == "All" || style == "Thumbs" || style == "Zoom" || style == "Data";
    if (gallery && !images.empty())
        Check(document->Images().Length() == static_cast<LONG>(images.size()));
    const HtmlElementCollection all = document->GetElementsByTagName("*");
    LONG scripts = 0;
    for (LONG i = 0; i < all.Length(); ++i) {
        const std::shared_ptr<HtmlElement> element = all.Item(i);
        if (element->TagName() == "SCRIPT" || element->TagName() == "script")
            ++scripts;
        for (const auto& [name, value] : element->Attributes()) {
            const bool handler = StartsWithNoCase(name, "on");
            Check(!handler || (slideShow && name == "onload"));
        }
        if (!slideShow && element->Kind() == HtmlElementKind::Anchor)
            Check(!StartsWithNoCase(element->GetAttribute("href"), "javascript:") &&
                  !StartsWithNoCase(element->GetAttribute("href"), "vbscript:"));
    }
    Check(scripts == (slideShow && !images.empty() ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        char pattern[] = "/tmp/morvelle-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    static const std::string path = folder + "/page.htm";

    FuzzedDataProvider input(data, size);
    const std::string style = kStyles[input.ConsumeIntegralInRange<size_t>(0, 9)];
    const PageSize pageSize{0, input.ConsumeBool() ? 0 : input.ConsumeIntegral<int>()};
    const std::string title = input.ConsumeRandomLengthString(64);
    const StringArray images = TakeList(input);
    const StringArray names = TakeList(input);
    const StringArray comments = TakeList(input);

    if (!SavePageInStyle(images, comments, names, title, style, path, pageSize))
        return 0;
    std::string bytes;
    Check(ReadFileBytes(path, &bytes));
    CheckPage(style, bytes, images);
    return 0;
}
