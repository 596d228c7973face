#include "engine/workers/MoveDirectoryContentsJob.h"

#include "engine/folder/FolderNode.h"
#include "engine/jobs/JobNames.h"
#include "engine/util/PathHelpers.h"
#include "platform/file/FileLayer.h"

MoveDirectoryContentsJob::MoveDirectoryContentsJob() {
    SetTypeName(MoveDirectoryContentsJobName);
}

void MoveDirectoryContentsJob::SetFolders(std::string_view sourceFolder,
                                          std::string_view targetFolder) {
    sourceFolder_.assign(sourceFolder);
    targetFolder_.assign(targetFolder);
}

void MoveDirectoryContentsJob::Run() {
    if (sourceFolder_.empty() || targetFolder_.empty())
        return;
    FolderNode source;
    source.SetPath(sourceFolder_);
    StringArray files;
    source.FindFilePaths(files, "", false);
    for (const std::string& file : files)
        MoveFile(file, JoinPath(targetFolder_, FileNameOfPath(file)));
}
