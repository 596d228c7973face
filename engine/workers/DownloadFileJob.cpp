#include "engine/workers/DownloadFileJob.h"

#include "engine/util/PathHelpers.h"
#include "engine/workers/LocalFileNames.h"
#include "platform/file/FileLayer.h"
#include "platform/trace/Trace.h"

namespace {

// The numbered names tried before a download is given up for want of a free one.
constexpr int kMostNumberedNames = 1000;

}  // namespace

void DownloadFileJob::Run() {
    const std::string name = DownloadFileName(url_);
    const char* refused = nullptr;
    if (name.empty())
        refused = "no file name";
    else if (nameTest_ != nullptr && !nameTest_(name))
        refused = "its file name is not of its kind";
    else if (folder_.empty())
        refused = "no folder";
    if (refused != nullptr) {
        Trace("jobs", "DownloadFileJob: %s not downloaded: %s", url_.c_str(), refused);
    } else if (const std::string temporary = CreateTemporaryFile(folder_); temporary.empty()) {
        Trace("jobs", "DownloadFileJob: %s not downloaded: cannot write in %s", url_.c_str(),
              folder_.c_str());
    } else {
        DownloadOptions options;
        options.cancel = &cancel_;
        if (URLDownloadToFile(url_, temporary, options) == S_OK)
            path_ = PlaceDownload(temporary, name);
        DeleteFile(temporary);  // when it was not placed
    }
    GetListeners().Broadcast(WM_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(this), 0);
}

std::string DownloadFileJob::PlaceDownload(const std::string& temporary,
                                           const std::string& name) const {
    for (int n = 1; n <= kMostNumberedNames; ++n) {
        const std::string candidate = NumberedFileName(name, n);
        if (nameTest_ != nullptr && !nameTest_(candidate))
            continue;
        const std::string path = JoinPath(folder_, candidate);
        if (MoveFile(temporary, path) || FilesHaveSameBytes(temporary, path))
            return path;
    }
    Trace("jobs", "DownloadFileJob: %s not stored: no free name for %s", url_.c_str(),
          name.c_str());
    return {};
}

void DownloadFileJob::OnChildFinished(Job* child) {
    (void)child;
    MarkComplete();
}

void DownloadFileJob::OnStop() {
    cancel_.Cancel();
}
