// Every file below a folder, for tests that check a job wrote nowhere else; the files
// directly in a folder; a file's text.
#pragma once

#include <string>
#include <vector>

#include "platform/file/FileLayer.h"

// The paths, relative to folder and joined with "/", of every entry below folder that
// is no folder (links included, never followed), depth first in name order.
inline void CollectFilesBelow(const std::string& folder, const std::string& prefix,
                              std::vector<std::string>& out) {
    std::vector<FolderEntry> entries;
    ListFolder(folder, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder)
            CollectFilesBelow(folder + "/" + entry.name, prefix + entry.name + "/", out);
        else
            out.push_back(prefix + entry.name);
    }
}

inline std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> out;
    CollectFilesBelow(folder, "", out);
    return out;
}

// The names of the entries directly in folder that are no folders, in name order; none
// when the folder cannot be listed.
inline std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (!ListFolder(folder, &entries))
        return names;
    for (const FolderEntry& entry : entries) {
        if (!entry.isFolder)
            names.push_back(entry.name);
    }
    return names;
}

// The bytes of the file at path; "<missing>" when it cannot be read.
inline std::string FileTextOf(const std::string& path) {
    std::string bytes;
    return ReadFileBytes(path, &bytes) ? bytes : "<missing>";
}
