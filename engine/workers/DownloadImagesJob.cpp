#include "engine/workers/DownloadImagesJob.h"

#include "engine/jobs/JobNames.h"
#include "engine/util/PathHelpers.h"
#include "engine/workers/LocalFileNames.h"
#include "platform/net/UrlDownload.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"

DownloadImagesJob::DownloadImagesJob() {
    SetTypeName(DownloadImagesJobName);
}

void DownloadImagesJob::SetWork(std::string_view folder, const StringArray& urls,
                                const StringArray& names) {
    folder_.assign(folder);
    urls_.insert(urls_.end(), urls.begin(), urls.end());
    names_.insert(names_.end(), names.begin(), names.end());
}

void DownloadImagesJob::Run() {
    if (folder_.empty())
        return;
    const bool namesGiven = names_.size() == urls_.size();
    DownloadOptions options;
    options.sizeLimitBytes = Timing().pictureSizeLimitBytes;
    for (size_t i = 0; i < urls_.size(); ++i) {
        const std::string& url = urls_[i];
        std::string name = namesGiven ? SafeFileName(names_[i]) : std::string();
        if (name.empty())
            name = DerivedFileName(url);
        if (name.empty()) {
            Trace("jobs", "DownloadImagesJob: no file name for %s", url.c_str());
            continue;
        }
        // The extension always follows the name: a given name may hold a "." of its own.
        const std::string extension = UrlFileExtension(url);
        if (!extension.empty())
            name += "." + extension;
        std::string path = JoinPath(folder_, name);
        if (URLDownloadToFile(url, path, options) == S_OK)
            paths_.push_back(std::move(path));
    }
}
