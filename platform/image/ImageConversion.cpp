#include "platform/image/ImageConversion.h"

#include <FreeImage.h>

#include <new>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/image/ImageLibrary.h"
#include "platform/image/WebPicture.h"

namespace {

FIBITMAP* LibraryImage(ImageHandle image) {
    return reinterpret_cast<FIBITMAP*>(image);
}

bool IsLibraryFormat(ImageFormat format) {
    return format >= 0 && format < FreeImage_GetFIFCount();
}

}  // namespace

ImageFormat ImageFormatFromFileName(std::string_view path) {
    // The library takes a whole name without a "." for an extension ("pic" would name
    // a format); such a name has none here.
    const size_t dot = path.rfind('.');
    const size_t separator = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return IMAGE_FORMAT_UNKNOWN;
    try {
        const std::string name(path);
        return FreeImage_GetFIFFromFilename(name.c_str());
    } catch (const std::bad_alloc&) {
        return IMAGE_FORMAT_UNKNOWN;
    }
}

ImageHandle LoadImageFile(ImageFormat format, std::string_view path, int flags) {
    if (!IsLibraryFormat(format))
        return nullptr;
    return LoadCheckedImage(path, format, flags);
}

BOOL SaveImageFile(ImageFormat format, ImageHandle image, std::string_view path, int flags) {
    PrepareImageLibrary();
    if (image == nullptr || !IsLibraryFormat(format))
        return FALSE;
    const auto libraryFormat = static_cast<FREE_IMAGE_FORMAT>(format);
    if (!FreeImage_FIFSupportsWriting(libraryFormat))
        return FALSE;
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (memory == nullptr)
        return FALSE;
    BOOL saved = FALSE;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (FreeImage_SaveToMemory(libraryFormat, LibraryImage(image), memory, flags) &&
        FreeImage_AcquireMemory(memory, &data, &size)) {
        saved = WriteFileBytes(path, std::string_view(reinterpret_cast<const char*>(data), size))
                    ? TRUE
                    : FALSE;
    }
    FreeImage_CloseMemory(memory);
    return saved;
}

bool ReadImageSize(const std::string& bytes, int* width, int* height) {
    long long w = 0;
    long long h = 0;
    const bool read = ReadPictureSize(bytes, &w, &h);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return read;
}

void UnloadImage(ImageHandle image) {
    if (image != nullptr)
        FreeImage_Unload(LibraryImage(image));
}
