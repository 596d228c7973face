#include "platform/shell/ShellFolder.h"

#include <new>

#include "platform/file/FileLayer.h"

namespace {

// Not empty, ".", "..", nor holding a separator: one entry directly in the folder.
bool IsPlainEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

}  // namespace

HRESULT ShellEnumerator::Next(ShellItem* item) {
    if (item == nullptr)
        return E_POINTER;
    if (next_ >= items_.size())
        return S_FALSE;
    *item = items_[next_++];
    return S_OK;
}

HRESULT ShellFolder::BindToFolder(std::string_view path, std::unique_ptr<ShellFolder>* folder) {
    if (folder == nullptr)
        return E_POINTER;
    if (path.empty() || !FolderExists(path))
        return E_FAIL;
    try {
        folder->reset(new ShellFolder(std::string(path)));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ShellFolder::EnumObjects(HWND, DWORD flags, std::unique_ptr<ShellEnumerator>* items) const {
    if (items == nullptr)
        return E_POINTER;
    try {
        std::vector<FolderEntry> entries;
        if (!ListFolder(path_, &entries))
            return E_FAIL;
        std::vector<ShellItem> listed;
        for (FolderEntry& entry : entries) {
            const DWORD wanted = entry.isFolder ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS;
            if (flags & wanted)
                listed.push_back(ShellItem{std::move(entry.name), entry.isFolder});
        }
        *items = std::make_unique<ShellEnumerator>(std::move(listed));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ShellFolder::ParseDisplayName(HWND, std::string_view name, ShellItem* item) const {
    if (item == nullptr)
        return E_POINTER;
    if (!IsPlainEntryName(name))
        return E_INVALIDARG;
    try {
        if (!FileIsReadable(EntryPath(name)))
            return E_FAIL;
        *item = ShellItem{std::string(name), false};
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ShellFolder::GetUIObjectOf(HWND, const ShellItem& item,
                                   std::unique_ptr<ExtractImage>* extractor) const {
    if (extractor == nullptr)
        return E_POINTER;
    if (!IsPlainEntryName(item.fileName))
        return E_INVALIDARG;
    if (item.isFolder)
        return E_NOINTERFACE;
    try {
        *extractor = std::make_unique<ExtractImage>(EntryPath(item.fileName));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

std::string ShellFolder::EntryPath(std::string_view name) const {
    std::string path = path_;
    if (path.back() != '\\' && path.back() != '/')
        path.push_back('\\');
    path += name;
    return path;
}
