#include "engine/workers/MakeThumbnailsJob.h"

#include <atomic>

#include "engine/jobs/JobNames.h"
#include "engine/thumbnail/MakeThumbnail.h"
#include "platform/com/ComLibrary.h"

namespace {

std::atomic<bool> thumbnailsMade{true};

// COM on the job's thread for as long as the body runs, also when it throws.
class ComInitialisation {
public:
    ComInitialisation() { CoInitialize(nullptr); }
    ~ComInitialisation() { CoUninitialize(); }
    ComInitialisation(const ComInitialisation&) = delete;
    ComInitialisation& operator=(const ComInitialisation&) = delete;
};

}  // namespace

void SetThumbnailsMade(bool made) {
    thumbnailsMade = made;
}

bool AreThumbnailsMade() {
    return thumbnailsMade.load();
}

MakeThumbnailsJob::MakeThumbnailsJob() {
    SetTypeName(MakeThumbnailsJobName);
}

void MakeThumbnailsJob::SetWork(std::string_view folder, const StringArray& sources, int width,
                                int height, int colourDepth) {
    folder_.assign(folder);
    sources_.insert(sources_.end(), sources.begin(), sources.end());
    size_ = SIZE{width, height};
    colourDepth_ = colourDepth;
}

void MakeThumbnailsJob::Run() {
    ComInitialisation com;
    if (!AreThumbnailsMade() || folder_.empty())
        return;
    for (const std::string& source : sources_) {
        std::string thumbnail = MakeThumbnail(folder_, source, static_cast<int>(size_.cx),
                                              static_cast<int>(size_.cy), colourDepth_);
        if (!thumbnail.empty())
            thumbnails_.push_back(std::move(thumbnail));
    }
}
