// Fetches one file into a folder for the site MP3 finder's main dialog, and tells the
// dialog when it is done.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"
#include "platform/net/UrlDownload.h"

// Broadcast by DownloadFileJob when its download is over (whatever its outcome):
// wParam is the job, lParam 0. Posted to listener windows; the receiver does not own
// the job.
constexpr UINT WM_DOWNLOAD_DONE = 0x701;

class DownloadFileJob : public Job {
public:
    // A test the stored name must pass, as the link passed it when it was found.
    using NameTest = bool (*)(std::string_view name);

    // Named "unknown", no type name.
    DownloadFileJob() = default;

    // Before the job is queued: the URL to fetch, the folder that receives it, and the
    // test its name must pass (none: any name).
    void SetUrl(std::string_view url) { url_.assign(url); }
    void SetFolder(std::string_view folder) { folder_.assign(folder); }
    void SetNameTest(NameTest test) { nameTest_ = test; }
    const std::string& GetUrl() const { return url_; }
    const std::string& GetFolder() const { return folder_; }
    // The full path of the file written; "" when nothing was written (the download
    // failed or the URL gave no file name). Read after WM_DOWNLOAD_DONE.
    const std::string& GetPath() const { return path_; }

protected:
    ~DownloadFileJob() override = default;

    // On the job's worker thread: downloads the URL to a temporary file in the folder,
    // within the timing record's guards, and when it is whole gives it its name:
    // DownloadFileName(url), never outside the folder. A name that is taken is never
    // replaced: an earlier file with the same bytes is taken as this download's file,
    // otherwise the first free numbered name (song-2.mp3, song-3.mp3...). A refused
    // name (none, or one that fails the name test) or an empty folder downloads nothing;
    // a failed or stopped download leaves no file. Then WM_DOWNLOAD_DONE to the
    // listeners, also when nothing was written. An exception ends the body before the
    // broadcast.
    void Run() override;
    // Any job this one listens to finishing marks it complete.
    void OnChildFinished(Job* child) override;
    // Stop (the job manager's, when the program ends) ends the running download at once;
    // a cancel leaves it running, as a stopped batch lets late downloads arrive.
    void OnStop() override;

private:
    // Moves the whole download at temporary to its name; the path it got, "" when none.
    std::string PlaceDownload(const std::string& temporary, const std::string& name) const;

    std::string url_;
    std::string folder_;
    NameTest nameTest_ = nullptr;
    std::string path_;
    DownloadCancel cancel_;
};
