// Empties one folder of its files: the pipeline's clean-up of its temporary folder.
#pragma once

#include <string>
#include <string_view>

#include "engine/jobs/Job.h"

class DeleteDirectoryContentsJob : public Job {
public:
    // Named "unknown", type name "DeleteDirectoryContentsJob".
    DeleteDirectoryContentsJob();

    // Before the job is queued: the folder to empty.
    void SetFolder(std::string_view folder) { folder_.assign(folder); }
    const std::string& GetFolder() const { return folder_; }

protected:
    ~DeleteDirectoryContentsJob() override = default;

    // On the job's worker thread: deletes every file directly in the folder, by its
    // full path, ignoring failures. Sub-folders and their files stay; a link is deleted
    // as a link, whatever it points to. An empty folder name deletes nothing.
    void Run() override;

private:
    std::string folder_;
};
