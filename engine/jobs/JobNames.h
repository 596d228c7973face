// The type names of the job classes: each class stores its own as its type name, and
// parents compare a finished child's type name with them, ignoring case.
#pragma once

#include <string_view>

inline constexpr std::string_view GetHtmlPageJobName = "GetHtmlPageJob";
inline constexpr std::string_view CrawlSiteJobName = "CrawlSiteJob";
inline constexpr std::string_view CrawlSiteImagesJobName = "CrawlSiteImagesJob";
inline constexpr std::string_view MakeThumbnailsJobName = "MakeThumbnailsJob";
inline constexpr std::string_view MakeHtmlPageJobName = "MakeHtmlPageJob";
inline constexpr std::string_view DownloadImagesJobName = "DownloadImagesJob";
inline constexpr std::string_view DeleteDirectoryContentsJobName = "DeleteDirectoryContentsJob";
inline constexpr std::string_view MoveDirectoryContentsJobName = "MoveDirectoryContentsJob";
inline constexpr std::string_view RegenerateHtmlJobName = "regenerateHtmlJob";
inline constexpr std::string_view DownloadAdJobName = "downloadAdJob";
inline constexpr std::string_view CheckForUpdatesJobName = "checkForUpdatesJob";
