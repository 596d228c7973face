// The shell's folder objects, as far as the thumbnail code uses them: bind to a folder
// by its path, enumerate its items with their find data, and ask for an item's
// thumbnail extractor. Folders are read through the file layer. The objects are plain
// C++ objects owned by whoever asked for them; each is used by one thread at a time.
// None throws.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/Types.h"
#include "platform/shell/ExtractImage.h"

constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;

// One item of a folder, with the find data the system reads: its own file name.
struct ShellItem {
    std::string fileName;
    bool isFolder = false;
};

class ShellEnumerator {
public:
    explicit ShellEnumerator(std::vector<ShellItem> items) : items_(std::move(items)) {}

    // The next item: S_OK, or S_FALSE (item left as it was) when there is none.
    HRESULT Next(ShellItem* item);

private:
    std::vector<ShellItem> items_;
    std::size_t next_ = 0;
};

class ShellFolder {
public:
    // Binds to the folder a system path names: S_OK and the folder; E_FAIL (nothing
    // stored) when the path names no folder.
    static HRESULT BindToFolder(std::string_view path, std::unique_ptr<ShellFolder>* folder);

    // The folder's items as they are now, in name byte order: its sub-folders with
    // SHCONTF_FOLDERS, everything else (files, links) with SHCONTF_NONFOLDERS. E_FAIL
    // when the folder can no longer be read. owner is not looked at.
    HRESULT EnumObjects(HWND owner, DWORD flags, std::unique_ptr<ShellEnumerator>* items) const;

    // The item of the readable file named exactly name (letter case included) in the
    // folder, without listing the folder: S_OK and the item; E_INVALIDARG for a name
    // that is no plain entry name (empty, ".", "..", or holding "/" or "\"); E_FAIL
    // when the folder holds no readable file of that very name. owner is not looked at.
    HRESULT ParseDisplayName(HWND owner, std::string_view name, ShellItem* item) const;

    // The thumbnail extractor of a non-folder item: S_OK and the extractor;
    // E_NOINTERFACE for a folder item; E_INVALIDARG for a name that is no plain entry
    // name (empty, ".", "..", or holding "/" or "\"). owner is not looked at.
    HRESULT GetUIObjectOf(HWND owner, const ShellItem& item,
                          std::unique_ptr<ExtractImage>* extractor) const;

    const std::string& Path() const { return path_; }

private:
    explicit ShellFolder(std::string path) : path_(std::move(path)) {}

    // The system path of the entry name in the folder.
    std::string EntryPath(std::string_view name) const;

    std::string path_;
};
