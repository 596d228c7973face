// The image library keeps no shared state for independent bitmaps: its format plugins
// are registered when the shared library is loaded, and loading, converting, rescaling
// and saving distinct bitmaps on several threads at once is safe. The one process-wide
// setting, the message handler, is installed once.
#include "platform/image/ImageLibrary.h"

#include <FreeImage.h>

#include <cstdio>
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
    return width > 0 && height > 0 && width * height <= kMaxImagePixels;
}

unsigned ReadWord(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// A GIF's logical screen and the first frame that follows it must both be sane (the
// library allocates them before it decodes). A stream that ends before a frame is left
// for the library to refuse.
bool GifSizeIsSane(const std::string& bytes) {
    if (bytes.size() < 13 || !SizeIsSane(ReadWord(bytes, 6), ReadWord(bytes, 8)))
        return false;
    size_t at = 13;
    const unsigned flags = static_cast<unsigned char>(bytes[10]);
    if (flags & 0x80)
        at += 3u * (2u << (flags & 7));
    while (at < bytes.size()) {
        const unsigned char block = static_cast<unsigned char>(bytes[at]);
        if (block == 0x2C) {
            if (at + 9 > bytes.size())
                return true;
            return SizeIsSane(ReadWord(bytes, at + 5), ReadWord(bytes, at + 7));
        }
        if (block != 0x21)
            return true;
        at += 2;  // introducer and label, then sub-blocks up to an empty one
        while (at < bytes.size()) {
            const unsigned length = static_cast<unsigned char>(bytes[at]);
            at += 1 + length;
            if (length == 0)
                break;
        }
    }
    return true;
}

// The image's size from its header, when sane.
bool HeaderSizeIsSane(FREE_IMAGE_FORMAT format, FIMEMORY* stream, long long* width,
                      long long* height) {
    FIBITMAP* header = FreeImage_LoadFromMemory(format, stream, FIF_LOAD_NOPIXELS);
    if (header == nullptr)
        return false;
    *width = FreeImage_GetWidth(header);
    *height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return SizeIsSane(*width, *height);
}

// chooseFlags, when given, replaces flags for formats whose header gives the size.
ImageHandle LoadWithinBounds(std::string_view path, ImageFormat format, int flags,
                             const LoadFlagsChooser* chooseFlags, long long* width,
                             long long* height) {
    const std::string name(path);
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

    auto chosen = static_cast<FREE_IMAGE_FORMAT>(format);
    if (chosen == FIF_UNKNOWN) {
        chosen = FreeImage_GetFileTypeFromMemory(memory.stream, static_cast<int>(bytes.size()));
        if (chosen == FIF_UNKNOWN)
            chosen = FreeImage_GetFIFFromFilename(name.c_str());
    }
    if (chosen == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(chosen))
        return nullptr;

    bool sane = false;
    long long headerWidth = 0;
    long long headerHeight = 0;
    if (chosen == FIF_GIF) {
        sane = GifSizeIsSane(bytes);
    } else if (FreeImage_FIFSupportsNoPixels(chosen)) {
        sane = HeaderSizeIsSane(chosen, memory.stream, &headerWidth, &headerHeight);
        FreeImage_SeekMemory(memory.stream, 0, SEEK_SET);
        if (sane && chooseFlags != nullptr)
            flags = (*chooseFlags)(chosen, headerWidth, headerHeight);
    }
    if (!sane) {
        Trace("image", "%s: not an image of a readable size", name.c_str());
        return nullptr;
    }
    FIBITMAP* image = FreeImage_LoadFromMemory(chosen, memory.stream, flags);
    if (image != nullptr && !SizeIsSane(FreeImage_GetWidth(image), FreeImage_GetHeight(image))) {
        FreeImage_Unload(image);
        image = nullptr;
    }
    if (image != nullptr && width != nullptr && height != nullptr) {
        *width = headerWidth > 0 ? headerWidth : FreeImage_GetWidth(image);
        *height = headerHeight > 0 ? headerHeight : FreeImage_GetHeight(image);
    }
    return reinterpret_cast<ImageHandle>(image);
}

}  // namespace

bool ReadImageSize(const std::string& bytes, int* width, int* height) {
    *width = 0;
    *height = 0;
    if (bytes.empty() || bytes.size() > kMaxImageFileBytes)
        return false;
    PrepareImageLibrary();
    MemoryStream memory(bytes);
    if (memory.stream == nullptr)
        return false;
    const FREE_IMAGE_FORMAT format =
        FreeImage_GetFileTypeFromMemory(memory.stream, static_cast<int>(bytes.size()));
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return false;
    FreeImage_SeekMemory(memory.stream, 0, SEEK_SET);
    long long w = 0;
    long long h = 0;
    if (format == FIF_GIF) {
        if (!GifSizeIsSane(bytes))
            return false;
        w = ReadWord(bytes, 6);
        h = ReadWord(bytes, 8);
    } else {
        if (!FreeImage_FIFSupportsNoPixels(format))
            return false;
        FIBITMAP* header = FreeImage_LoadFromMemory(format, memory.stream, FIF_LOAD_NOPIXELS);
        if (header == nullptr)
            return false;
        w = FreeImage_GetWidth(header);
        h = FreeImage_GetHeight(header);
        FreeImage_Unload(header);
    }
    if (!SizeIsSane(w, h))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

void PrepareImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_SetOutputMessage(TraceLibraryMessage); });
}

ImageHandle LoadCheckedImage(std::string_view path, ImageFormat format, int flags) {
    PrepareImageLibrary();
    try {
        return LoadWithinBounds(path, format, flags, nullptr, nullptr, nullptr);
    } catch (const std::bad_alloc&) {
        Trace("image", "out of memory reading an image");
        return nullptr;
    }
}

ImageHandle LoadCheckedImageChoosingFlags(std::string_view path,
                                          const LoadFlagsChooser& chooseFlags, long long* width,
                                          long long* height) {
    PrepareImageLibrary();
    try {
        return LoadWithinBounds(path, IMAGE_FORMAT_UNKNOWN, 0, &chooseFlags, width, height);
    } catch (const std::bad_alloc&) {
        Trace("image", "out of memory reading an image");
        return nullptr;
    }
}
