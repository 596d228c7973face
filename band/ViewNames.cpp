#include "band/ViewNames.h"

#include <ctime>

#include "engine/extract/StorageLayout.h"
#include "engine/folder/FolderNode.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "platform/timing/Clock.h"

bool ViewExists(std::string_view storageFolder, std::string_view siteUrl, std::string_view viewName,
                std::string_view markerPage) {
    return FileExists(JoinPath(ViewFolderOf(storageFolder, siteUrl, viewName), markerPage));
}

std::string TodayString() {
    const std::time_t now = static_cast<std::time_t>(ClockNow());
    std::tm local{};
    localtime_r(&now, &local);
    char text[16] = {};
    std::strftime(text, sizeof text, "%m-%d-%y", &local);
    return text;
}

std::string MakeViewName(std::string_view storageFolder, std::string_view siteUrl,
                         std::string_view candidate, std::string_view markerPage) {
    if (!candidate.empty() && !ViewExists(storageFolder, siteUrl, candidate, markerPage))
        return std::string(candidate);
    std::string base = TruncateAt(TruncateAt(FileNameOfPath(siteUrl), "."), "?");
    if (base.empty())
        base = "view_" + TodayString();
    std::string name = base;
    for (int counter = 2; ViewExists(storageFolder, siteUrl, name, markerPage); ++counter)
        name = base + " (" + std::to_string(counter) + ")";
    return name;
}

std::vector<ViewListRow> ListStoredViews(std::string_view storageFolder) {
    std::vector<ViewListRow> rows;
    FolderNode storage;
    storage.SetPath(storageFolder);
    StringArray sites;
    storage.GetChildNames(sites);
    for (const std::string& site : sites) {
        const size_t dot = site.find('.');
        if (dot == std::string::npos || dot == 0)
            continue;
        const int siteRow = static_cast<int>(rows.size());
        rows.push_back({site, siteRow});
        FolderNode* folder = storage.FindChild(site);
        if (folder == nullptr)
            continue;
        StringArray views;
        folder->GetChildNames(views);
        for (const std::string& view : views)
            rows.push_back({"   " + view, siteRow});
    }
    return rows;
}

ChosenView ChooseStoredView(const std::vector<ViewListRow>& rows, int row) {
    ChosenView chosen;
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return chosen;
    const ViewListRow& selected = rows[static_cast<size_t>(row)];
    if (selected.data >= 0 && selected.data < static_cast<int>(rows.size()))
        chosen.siteName = rows[static_cast<size_t>(selected.data)].text;
    chosen.viewName =
        selected.data == row ? std::string(DefaultViewName) : TrimString(selected.text);
    return chosen;
}
