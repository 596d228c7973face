#include "formatter/styles/PageParts.h"

#include "engine/util/PageText.h"

namespace {

// Six tabs stand between the two rules of the style sheet.
constexpr std::string_view kStyleSheet =
    "<style type='text/css'>"
    "body         { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #000080 }"
    "\t\t\t\t\t\t"
    "td           { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #202020 }</style>";

}  // namespace

// The title is text content of the head: escaped.
void WriteListHead(FileWriter& file, std::string_view title) {
    WriteText(file, "<html><head>");
    WriteText(file, kStyleSheet);
    WriteText(file, "<title>");
    WriteText(file, EscapeText(title));
    WriteText(file, "</title></head><body><html><p>");
    WriteText(file, kLineEnd);
}

void WriteGalleryHead(FileWriter& file, std::string_view title) {
    WriteText(file, "<html><head><title>");
    WriteText(file, EscapeText(title));
    WriteText(file, "</title></head><body><html><p>");
    WriteText(file, kLineEnd);
}

void WriteEmptyListPage(FileWriter& file, std::string_view message) {
    WriteText(file, "<table width=\"100%\" height=\"100%\" valign=\"center\"><tr><td>");
    WriteText(file, kLineEnd);
    WriteText(file, "<p align=\"center\">");
    WriteText(file, message);
    WriteText(file, "</td></tr><table></p></body></html>");
    WriteText(file, kLineEnd);
}

void WriteGalleryTail(FileWriter& file) {
    WriteText(file, kLineEnd);
    WriteText(file, "</p></body></html>");
    WriteText(file, kLineEnd);
}

// src is a URL in a quoted attribute, name a plain quoted attribute value.
std::string ImageTag(std::string_view src, std::string_view name, std::string_view attributes) {
    return "<img border=\"0\" src=\"" + EncodeUrlForAttribute(src) + "\" name=\"" +
           EscapeAttributeValue(name) + "\" " + std::string(attributes) + "\\>";
}

void WriteImageLine(FileWriter& file, std::string_view src, std::string_view name) {
    WriteText(file, ImageTag(src, name));
    WriteText(file, kLineEnd);
}

std::string_view ItemName(const StringArray& names, size_t imageCount, size_t index) {
    return names.size() == imageCount ? std::string_view(names[index]) : std::string_view();
}

std::string_view ItemComment(const StringArray& comments, size_t index) {
    return index < comments.size() ? std::string_view(comments[index]) : std::string_view();
}
