// Fetches one file into a folder for the site MP3 finder's main dialog, and tells the
// dialog when it is done.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"

// Broadcast by DownloadFileJob when its download is over (whatever its outcome):
// wParam is the job, lParam 0. Posted to listener windows; the receiver does not own
// the job.
constexpr UINT WM_DOWNLOAD_DONE = 0x701;

class DownloadFileJob : public Job {
public:
    // Named "unknown", no type name.
    DownloadFileJob() = default;

    // Before the job is queued: the URL to fetch and the folder that receives it.
    void SetUrl(std::string_view url) { url_.assign(url); }
    void SetFolder(std::string_view folder) { folder_.assign(folder); }
    const std::string& GetUrl() const { return url_; }
    const std::string& GetFolder() const { return folder_; }
    // The full path of the file written; "" when nothing was written (the download
    // failed or the URL gave no file name). Read after WM_DOWNLOAD_DONE.
    const std::string& GetPath() const { return path_; }

protected:
    ~DownloadFileJob() override = default;

    // On the job's worker thread: downloads the URL to folder\DownloadFileName(url),
    // never outside the folder; a refused name or an empty folder downloads nothing.
    // Then WM_DOWNLOAD_DONE to the listeners, also when nothing was written. An
    // exception ends the body before the broadcast.
    void Run() override;
    // Any job this one listens to finishing marks it complete.
    void OnChildFinished(Job* child) override;

private:
    std::string url_;
    std::string folder_;
    std::string path_;
};
