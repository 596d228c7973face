#include "engine/folder/FolderNode.h"

#include <algorithm>

#include "engine/util/FileHelpers.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringArrays.h"
#include "platform/file/FileLayer.h"

namespace {

bool ContainsAnyPiece(const std::string& fileName, const StringArray& pieces) {
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const std::string& piece) { return ContainsNoCase(fileName, piece); });
}

}  // namespace

std::unique_ptr<FolderNode> FolderNode::Create() const {
    return std::make_unique<FolderNode>();
}

void FolderNode::SetPath(std::string_view path) {
    if (EqualsNoCase(path, path_))
        return;
    std::string stored(path);
    if (!stored.empty() && stored.back() == '\\') {
        stored.pop_back();
        while (!stored.empty() && IsAsciiSpace(stored.back()))
            stored.pop_back();
    }
    path_ = stored;
    name_ = FileNameOfPath(path_);
    Scan();
}

void FolderNode::SetName(std::string_view name) {
    if (EqualsNoCase(name, name_))
        return;
    name_ = std::string(name);
    Scan();
}

bool FolderNode::Scan() {
    children_.clear();
    fileNames_.clear();
    totalSize_ = 0;
    std::vector<FolderEntry> entries;
    if (!ListFolder(path_, &entries))
        return true;
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder && !entry.isLink) {
            std::unique_ptr<FolderNode> child = Create();
            child->SetPath(JoinPath(path_, entry.name));
            children_.push_back(std::move(child));
        } else {
            totalSize_ += entry.size;
            fileNames_.push_back(entry.name);
        }
    }
    return true;
}

void FolderNode::SortChildren() {
    std::stable_sort(children_.begin(), children_.end(),
                     [](const std::unique_ptr<FolderNode>& a,
                        const std::unique_ptr<FolderNode>& b) { return a->name_ < b->name_; });
}

void FolderNode::SortFileNames() {
    std::stable_sort(fileNames_.begin(), fileNames_.end());
}

void FolderNode::GetChildNames(StringArray& array) const {
    for (const auto& child : children_)
        array.push_back(child->name_);
}

FolderNode* FolderNode::FindChild(std::string_view name) const {
    for (const auto& child : children_) {
        if (EqualsNoCase(child->name_, name))
            return child.get();
    }
    return nullptr;
}

void FolderNode::FindFiles(StringArray& out, std::string_view extensions, bool recursive,
                           bool fullPaths) const {
    StringArray pieces;
    SplitText(extensions, pieces, 2);
    for (const std::string& fileName : fileNames_) {
        if (pieces.empty())
            out.push_back(fileName);
        else if (ContainsAnyPiece(fileName, pieces))
            out.push_back(fullPaths ? JoinPath(path_, fileName) : fileName);
    }
    if (recursive) {
        for (const auto& child : children_)
            child->FindFiles(out, extensions, recursive, fullPaths);
    }
}

void FolderNode::FindFilePaths(StringArray& out, std::string_view extensions,
                               bool recursive) const {
    StringArray pieces;
    SplitText(extensions, pieces, 2);
    for (const std::string& fileName : fileNames_) {
        if (pieces.empty() || ContainsAnyPiece(fileName, pieces))
            out.push_back(JoinPath(path_, fileName));
    }
    if (recursive) {
        for (const auto& child : children_)
            child->FindFilePaths(out, extensions, recursive);
    }
}

std::string FolderNode::GetEarliestFile(std::time_t& time) const {
    std::string earliest;
    std::time_t earliestTime = 0;
    for (const std::string& fileName : fileNames_) {
        const std::string path = JoinPath(path_, fileName);
        if (!FileExists(path))
            continue;
        std::uint64_t size = 0;
        std::time_t lastWrite = 0;
        std::time_t created = 0;
        if (!GetFileInfo(path, size, lastWrite, created))
            continue;
        if (earliest.empty() || lastWrite < earliestTime) {
            earliest = path;
            earliestTime = lastWrite;
        }
    }
    if (!earliest.empty())
        time = earliestTime;
    return earliest;
}

bool GetFileInfo(std::string_view path, std::uint64_t& size, std::time_t& lastWrite,
                 std::time_t& created) {
    FileInfo info;
    if (!GetFileInfo(path, &info))
        return false;
    size = info.size;
    lastWrite = info.lastWriteTime;
    created = info.creationTime;
    return true;
}
