#include "engine/workers/DownloadFileJob.h"

#include "engine/util/PathHelpers.h"
#include "engine/workers/LocalFileNames.h"
#include "platform/net/UrlDownload.h"
#include "platform/trace/Trace.h"

void DownloadFileJob::Run() {
    const std::string name = DownloadFileName(url_);
    if (name.empty() || folder_.empty()) {
        Trace("jobs", "DownloadFileJob: %s not downloaded: %s", url_.c_str(),
              name.empty() ? "no file name" : "no folder");
    } else {
        std::string path = JoinPath(folder_, name);
        if (URLDownloadToFile(url_, path) == S_OK)
            path_ = std::move(path);
    }
    GetListeners().Broadcast(WM_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(this), 0);
}

void DownloadFileJob::OnChildFinished(Job* child) {
    (void)child;
    MarkComplete();
}
