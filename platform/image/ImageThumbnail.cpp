#include "platform/image/ImageThumbnail.h"

#include <new>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/image/ImageLibrary.h"
#include "platform/image/WebPicture.h"
#include "platform/trace/Trace.h"

namespace {

// The file's bytes, when it is a regular file within the size bound.
bool ReadPictureFile(std::string_view path, std::string* bytes) {
    FileInfo info;
    if (!GetFileInfo(path, &info))
        return false;
    if (info.size == 0 || info.size > kMaxImageFileBytes) {
        Trace("image", "%s: %llu bytes, not read", std::string(path).c_str(),
              static_cast<unsigned long long>(info.size));
        return false;
    }
    return ReadFileBytes(path, bytes) && !bytes->empty();
}

void ToPixels(const FittedPicture& picture, int bitCount, ThumbnailPixels* pixels) {
    pixels->width = static_cast<LONG>(picture.width);
    pixels->height = static_cast<LONG>(picture.height);
    pixels->bitCount = static_cast<WORD>(bitCount);
    pixels->rowBytes = ((pixels->width * bitCount + 31) / 32) * 4;
    pixels->rows.assign(static_cast<size_t>(pixels->rowBytes) * pixels->height, 0);
    const int step = bitCount / 8;
    // The picture's rows run top-down, a bitmap's bottom-up.
    for (LONG y = 0; y < pixels->height; ++y) {
        const std::uint8_t* from =
            picture.rgb.data() + static_cast<size_t>(pixels->height - 1 - y) * picture.width * 3;
        BYTE* to = pixels->rows.data() + static_cast<size_t>(y) * pixels->rowBytes;
        for (LONG x = 0; x < pixels->width; ++x, from += 3, to += step) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
}

}  // namespace

bool LoadThumbnailPixels(std::string_view path, LONG boxWidth, LONG boxHeight, DWORD colourDepth,
                         ThumbnailPixels* pixels) {
    if (boxWidth <= 0 || boxHeight <= 0 || pixels == nullptr)
        return false;
    try {
        std::string bytes;
        FittedPicture picture;
        if (!ReadPictureFile(path, &bytes) ||
            !DecodePictureToFit(bytes, boxWidth, boxHeight, &picture))
            return false;
        ToPixels(picture, colourDepth >= 32 ? 32 : 24, pixels);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
