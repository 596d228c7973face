// Fetches a batch of image URLs into one folder. The image pipeline gives each job one
// batch and takes the paths of the files that arrived as the thumbnail step's input.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"
#include "platform/text/Text.h"

class DownloadImagesJob : public Job {
public:
    // Named "unknown", type name "DownloadImagesJob".
    DownloadImagesJob();

    // Before the job is queued: folder receives the downloads; urls and names are
    // appended to the job's lists (names: one local file name per URL, without
    // extension, or none).
    void SetWork(std::string_view folder, const StringArray& urls, const StringArray& names);

    // Whether the creator takes paths as the next step's input; false until set.
    void SetPassPathsToParent(bool pass) { passPathsToParent_ = pass; }
    bool GetPassPathsToParent() const { return passPathsToParent_; }

    const std::string& GetFolder() const { return folder_; }
    const StringArray& GetUrls() const { return urls_; }
    const StringArray& GetNames() const { return names_; }
    // The full path of every file that was written, in URL order; a URL whose download
    // failed, or whose name was refused, has none. Read after WM_JOB_FINISHED.
    const StringArray& GetPaths() const { return paths_; }

protected:
    ~DownloadImagesJob() override = default;

    // On the job's worker thread. Each URL is stored as folder\name.extension: the
    // given name when there are as many names as URLs, else the name derived from the
    // URL (DerivedFileName), both made safe (SafeFileName; a refused given name is
    // derived instead); the extension is the URL's (UrlFileExtension), none when it
    // has none. An empty folder downloads nothing. The whole batch is fetched, a stop
    // request or not; each download within the guards of the timing record, and a
    // picture larger than its pictureSizeLimitBytes is not stored.
    void Run() override;

private:
    bool passPathsToParent_ = false;
    StringArray urls_;
    StringArray names_;
    std::string folder_;
    StringArray paths_;
};
