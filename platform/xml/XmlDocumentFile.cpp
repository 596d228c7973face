#include "platform/file/FileLayer.h"
#include "platform/xml/XmlDocument.h"

bool XmlDocument::load(std::string_view path) {
    documentElement_.reset();
    std::string contents;
    if (!ReadFileBytes(path, &contents))
        return false;
    return loadXML(contents);
}
