// The list styles: MP3, Email and File, and the File style's text file.
#include <string>

#include "engine/util/PageText.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/UrlClassification.h"
#include "formatter/styles/PageParts.h"
#include "formatter/styles/PageStyles.h"

namespace {

constexpr std::string_view kMailtoPrefix = "mailto:";

// The items of a File page in three lists, each in the items' order.
struct FileItems {
    StringArray addresses;  // "mailto:" removed
    StringArray files;
    StringArray images;
};

// An item that holds "mailto:" in any case is an address (only the exact lower-case
// text is removed from it); else one with a gallery image's extension is an image;
// else a file.
FileItems SortFileItems(const StringArray& items) {
    FileItems sorted;
    for (const std::string& item : items) {
        if (ContainsNoCase(item, kMailtoPrefix)) {
            sorted.addresses.push_back(ReplaceAll(item, kMailtoPrefix, ""));
        } else if (IsGalleryImage(FileExtension(item))) {
            sorted.images.push_back(item);
        } else {
            sorted.files.push_back(item);
        }
    }
    return sorted;
}

void WriteListTail(FileWriter& file) {
    WriteText(file, "</td></tr></table>");
    WriteText(file, kLineEnd);
    WriteText(file, "</p></body></html>");
    WriteText(file, kLineEnd);
}

// "<a href=target>text</a><br>": the target an unquoted href, the text content.
// A script target is no link: its text stands alone.
void WriteLinkLine(FileWriter& file, std::string_view target, std::string_view text) {
    if (IsScriptUrl(target)) {
        WriteText(file, EscapeText(text));
        WriteText(file, "<br>");
        return;
    }
    WriteText(file, "<a href=");
    WriteText(file, EncodeUrlForAttribute(target));
    WriteText(file, ">");
    WriteText(file, EscapeText(text));
    WriteText(file, "</a><br>");
}

// "mailto:" before the address keeps every address from becoming a script link.
void WriteAddressLine(FileWriter& file, std::string_view address) {
    WriteText(file, "<a href=mailto:");
    WriteText(file, EncodeUrlForAttribute(address));
    WriteText(file, ">");
    WriteText(file, EscapeText(address));
    WriteText(file, "</a><br>");
}

}  // namespace

void WriteMp3Style(FileWriter& file, std::string_view title, const StringArray& items) {
    WriteListHead(file, title);
    if (items.empty()) {
        WriteEmptyListPage(file, "No MP3s Found.");
        return;
    }
    WriteText(file, "<table border=0 width=100%><tr><td nowrap='true'>");
    for (const std::string& item : items) {
        // The display name is unescaped first, so it is escaped as text afterwards.
        WriteLinkLine(file, item, UnescapeUrl(FileNameOfPath(item)));
    }
    WriteListTail(file);
}

void WriteEmailStyle(FileWriter& file, std::string_view title, const StringArray& items) {
    WriteListHead(file, title);
    if (items.empty()) {
        WriteEmptyListPage(file, "No Email Addresses Found.");
        return;
    }
    WriteText(file, "<table border=0 width=100%><tr>");
    WriteText(file, "<td valign=top>");
    WriteText(file, "<br><center><b>***  EMAIL ADDRESSES  ***</b></center><br>");
    for (const std::string& item : items) {
        WriteAddressLine(file, ReplaceAll(item, kMailtoPrefix, ""));
    }
    WriteListTail(file);
}

void WriteFileStyle(FileWriter& file, std::string_view title, const StringArray& items) {
    WriteListHead(file, title);
    if (items.empty()) {
        WriteEmptyListPage(file, "No Files Found.");
        return;
    }
    WriteText(file, "<table border=0 width=100%><tr><td>");
    const FileItems sorted = SortFileItems(items);
    if (!sorted.addresses.empty()) {
        WriteText(file, "<br><br><center><b>***  EMAIL ADDRESSES  ***</b></center><br><hr><br>");
        WriteText(file, "<table border=0 width=100%><tr>");
        // Three columns; a column's cell is left open when the next one starts.
        const size_t rows = (sorted.addresses.size() + 3) / 3;
        for (size_t i = 0; i < sorted.addresses.size(); ++i) {
            if (i % rows == 0)
                WriteText(file, "<td valign='top'>");
            WriteAddressLine(file, sorted.addresses[i]);
        }
        WriteText(file, "</tr></table>");
    }
    if (!sorted.files.empty()) {
        WriteText(file, "<br><br><center><b>***  FILES  ***</b></center><br><hr><br>");
        for (const std::string& item : sorted.files)
            WriteLinkLine(file, item, item);
    }
    if (!sorted.images.empty()) {
        WriteText(file, "<br><br><center><b>***  IMAGES  ***</b></center><br><hr><br>");
        for (const std::string& item : sorted.images)
            WriteImageLine(file, item, item);
    }
    WriteListTail(file);
}

// A plain text file: the addresses are written as they are.
void WriteEmailTextList(FileWriter& file, const StringArray& items) {
    WriteText(file, kLineEnd);
    for (const std::string& address : SortFileItems(items).addresses) {
        WriteText(file, address);
        WriteText(file, kLineEnd);
    }
    WriteText(file, kLineEnd);
}
