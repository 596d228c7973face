// The fixed texts that several gallery styles share: heads, the empty-list page, the
// tail and the image line, and the per-item lookups of names and comments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file/FileLayer.h"
#include "platform/text/Text.h"

// Line end of every generated page.
inline constexpr std::string_view kLineEnd = "\r\n";

// Head of the list styles (File, MP3, Email): with the style sheet.
void WriteListHead(FileWriter& file, std::string_view title);
// Head of the gallery styles (All, Thumbs, Zoom, Data).
void WriteGalleryHead(FileWriter& file, std::string_view title);
// The rest of a page whose item list is empty, showing message.
void WriteEmptyListPage(FileWriter& file, std::string_view message);
// The tail of the gallery styles.
void WriteGalleryTail(FileWriter& file);
// The image tag "<img border="0" src="..." name="..." \>", with attributes (each
// followed by a blank) before its end.
std::string ImageTag(std::string_view src, std::string_view name, std::string_view attributes = {});
// The image tag and a line end.
void WriteImageLine(FileWriter& file, std::string_view src, std::string_view name);

// The name of item index: names[index] when names has one entry per image, else "".
std::string_view ItemName(const StringArray& names, size_t imageCount, size_t index);
// The comment of item index, "" when there is none.
std::string_view ItemComment(const StringArray& comments, size_t index);
