// The gallery page writers: one HTML page per save in a named style, written as
// 8-bit text with CR LF line ends.
//
// Item i of images is the page's i-th item. Its name is names[i] when names has
// exactly as many entries as images, else empty; its comment (for All and Zoom its
// link target) is comments[i] when there is one, else empty. The title is written
// in the page head only. Values from web pages are escaped where they are written
// (engine/util/PageText.h), which leaves ordinary values byte for byte as they are.
//
// None of these throws on a write error: a failed write is remembered by the
// FileWriter and reported by its Close.
#pragma once

#include <string>
#include <string_view>

#include "platform/file/FileLayer.h"
#include "platform/text/Text.h"

// The size pair of a save. cy is the image height of All, Thumbs and Zoom (0: none);
// cx is read by no writer.
struct PageSize {
    int cx = 0;
    int cy = 0;
};

// The styles the formatter offers, in order: "All", "Thumbs", "SlideShow", "Tile",
// "TileMultipage", "Multiview", "Zoom". "Data", "Email", "MP3" and "File" are written
// too but not offered.
const StringArray& OfferedStyles();

// Creates path (or cuts it to length 0) and writes the page of the first style among
// File, MP3, Email, All, Thumbs, SlideShow, Tile, TileMultipage, Data, Multiview, Zoom
// whose name equals style ignoring case. Tile, TileMultipage, Multiview and any
// unknown style leave the file created and empty. The File style also writes its
// address list to path + ".txt".
// Returns false when path cannot be created (nothing is written then) or a write
// failed (the earlier file, if any, stays as it was); for File also when the ".txt"
// file could not be written, the page itself being written all the same.
bool SavePageInStyle(const StringArray& images, const StringArray& comments,
                     const StringArray& names, std::string_view title, std::string_view style,
                     std::string_view path, PageSize size);

// Whether "." + extension is ".bmp", ".jpg", ".gif" or ".png", ignoring case.
bool IsGalleryImage(std::string_view extension);

// --- The writers, each given the open target file ------------------------------
// An image gallery; an item with a link target and no height is wrapped in a link.
void WriteAllStyle(FileWriter& file, std::string_view title, const StringArray& images,
                   const StringArray& names, const StringArray& links, PageSize size);
// The All page without links.
void WriteThumbsStyle(FileWriter& file, std::string_view title, const StringArray& images,
                      const StringArray& names, PageSize size);
// The same page as All.
void WriteZoomStyle(FileWriter& file, std::string_view title, const StringArray& images,
                    const StringArray& names, const StringArray& links, PageSize size);
// Images, each followed by its comment text.
void WriteDataStyle(FileWriter& file, std::string_view title, const StringArray& images,
                    const StringArray& names, const StringArray& comments);
// A list of MP3 links named by their unescaped file names.
void WriteMp3Style(FileWriter& file, std::string_view title, const StringArray& items);
// A list of e-mail links.
void WriteEmailStyle(FileWriter& file, std::string_view title, const StringArray& items);
// E-mail addresses in three columns, then files, then gallery images.
void WriteFileStyle(FileWriter& file, std::string_view title, const StringArray& items);
// The text file beside the File page: the e-mail addresses among the items, one a line.
void WriteEmailTextList(FileWriter& file, const StringArray& items);
// A script-driven slide show of the images.
void WriteSlideShowStyle(FileWriter& file, std::string_view title, const StringArray& images);
