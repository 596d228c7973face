// The image library keeps no shared state for independent bitmaps: its format plugins
// are registered when the shared library is loaded, and loading, converting and saving
// distinct bitmaps on several threads at once is safe. The one process-wide setting,
// the message handler, is installed once.
#include "platform/image/ImageLibrary.h"

#include <FreeImage.h>

#include <mutex>
#include <new>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/trace/Trace.h"

static_assert(IMAGE_FORMAT_UNKNOWN == FIF_UNKNOWN);
static_assert(IMAGE_FORMAT_JPEG == FIF_JPEG);

namespace {

void TraceLibraryMessage(FREE_IMAGE_FORMAT format, const char* message) {
    Trace("image", "format %d: %s", static_cast<int>(format), message != nullptr ? message : "");
}

// Closes a memory stream over bytes that stay the caller's.
struct MemoryStream {
    explicit MemoryStream(const std::string& bytes)
        : stream(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                      static_cast<DWORD>(bytes.size()))) {}
    ~MemoryStream() {
        if (stream != nullptr)
            FreeImage_CloseMemory(stream);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    FIMEMORY* stream;
};

bool SizeIsSane(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels / height;
}

// The image's size from its header, when sane.
bool HeaderSizeIsSane(FREE_IMAGE_FORMAT format, FIMEMORY* stream) {
    FIBITMAP* header = FreeImage_LoadFromMemory(format, stream, FIF_LOAD_NOPIXELS);
    if (header == nullptr)
        return false;
    const long long width = FreeImage_GetWidth(header);
    const long long height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return SizeIsSane(width, height);
}

ImageHandle LoadWithinBounds(std::string_view path, ImageFormat format, int flags) {
    const std::string name(path);
    if (format != FIF_BMP) {
        Trace("image", "%s: only bitmaps are read here", name.c_str());
        return nullptr;
    }
    FileInfo info;
    if (!GetFileInfo(path, &info))
        return nullptr;
    if (info.size == 0 || info.size > kMaxImageFileBytes) {
        Trace("image", "%s: %llu bytes, not read", name.c_str(),
              static_cast<unsigned long long>(info.size));
        return nullptr;
    }
    std::string bytes;
    if (!ReadFileBytes(path, &bytes) || bytes.empty())
        return nullptr;
    MemoryStream memory(bytes);
    if (memory.stream == nullptr)
        return nullptr;
    if (FreeImage_GetFileTypeFromMemory(memory.stream, static_cast<int>(bytes.size())) != FIF_BMP)
        return nullptr;
    FreeImage_SeekMemory(memory.stream, 0, SEEK_SET);
    const bool sane = HeaderSizeIsSane(FIF_BMP, memory.stream);
    FreeImage_SeekMemory(memory.stream, 0, SEEK_SET);
    if (!sane) {
        Trace("image", "%s: not an image of a readable size", name.c_str());
        return nullptr;
    }
    FIBITMAP* image = FreeImage_LoadFromMemory(FIF_BMP, memory.stream, flags);
    if (image != nullptr && !SizeIsSane(FreeImage_GetWidth(image), FreeImage_GetHeight(image))) {
        FreeImage_Unload(image);
        image = nullptr;
    }
    return reinterpret_cast<ImageHandle>(image);
}

}  // namespace

void PrepareImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_SetOutputMessage(TraceLibraryMessage); });
}

ImageHandle LoadCheckedImage(std::string_view path, ImageFormat format, int flags) {
    PrepareImageLibrary();
    try {
        return LoadWithinBounds(path, format, flags);
    } catch (const std::bad_alloc&) {
        Trace("image", "out of memory reading an image");
        return nullptr;
    }
}
