// The XML text reader: any text gives a tree or none; a tree is written as XML text
// that reads back to a tree written the same way.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/tree/ElementNode.h"
#include "engine/xml/XmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<ElementNode> tree(ParseXmlText(text));
    if (!tree)
        return 0;
    const std::string written = BuildXmlText(tree.get(), true, " ");
    std::unique_ptr<ElementNode> again(ParseXmlText(written));
    if (!again)
        __builtin_trap();
    if (BuildXmlText(again.get(), true, " ") != written)
        __builtin_trap();
    XmlTextToListing(text, nullptr);
    return 0;
}
