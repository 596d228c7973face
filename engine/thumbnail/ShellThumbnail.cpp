#include "engine/thumbnail/ShellThumbnail.h"

#include <memory>
#include <string>

#include "engine/thumbnail/BitmapFile.h"
#include "engine/util/StringUtilities.h"
#include "platform/shell/ShellFolder.h"

HBITMAP ShellThumbnailToBitmap(std::string_view folder, std::string_view fileName, SIZE size,
                               int colourDepth) {
    std::unique_ptr<ShellFolder> shellFolder;
    if (FAILED(ShellFolder::BindToFolder(folder, &shellFolder)))
        return nullptr;
    std::unique_ptr<ShellEnumerator> items;
    if (FAILED(shellFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items)))
        return nullptr;

    HBITMAP bitmap = nullptr;
    ShellItem item;
    while (bitmap == nullptr && items->Next(&item) == S_OK) {
        if (!StringMatch(item.fileName, fileName, true, false))
            continue;
        std::unique_ptr<ExtractImage> extractor;
        if (FAILED(shellFolder->GetUIObjectOf(nullptr, item, &extractor)))
            continue;
        std::string location;
        DWORD priority = 0;
        DWORD flags = IEIFLAG_SCREEN;
        if (SUCCEEDED(extractor->GetLocation(&location, &priority, size,
                                             static_cast<DWORD>(colourDepth), &flags)))
            extractor->Extract(&bitmap);
    }
    return bitmap;
}

bool SaveShellThumbnail(HBITMAP bitmap, std::string_view path) {
    if (bitmap == nullptr)
        return false;
    return SaveBitmapFile(path, bitmap);
}
