// The names of the storage layout that the extraction, the page writers and the panels
// share: storage folder \ site folder \ view folder, with the view's folders and pages,
// and the view kinds (the formatter's style words).
#pragma once

#include <string>
#include <string_view>

// View kinds.
inline constexpr std::string_view ViewKindAll = "all";
inline constexpr std::string_view ViewKindThumbs = "thumbs";
inline constexpr std::string_view ViewKindSlideshow = "slideshow";
inline constexpr std::string_view ViewKindMultiview = "multiview";
inline constexpr std::string_view ViewKindData = "data";
inline constexpr std::string_view ViewKindZoom = "zoom";
inline constexpr std::string_view ViewKindMp3 = "mp3";
inline constexpr std::string_view ViewKindFile = "file";

// The folders of a view.
inline constexpr std::string_view ThumbsFolderName = "thumbs";
inline constexpr std::string_view ImagesFolderName = "images";
inline constexpr std::string_view TempFolderName = "temp";

// The view name used when none is given.
inline constexpr std::string_view DefaultViewName = "default";

// The pages of a view.
inline constexpr std::string_view AllImagesPageName = "allImages.htm";
inline constexpr std::string_view AllThumbsPageName = "allThumbs.htm";
inline constexpr std::string_view SlideShowPageName = "slideShow.htm";
inline constexpr std::string_view MultiViewPageName = "multiView.htm";
inline constexpr std::string_view ZoomPageName = "zoom.htm";
inline constexpr std::string_view DataPageName = "data.htm";
inline constexpr std::string_view UrlsPageName = "urls.htm";
inline constexpr std::string_view AllFilesPageName = "allFiles.htm";
inline constexpr std::string_view AllEmailsPageName = "allEmails.htm";
inline constexpr std::string_view AllMp3sPageName = "allMP3s.htm";

// The files a cache clean-up deletes from a view's folders.
inline constexpr std::string_view CachedFileExtensions =
    ".bmp,.jpg,.jpeg,.2ejpg,.gif,.tif,.avi,.png,.html,.htm";

// A name the folder layer can hold as one path element: ":" removed and trimmed, then
// made safe; "." and ".." (which would climb out of the storage folder) become "_".
std::string StorageElementName(std::string_view name);

// The folder of a site's view: storage folder \ the site URL's host \ the view name
// ("default" when it is empty), each made a path element. The extraction lays out its
// view here, and the panels test here whether a view exists.
std::string ViewFolderOf(std::string_view storageFolder, std::string_view siteUrl,
                         std::string_view viewName);
