#include "engine/extract/regenerateHtmlJob.h"

#include <algorithm>
#include <vector>

#include "engine/extract/StorageLayout.h"
#include "engine/folder/FolderNode.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/PathHelpers.h"
#include "engine/workers/DeleteDirectoryContentsJob.h"
#include "engine/workers/MoveDirectoryContentsJob.h"
#include "platform/file/FileLayer.h"

namespace {

constexpr std::string_view DeleteStage = "deleteDirectory";
constexpr std::string_view MoveStage = "moveDirectory";

// text cut before its last "\", or when it holds none its last "/"; unchanged without
// either.
std::string CutAtLastSeparator(std::string_view text) {
    size_t at = text.rfind('\\');
    if (at == std::string_view::npos)
        at = text.rfind('/');
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

bool HasFiles(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, &entries))
        return false;
    return std::any_of(entries.begin(), entries.end(),
                       [](const FolderEntry& entry) { return !entry.isFolder; });
}

// The settings of the rebuild. The crawl reads the edited page by its file: address
// (a system path is no address a browser loads), and takes every picture it names:
// those passed the size criteria when they were extracted, and the page names them
// without their sizes, so the criteria would leave every one of them out.
PanelSettings RebuildSettings(PanelSettings settings, const std::string& page) {
    settings.siteUrl = PathToFileUrl(page);
    settings.minWidth = 0;
    settings.minHeight = 0;
    settings.minFileSize = 0;
    return settings;
}

// Deletes every file directly in folder; sub-folders stay, failures are ignored.
void DeleteFilesIn(const std::string& folder) {
    FolderNode node;
    node.SetPath(folder);
    StringArray files;
    node.FindFilePaths(files, "", false);
    for (const std::string& file : files)
        DeleteFile(file);
}

}  // namespace

regenerateHtmlJob::regenerateHtmlJob() {
    SetTypeName(RegenerateHtmlJobName);
}

regenerateHtmlJob::~regenerateHtmlJob() = default;

void regenerateHtmlJob::Setup(const PanelSettings& settings) {
    // A file:// address names its file with escapes ("%20"); decoded, its folders are
    // the stored view's real folders.
    std::string page;
    if (!FileUrlToPath(settings.siteUrl, &page))
        page = ReplaceAll(settings.siteUrl, "file://", "");
    editedPage_ = page;
    targetFolder_ = CutAtLastSeparator(page);
    siteName_ = FileNameOfPath(CutAtLastSeparator(targetFolder_));
    MakeViewPages(RebuildSettings(settings, page), siteName_);
}

bool regenerateHtmlJob::FreshViewIsStoredView() const {
    return EqualsNoCase(MapToLinuxPath(GetViewFolder()), MapToLinuxPath(targetFolder_));
}

void regenerateHtmlJob::Run() {
    if (!GetViewFolder().empty() && !FreshViewIsStoredView()) {
        for (const std::string* folder :
             {&GetViewFolder(), &GetImagesFolder(), &GetThumbsFolder(), &GetTempFolder()})
            DeleteFilesIn(*folder);
    }
    CrawlSiteImagesJob::Run();
}

bool regenerateHtmlJob::FreshViewIsWhole() const {
    for (const std::string& page :
         {GetAllImagesPage(), GetThumbnailsPage(), GetSlideshowPage(), GetZoomPage()}) {
        if (!FileExists(page))
            return false;
    }
    return HasFiles(GetImagesFolder()) || !HasFiles(JoinPath(targetFolder_, ImagesFolderName));
}

void regenerateHtmlJob::OnFinish() {
    MutexLock lock;
    FlaggedString& stage = GetStageString();
    SetPhase(3);
    if (stage.Equals(MakeHtmlPageJobName)) {
        // Rebuilt in place, the fresh files are the stored ones: nothing to replace.
        if (FreshViewIsStoredView() || !FreshViewIsWhole()) {
            PointAtStoredView();
            return;
        }
        stage.Set(DeleteStage);
    }
    if (stage.Equals(DeleteStage)) {
        if (stage.IsSet()) {
            for (const std::string& folder :
                 {targetFolder_, JoinPath(targetFolder_, ImagesFolderName),
                  JoinPath(targetFolder_, ThumbsFolderName)}) {
                auto* job = new DeleteDirectoryContentsJob;
                job->SetFolder(folder);
                AddChild(job);
            }
            stage.Clear();
        }
        if (!AllChildrenFinished())
            return;
        stage.Set(MoveStage);
    }
    if (!stage.Equals(MoveStage))
        return;
    if (stage.IsSet()) {
        const std::pair<std::string, std::string> moves[] = {
            {GetViewFolder(), targetFolder_},
            {GetImagesFolder(), JoinPath(targetFolder_, ImagesFolderName)},
            {GetThumbsFolder(), JoinPath(targetFolder_, ThumbsFolderName)},
        };
        for (const auto& [from, to] : moves) {
            auto* job = new MoveDirectoryContentsJob;
            job->SetFolders(from, to);
            AddChild(job);
        }
        stage.Clear();
    }
    if (!AllChildrenFinished())
        return;
    PointAtStoredView();
}

void regenerateHtmlJob::PointAtStoredView() {
    PanelSettings settings = GetSettings();
    settings.folder = CutAtLastSeparator(settings.folder);
    settings.viewName = FileNameOfPath(targetFolder_);
    settings.siteUrl = siteName_;
    ClearSiteFolder();
    MakeViewPages(settings, "");
    GetStageString().Set("");
}
