// Naming a band's views: whether a view of a site exists in the storage folder, and the
// first free name for a new one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whether the view's marker page (markerPage, "allImages.htm" for the image band) exists
// in the view's folder (ViewFolderOf: storage \ host of siteUrl \ viewName).
bool ViewExists(std::string_view storageFolder, std::string_view siteUrl, std::string_view viewName,
                std::string_view markerPage);

// Today's local date as "%m-%d-%y" (03-07-04 for 7 March 2004).
std::string TodayString();

// candidate when it is not empty and free; else the base (the last element of siteUrl,
// cut before its first "." and then its first "?"; "view_" and today's date when that is
// empty), then "base (2)", "base (3)"... whichever is free first.
std::string MakeViewName(std::string_view storageFolder, std::string_view siteUrl,
                         std::string_view candidate, std::string_view markerPage);

// The rows of the Open View list: each site folder of the storage folder (a name with a
// "." after its first character), then its views, each as three blanks and its name.
// data is the row index of the row's site.
struct ViewListRow {
    std::string text;
    int data = 0;
};
std::vector<ViewListRow> ListStoredViews(std::string_view storageFolder);

// What the Open View dialog hands the panel for the selected row (row -1: none): the
// site's name and the view's name ("default" for a site row, trimmed).
struct ChosenView {
    std::string siteName;
    std::string viewName;
};
ChosenView ChooseStoredView(const std::vector<ViewListRow>& rows, int row);
