// What a list band's extraction keeps from each page and where it lists it: values of
// the product, chosen where the band builds its job. The file finder band keeps the
// addresses that contain one of the user's filter words and lists them on the view's
// "allFiles.htm"; the MP3 finder band keeps the links to MP3 files and lists them on
// "allMP3s.htm".
#pragma once

#include <string_view>

#include "engine/crawl/PageJobValues.h"
#include "engine/extract/StorageLayout.h"

// Which addresses of a page a list job keeps.
enum class ListItemRule {
    // The links, then the image addresses, that contain one of the filter words of the
    // settings (GetHtmlPageJob::GetFileLinks).
    FilterWords,
    // The links whose lower-cased text ends in ".mp3" (GetHtmlPageJob::GetMp3Links).
    Mp3Links,
};

struct ListJobValues {
    // What the page jobs read, and the product's page test.
    PageJobValues pageValues;
    ListItemRule itemRule = ListItemRule::FilterWords;
    // The list page in the view folder, and the style word it is written in.
    std::string_view listPageName = AllFilesPageName;
    std::string_view viewKind = ViewKindFile;
};

inline constexpr ListJobValues FileFinderBandListValues{
    FileFinderBandPageJobValues, ListItemRule::FilterWords, AllFilesPageName, ViewKindFile};
inline constexpr ListJobValues Mp3FinderBandListValues{
    Mp3FinderBandPageJobValues, ListItemRule::Mp3Links, AllMp3sPageName, ViewKindMp3};
