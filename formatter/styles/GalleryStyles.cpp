// The image gallery styles: All, Thumbs, Zoom and Data.
#include <string>

#include "engine/util/PageText.h"
#include "formatter/styles/PageParts.h"
#include "formatter/styles/PageStyles.h"

namespace {

constexpr std::string_view kNoImagesNote =
    "No Images Found. (Note - 'fast' and 'stop' produces no thumbnails)";

}  // namespace

void WriteAllStyle(FileWriter& file, std::string_view title, const StringArray& images,
                   const StringArray& names, const StringArray& links, PageSize size) {
    WriteGalleryHead(file, title);
    if (images.empty()) {
        WriteEmptyListPage(file, kNoImagesNote);
        return;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        const std::string_view name = ItemName(names, images.size(), i);
        const std::string_view link = ItemComment(links, i);
        if (size.cy != 0) {
            WriteText(file, ImageTag(images[i], name, FormatText("height=%d ", size.cy)));
            WriteText(file, kLineEnd);
        } else if (!link.empty() && !IsScriptUrl(link)) {
            // The link target is an unquoted href: encoded so it ends at ">".
            WriteText(file, "<a href=" + EncodeUrlForAttribute(link) + ">" +
                                ImageTag(images[i], name) + "</a>");
            WriteText(file, kLineEnd);
        } else {
            // A script link target is dropped: the image stands without a link.
            WriteImageLine(file, images[i], name);
        }
    }
    WriteGalleryTail(file);
}

void WriteThumbsStyle(FileWriter& file, std::string_view title, const StringArray& images,
                      const StringArray& names, PageSize size) {
    WriteAllStyle(file, title, images, names, StringArray(), size);
}

void WriteZoomStyle(FileWriter& file, std::string_view title, const StringArray& images,
                    const StringArray& names, const StringArray& links, PageSize size) {
    WriteAllStyle(file, title, images, names, links, size);
}

void WriteDataStyle(FileWriter& file, std::string_view title, const StringArray& images,
                    const StringArray& names, const StringArray& comments) {
    WriteGalleryHead(file, title);
    if (images.empty()) {
        WriteEmptyListPage(file, "No Images Found.");
        return;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        WriteImageLine(file, images[i], ItemName(names, images.size(), i));
        // The comment is text content: escaped.
        WriteText(file, EscapeText(ItemComment(comments, i)));
    }
    WriteGalleryTail(file);
}
