#include "engine/workers/DeleteDirectoryContentsJob.h"

#include "engine/folder/FolderNode.h"
#include "engine/jobs/JobNames.h"
#include "platform/file/FileLayer.h"

DeleteDirectoryContentsJob::DeleteDirectoryContentsJob() {
    SetTypeName(DeleteDirectoryContentsJobName);
}

void DeleteDirectoryContentsJob::Run() {
    if (folder_.empty())
        return;
    FolderNode folder;
    folder.SetPath(folder_);
    StringArray files;
    folder.FindFilePaths(files, "", false);
    for (const std::string& file : files)
        DeleteFile(file);
}
