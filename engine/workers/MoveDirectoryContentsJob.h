// Moves every file of one folder into another.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"

class MoveDirectoryContentsJob : public Job {
public:
    // Named "unknown", type name "MoveDirectoryContentsJob".
    MoveDirectoryContentsJob();

    // Before the job is queued: the folder whose files move, then the folder they go to.
    void SetFolders(std::string_view sourceFolder, std::string_view targetFolder);
    const std::string& GetSourceFolder() const { return sourceFolder_; }
    const std::string& GetTargetFolder() const { return targetFolder_; }

protected:
    ~MoveDirectoryContentsJob() override = default;

    // On the job's worker thread: moves every file directly in the source folder to the
    // target folder under its own name, ignoring failures. Nothing is overwritten: a file
    // whose name the target holds already stays in the source. Sub-folders stay. An
    // empty source or target folder name moves nothing.
    void Run() override;

private:
    std::string sourceFolder_;
    std::string targetFolder_;
};
