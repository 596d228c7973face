// An in-memory listing of a folder and the whole tree below it: the names of the
// files each folder holds directly and one child node per sub-folder.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/text/Text.h"

// Symbolic links are never followed: a link, to a folder or to anything else, is
// listed among the files by its own name (with the size the file layer reports for it)
// and never becomes a child node, so a link that points back up the tree cannot make
// the scan loop.
//
// Not synchronised: a node is built and read by one thread at a time.
class FolderNode : public CObject {
public:
    FolderNode() = default;
    ~FolderNode() override = default;
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    // A new empty node of the same kind; the scan makes its child nodes with it.
    virtual std::unique_ptr<FolderNode> Create() const;

    // Nothing happens when path equals the current path ignoring case. Otherwise one
    // trailing "\" is removed (and the white space then left at the end), the path and
    // its last part as the name are stored, and the tree below is scanned.
    void SetPath(std::string_view path);
    // Nothing happens when name equals the current name ignoring case. Otherwise the
    // name is replaced and the folder at the unchanged path is scanned again.
    void SetName(std::string_view name);

    // Lists the folder again: the old children and file names are dropped, each
    // sub-folder becomes a child node that scans itself, and every other entry adds
    // its name to the file names and its size to the total size, in the order the
    // file layer lists them. A folder that cannot be listed leaves the node empty.
    // Returns true.
    bool Scan();

    // Orders the children by name, respectively the file names, by byte value, letter
    // case kept apart ("A" < "a" < "b"); equal names keep their order.
    void SortChildren();
    void SortFileNames();

    // Appends each child's name, in child order.
    void GetChildNames(StringArray& array) const;
    // The first child whose name equals name ignoring case; null when none.
    FolderNode* FindChild(std::string_view name) const;

    // Appends the files whose names contain one of the pieces of extensions (split at
    // line ends and ","; compared ignoring case, anywhere in the name: ".htm" also
    // takes "a.html"), each once, as JoinPath(path, name) when fullPaths is set, else
    // as the bare name. When extensions holds no piece every file name is appended
    // bare, whatever fullPaths says. With recursive, the same for every child, depth
    // first in child order.
    void FindFiles(StringArray& out, std::string_view extensions, bool recursive,
                   bool fullPaths) const;
    // As FindFiles, with full paths always, also when extensions holds no piece.
    void FindFilePaths(StringArray& out, std::string_view extensions, bool recursive) const;

    // Of the folder's files that exist and can be read, the full path of the one last
    // written earliest (the first of equals), its last-write time into time; "" (time
    // unchanged) when there is none.
    std::string GetEarliestFile(std::time_t& time) const;

    const std::string& GetPath() const { return path_; }
    const std::string& GetName() const { return name_; }
    const std::vector<std::unique_ptr<FolderNode>>& GetChildren() const { return children_; }
    const StringArray& GetFileNames() const { return fileNames_; }
    // The sum of the sizes of the files held directly.
    std::uint64_t GetTotalSize() const { return totalSize_; }

private:
    std::string path_;
    std::string name_;
    std::vector<std::unique_ptr<FolderNode>> children_;
    StringArray fileNames_;
    std::uint64_t totalSize_ = 0;
};

// The size in bytes and the last-write and creation times of a file that can be opened
// for reading; false (nothing set) otherwise. The times are seconds since the epoch,
// the instants the file layer reports: a time turned into local clock time and back
// names the same instant, so they compare and format as local times like any other.
bool GetFileInfo(std::string_view path, std::uint64_t& size, std::time_t& lastWrite,
                 std::time_t& created);
