#include "engine/thumbnail/ShellThumbnail.h"

#include <memory>
#include <string>

#include "engine/thumbnail/BitmapFile.h"
#include "engine/util/StringUtilities.h"
#include "platform/shell/ShellFolder.h"

namespace {

// The item's thumbnail from its extractor, or none.
HBITMAP ExtractThumbnail(const ShellFolder& folder, const ShellItem& item, SIZE size,
                         int colourDepth) {
    std::unique_ptr<ExtractImage> extractor;
    if (FAILED(folder.GetUIObjectOf(nullptr, item, &extractor)))
        return nullptr;
    std::string location;
    DWORD priority = 0;
    DWORD flags = IEIFLAG_SCREEN;
    HBITMAP bitmap = nullptr;
    if (SUCCEEDED(extractor->GetLocation(&location, &priority, size,
                                         static_cast<DWORD>(colourDepth), &flags)))
        extractor->Extract(&bitmap);
    return bitmap;
}

}  // namespace

HBITMAP ShellThumbnailToBitmap(std::string_view folder, std::string_view fileName, SIZE size,
                               int colourDepth) {
    std::unique_ptr<ShellFolder> shellFolder;
    if (FAILED(ShellFolder::BindToFolder(folder, &shellFolder)))
        return nullptr;
    // The file of that very name is the match, without a walk through the folder: a
    // folder of n pictures costs n walks of n items otherwise.
    ShellItem item;
    if (SUCCEEDED(shellFolder->ParseDisplayName(nullptr, fileName, &item)))
        return ExtractThumbnail(*shellFolder, item, size, colourDepth);

    std::unique_ptr<ShellEnumerator> items;
    if (FAILED(shellFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items)))
        return nullptr;
    HBITMAP bitmap = nullptr;
    while (bitmap == nullptr && items->Next(&item) == S_OK) {
        if (StringMatch(item.fileName, fileName, true, false))
            bitmap = ExtractThumbnail(*shellFolder, item, size, colourDepth);
    }
    return bitmap;
}

bool SaveShellThumbnail(HBITMAP bitmap, std::string_view path) {
    if (bitmap == nullptr)
        return false;
    return SaveBitmapFile(path, bitmap);
}
