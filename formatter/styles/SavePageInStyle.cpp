#include <string>

#include "formatter/styles/PageStyles.h"

const StringArray& OfferedStyles() {
    static const StringArray offered = {"All",           "Thumbs",    "SlideShow", "Tile",
                                        "TileMultipage", "Multiview", "Zoom"};
    return offered;
}

bool IsGalleryImage(std::string_view extension) {
    const std::string dotted = "." + std::string(extension);
    return EqualsNoCase(dotted, ".bmp") || EqualsNoCase(dotted, ".jpg") ||
           EqualsNoCase(dotted, ".gif") || EqualsNoCase(dotted, ".png");
}

bool SavePageInStyle(const StringArray& images, const StringArray& comments,
                     const StringArray& names, std::string_view title, std::string_view style,
                     std::string_view path, PageSize size) {
    FileWriter page;
    if (!page.Open(path))
        return false;
    // Whole names ignoring case match one style at most. Tile, TileMultipage, Multiview
    // and unknown names fall through: the file stays empty.
    const bool fileStyle = EqualsNoCase(style, "File");
    if (fileStyle) {
        WriteFileStyle(page, title, images);
    } else if (EqualsNoCase(style, "MP3")) {
        WriteMp3Style(page, title, images);
    } else if (EqualsNoCase(style, "Email")) {
        WriteEmailStyle(page, title, images);
    } else if (EqualsNoCase(style, "All")) {
        WriteAllStyle(page, title, images, names, comments, size);
    } else if (EqualsNoCase(style, "Thumbs")) {
        WriteThumbsStyle(page, title, images, names, size);
    } else if (EqualsNoCase(style, "SlideShow")) {
        WriteSlideShowStyle(page, title, images);
    } else if (EqualsNoCase(style, "Data")) {
        WriteDataStyle(page, title, images, names, comments);
    } else if (EqualsNoCase(style, "Zoom")) {
        WriteZoomStyle(page, title, images, names, comments, size);
    }
    if (!page.Close())
        return false;
    if (!fileStyle)
        return true;

    FileWriter textList;
    if (!textList.Open(std::string(path) + ".txt"))
        return false;
    WriteEmailTextList(textList, images);
    return textList.Close();
}
