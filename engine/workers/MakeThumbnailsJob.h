// Turns a batch of downloaded pictures into small JPEG thumbnails in one folder.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"
#include "platform/gdi/Gdi.h"
#include "platform/text/Text.h"

// Whether the thumbnail jobs of this deliverable make thumbnails: on unless switched
// off. The deliverables built without the image library (the file and MP3 finder bands
// and the site MP3 finder) switch it off at start-up; their thumbnail jobs then only
// initialise and uninitialise COM and report no thumbnails. Any thread.
void SetThumbnailsMade(bool made);
bool AreThumbnailsMade();

class MakeThumbnailsJob : public Job {
public:
    // Named "unknown", type name "MakeThumbnailsJob".
    MakeThumbnailsJob();

    // Before the job is queued: folder receives the thumbnails of the sources (full
    // paths, appended to the job's list), each fitting width x height, asked at
    // colourDepth bits. The image pipeline gives 100, 100 and 16.
    void SetWork(std::string_view folder, const StringArray& sources, int width, int height,
                 int colourDepth);

    const std::string& GetFolder() const { return folder_; }
    const StringArray& GetSources() const { return sources_; }
    SIZE GetSize() const { return size_; }
    int GetColourDepth() const { return colourDepth_; }
    // The path of every thumbnail written, in source order: a .jpg, or the .bmp when
    // the conversion failed. A source of which no picture could be made has none.
    // Read after WM_JOB_FINISHED.
    const StringArray& GetThumbnails() const { return thumbnails_; }

protected:
    ~MakeThumbnailsJob() override = default;

    // On the job's worker thread, between CoInitialize and CoUninitialize: MakeThumbnail
    // for each source, unless thumbnails are switched off or the folder is empty. The
    // whole batch is made, a stop request or not.
    void Run() override;

private:
    SIZE size_{0, 0};
    int colourDepth_ = 0;
    std::string folder_;
    StringArray sources_;
    StringArray thumbnails_;
};
