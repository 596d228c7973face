// The readers of XML files. They are the only part of the XML text functions that
// needs the file layer.
#include <memory>
#include <string>

#include "engine/xml/XmlText.h"
#include "platform/file/FileLayer.h"
#include "platform/xml/XmlDocument.h"

ElementNode* LoadXmlFile(const std::string& path) {
    std::unique_ptr<XmlDocument> document = CreateXmlDocument();
    if (!document)
        return nullptr;
    document->load(path);
    return DomToElementTree(document->documentElement());
}

ElementNode* LoadXmlFileInto(const std::string& path, ElementNode* parent) {
    std::string contents;
    if (!ReadFileBytes(path, &contents))
        return nullptr;
    return ParseXmlTextInto(contents, parent);
}
