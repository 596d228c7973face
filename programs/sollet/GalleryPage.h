// The gallery page "show" writes: every image found, in order of discovery, on one
// plain page in the temporary folder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text/Text.h"

// The folder of gallery pages.
inline constexpr const char* kGalleryFolder = "c:\\tmp";

// The page's text: "<html><body>" and a line "<img src="...">" per image, the address
// quoted with "&", "\"", "<" and ">" written as character references; CR LF line ends.
std::string GalleryPageText(const StringArray& images);

// The page's name for the local time of now: "c:\tmp\" + "%m%d%y_%H%M%S" + ".htm".
// When a file of that name is there already (a page shown in the same second, which an
// open viewer may still show), "_2", "_3"... goes before ".htm" to make a new one.
std::string GalleryFileName(std::int64_t now);

// Makes the folder (one level, errors ignored) and writes the page under a new name
// (GalleryFileName). The name written, or "" when the file could not be written.
std::string WriteGalleryPage(const StringArray& images, std::int64_t now);
