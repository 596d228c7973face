// The page reader: the bytes of a page, through the document model, to its links,
// images, frames, forms and e-mail addresses, as a page job and a panel read them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/model/PageReading.h"
#include "engine/model/htmlPage.h"
#include "platform/browser/HtmlDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::shared_ptr<HtmlDocument> document =
        ParseHtmlDocument(bytes, "http://fuzz.example/dir/page.htm");
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, true);
    StringArray links, frames, images, names, addresses;
    page->getLinkUrls(links, true);
    page->getFrameUrls(frames);
    page->getImageUrls(images, names, 0, 0, 0);
    page->getImageUrls(images, names, 100, 100, 10);
    page->getEmailAddresses(addresses);
    if (images.size() != names.size())
        __builtin_trap();
    // From the text: "mailto:" and the word; from a link: its address, which passed
    // the e-mail test.
    for (const std::string& address : addresses) {
        if (address.rfind("mailto:", 0) != 0 && !IsEmailUrl(address))
            __builtin_trap();
    }
    GetDocumentHtml(document);
    GetDocumentText(document);
    page->releaseDom();
    return 0;
}
