// The picture library is set up once per process: its decoders of untrusted input are
// blocked, then every loader but those of the accepted kinds, and every saver (nothing
// here writes through it). Its operation cache is off (a buffer at an address that
// held another picture before must never match a cached result). Pixels are computed
// on the calling thread, never by the library's pool of workers: thumbnail jobs run side
// by side already, and each job's picture stays on its own thread.
#include "platform/image/WebPicture.h"

#include <vips/vips.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <string>

#include "platform/image/BitmapPicture.h"
#include "platform/image/ImageLibrary.h"
#include "platform/trace/Trace.h"

namespace {

// The abstract classes of the loaders that stay open, one per accepted kind; their
// file, buffer and source loaders are below them.
constexpr const char* kOpenLoaders[] = {"VipsForeignLoadJpeg", "VipsForeignLoadPng",
                                        "VipsForeignLoadNsgif", "VipsForeignLoadTiff"};

void TraceLibraryLog(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
    Trace("image", "%s: %s", domain != nullptr ? domain : "", message != nullptr ? message : "");
}

bool PrepareLibrary() {
    static const bool ready = [] {
        if (VIPS_INIT("morvelle") != 0) {
            Trace("image", "the picture library does not start: %s", vips_error_buffer());
            vips_error_clear();
            return false;
        }
        g_log_set_handler("VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), TraceLibraryLog,
                          nullptr);
        vips_block_untrusted_set(TRUE);
        vips_operation_block_set("VipsForeignLoad", TRUE);
        for (const char* loader : kOpenLoaders)
            vips_operation_block_set(loader, FALSE);
        vips_operation_block_set("VipsForeignSave", TRUE);
        vips_cache_set_max(0);
        return true;
    }();
    return ready;
}

// Leaves the library's error text on the trace channel and clears it.
void TraceLibraryError(const char* what) {
    Trace("image", "%s: %s", what, vips_error_buffer());
    vips_error_clear();
}

// Holds one reference to an image.
class Image {
public:
    Image() = default;
    explicit Image(VipsImage* image) : image_(image) {}
    ~Image() { Reset(nullptr); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    VipsImage* Get() const { return image_; }
    VipsImage** Out() {
        Reset(nullptr);
        return &image_;
    }
    void Reset(VipsImage* image) {
        if (image_ != nullptr)
            g_object_unref(image_);
        image_ = image;
    }
    // Takes other's reference; other is left empty.
    void Take(Image& other) {
        VipsImage* taken = other.image_;
        other.image_ = nullptr;
        Reset(taken);
    }
    long long Width() const { return vips_image_get_width(image_); }
    long long Height() const { return vips_image_get_height(image_); }

private:
    VipsImage* image_ = nullptr;
};

bool SizeIsSane(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels / height;
}

unsigned ReadWord(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// A GIF's logical screen and the first frame that follows it must both be sane (the
// decoder makes room for them before it decodes). A stream that ends before a frame is
// left for the decoder to refuse.
bool GifSizeIsSane(std::string_view bytes) {
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

// Opens a picture of one of the library's kinds for reading, top to bottom once: its
// header is read, its pixels only when they are asked for. A JPEG is decoded at 1/shrink
// of its size. Null on failure.
bool Open(PictureKind kind, std::string_view bytes, int shrink, Image* image) {
    void* data = const_cast<char*>(bytes.data());
    const size_t size = bytes.size();
    int failed = -1;
    switch (kind) {
        case PictureKind::Jpeg:
            failed = vips_jpegload_buffer(data, size, image->Out(), "shrink", shrink, "fail_on",
                                          VIPS_FAIL_ON_TRUNCATED, "access", VIPS_ACCESS_SEQUENTIAL,
                                          nullptr);
            break;
        case PictureKind::Png:
            failed =
                vips_pngload_buffer(data, size, image->Out(), "fail_on", VIPS_FAIL_ON_TRUNCATED,
                                    "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
            break;
        case PictureKind::Gif:
            failed =
                vips_gifload_buffer(data, size, image->Out(), "fail_on", VIPS_FAIL_ON_TRUNCATED,
                                    "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
            break;
        case PictureKind::Tiff:
            failed =
                vips_tiffload_buffer(data, size, image->Out(), "fail_on", VIPS_FAIL_ON_TRUNCATED,
                                     "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
            break;
        default:
            return false;
    }
    if (failed != 0) {
        TraceLibraryError("picture not read");
        image->Reset(nullptr);
        return false;
    }
    return true;
}

// The size from the header, checked; for a library kind, the picture is left open.
bool ReadCheckedSize(PictureKind kind, std::string_view bytes, long long* width, long long* height,
                     Image* image) {
    if (bytes.empty() || bytes.size() > kMaxImageFileBytes)
        return false;
    bool read = false;
    if (kind == PictureKind::Bitmap) {
        read = ReadBitmapPictureSize(bytes, width, height);
    } else if (kind != PictureKind::Unknown && (kind != PictureKind::Gif || GifSizeIsSane(bytes))) {
        read = PrepareLibrary() && Open(kind, bytes, 1, image);
        if (read) {
            *width = image->Width();
            *height = image->Height();
        }
    }
    if (!read || !SizeIsSane(*width, *height)) {
        Trace("image", "not a picture of a readable size (%zu bytes)", bytes.size());
        return false;
    }
    return true;
}

struct Box {
    long long width;
    long long height;
};

// The size that fits box keeping the proportions of width x height, never larger
// than the picture itself.
Box FittedSize(long long width, long long height, const Box& box) {
    if (width <= box.width && height <= box.height)
        return Box{width, height};
    if (width * box.height >= height * box.width)
        return Box{box.width, std::max(1LL, (height * box.width * 2 + width) / (width * 2))};
    return Box{std::max(1LL, (width * box.height * 2 + height) / (height * 2)), box.height};
}

// How much larger than the thumbnail a JPEG decoded at a reduced scale stays, along
// both sides, so that the exact resize still has the detail of a whole decode to work
// from.
constexpr long long kReducedDecodeMargin = 2;

// The reduction a JPEG is decoded at for a thumbnail fitting box: the largest of 8, 4
// and 2 whose long side still holds twice the thumbnail's, for a picture at least twice
// the box in both directions; else 1.
int JpegShrink(long long width, long long height, const Box& box) {
    if (width < 2 * box.width || height < 2 * box.height)
        return 1;
    const Box fitted = FittedSize(width, height, box);
    const long long needed = kReducedDecodeMargin * std::max(fitted.width, fitted.height);
    const long long longSide = std::max(width, height);
    for (int shrink : {8, 4, 2}) {
        if ((longSide + shrink - 1) / shrink >= needed)
            return shrink;
    }
    return 1;
}

// The picture as 8-bit sRGB: three bands, or four with its alpha.
bool ToStandardColour(Image* image) {
    Image converted;
    if (vips_colourspace(image->Get(), converted.Out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
        TraceLibraryError("picture colours not converted");
        return false;
    }
    image->Take(converted);
    if (vips_image_get_format(image->Get()) != VIPS_FORMAT_UCHAR) {
        if (vips_cast_uchar(image->Get(), converted.Out(), nullptr) != 0) {
            TraceLibraryError("picture depth not converted");
            return false;
        }
        image->Take(converted);
    }
    const int bands = vips_image_get_bands(image->Get());
    if (bands < 3)
        return false;
    const int keep = bands >= 4 && vips_image_hasalpha(image->Get()) ? 4 : 3;
    if (bands != keep) {
        if (vips_extract_band(image->Get(), converted.Out(), 0, "n", keep, nullptr) != 0)
            return false;
        image->Take(converted);
    }
    return true;
}

// Rows of output computed at a time: the steps before ask for their input in strips,
// so a picture is read top to bottom without being held whole.
constexpr int kStripRows = 64;

// Computes an image's pixels on the calling thread, strip by strip, into pixels (rows
// top-down, no padding).
bool ComputePixels(const Image& image, std::vector<std::uint8_t>* pixels) {
    VipsImage* in = image.Get();
    const size_t line = VIPS_IMAGE_SIZEOF_LINE(in);
    const int height = vips_image_get_height(in);
    pixels->resize(line * static_cast<size_t>(height));
    VipsRegion* region = vips_region_new(in);
    if (region == nullptr) {
        TraceLibraryError("picture not decoded");
        return false;
    }
    bool computed = true;
    for (int top = 0; top < height && computed; top += kStripRows) {
        const VipsRect strip{0, top, vips_image_get_width(in), std::min(kStripRows, height - top)};
        computed = vips_region_prepare(region, &strip) == 0;
        for (int y = top; computed && y < top + strip.height; ++y) {
            const auto* from =
                reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, 0, y));
            std::copy(from, from + line, pixels->data() + static_cast<size_t>(y) * line);
        }
    }
    g_object_unref(region);
    if (!computed)
        TraceLibraryError("picture not decoded");
    return computed;
}

// An image over pixels (red, green, blue and alpha when bands is 4) that stay the
// caller's and outlive it.
bool ImageOfPixels(std::vector<std::uint8_t>& pixels, long long width, long long height, int bands,
                   Image* image) {
    Image raw(vips_image_new_from_memory(pixels.data(), pixels.size(), static_cast<int>(width),
                                         static_cast<int>(height), bands, VIPS_FORMAT_UCHAR));
    return raw.Get() != nullptr && vips_copy(raw.Get(), image->Out(), "interpretation",
                                             VIPS_INTERPRETATION_sRGB, nullptr) == 0;
}

// Lays a four-band picture over white by its alpha, or drops an alpha that is the same
// everywhere, fully opaque or fully transparent. The alpha is looked at before the
// pixels are laid over, so the picture is decoded whole into decoded first; the three
// bands that are left stay there.
bool LayOverWhite(Image* image, std::vector<std::uint8_t>* decoded) {
    if (vips_image_get_bands(image->Get()) != 4)
        return true;
    const long long width = image->Width();
    const long long height = image->Height();
    if (!ComputePixels(*image, decoded))
        return false;
    std::vector<std::uint8_t>& pixels = *decoded;
    std::uint8_t lowest = 255;
    std::uint8_t highest = 0;
    for (size_t at = 3; at < pixels.size(); at += 4) {
        lowest = std::min(lowest, pixels[at]);
        highest = std::max(highest, pixels[at]);
    }
    const bool keepColours = highest == 0 || lowest == 255;
    const size_t count = pixels.size() / 4;
    // In place: pixel i moves from 4 i to 3 i, never ahead of what is still to be read.
    for (size_t i = 0; i < count; ++i) {
        const unsigned alpha = keepColours ? 255 : pixels[4 * i + 3];
        for (size_t channel = 0; channel < 3; ++channel) {
            const unsigned value = pixels[4 * i + channel];
            pixels[3 * i + channel] =
                static_cast<std::uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    pixels.resize(count * 3);
    Image flat;
    if (!ImageOfPixels(pixels, width, height, 3, &flat))
        return false;
    image->Take(flat);
    return true;
}

// Resizes to exactly size.
bool ResizeTo(Image* image, const Box& size) {
    if (image->Width() == size.width && image->Height() == size.height)
        return true;
    Image resized;
    if (vips_resize(image->Get(), resized.Out(), static_cast<double>(size.width) / image->Width(),
                    "vscale", static_cast<double>(size.height) / image->Height(), nullptr) != 0) {
        TraceLibraryError("picture not resized");
        return false;
    }
    // The resize rounds its own size; a pixel more or less is cut off or repeated.
    if (resized.Width() != size.width || resized.Height() != size.height) {
        Image exact;
        if (vips_embed(resized.Get(), exact.Out(), 0, 0, static_cast<int>(size.width),
                       static_cast<int>(size.height), "extend", VIPS_EXTEND_COPY, nullptr) != 0)
            return false;
        resized.Take(exact);
    }
    image->Take(resized);
    return true;
}

bool WriteOut(const Image& image, FittedPicture* picture) {
    if (vips_image_get_bands(image.Get()) != 3 ||
        vips_image_get_format(image.Get()) != VIPS_FORMAT_UCHAR ||
        !ComputePixels(image, &picture->rgb))
        return false;
    picture->width = image.Width();
    picture->height = image.Height();
    return true;
}

bool Decode(std::string_view bytes, const Box& box, FittedPicture* picture) {
    const PictureKind kind = PictureKindOf(bytes);
    long long width = 0;
    long long height = 0;
    // Pixels that images below are made over, which outlive them.
    BitmapPicturePixels bitmap;
    std::vector<std::uint8_t> decoded;
    Image image;
    if (!ReadCheckedSize(kind, bytes, &width, &height, &image))
        return false;
    if (!PrepareLibrary())
        return false;
    if (kind == PictureKind::Bitmap) {
        if (!DecodeBitmapPicture(bytes, kMaxImagePixels, &bitmap) ||
            !ImageOfPixels(bitmap.pixels, bitmap.width, bitmap.height, bitmap.bands, &image))
            return false;
    } else if (kind == PictureKind::Jpeg) {
        const int shrink = JpegShrink(width, height, box);
        if (shrink > 1 && !Open(kind, bytes, shrink, &image))
            return false;
    }
    return ToStandardColour(&image) && LayOverWhite(&image, &decoded) &&
           ResizeTo(&image, FittedSize(width, height, box)) && WriteOut(image, picture);
}

}  // namespace

PictureKind PictureKindOf(std::string_view bytes) {
    const auto startsWith = [&](std::string_view prefix) {
        return bytes.substr(0, prefix.size()) == prefix;
    };
    if (startsWith("\xFF\xD8\xFF"))
        return PictureKind::Jpeg;
    if (startsWith("\x89PNG\r\n\x1A\n"))
        return PictureKind::Png;
    if (startsWith("GIF87a") || startsWith("GIF89a"))
        return PictureKind::Gif;
    if (startsWith(std::string_view("II*\0", 4)) || startsWith(std::string_view("MM\0*", 4)) ||
        startsWith(std::string_view("II+\0", 4)) || startsWith(std::string_view("MM\0+", 4)))
        return PictureKind::Tiff;
    if (LooksLikeBitmapPicture(bytes))
        return PictureKind::Bitmap;
    return PictureKind::Unknown;
}

bool ReadPictureSize(std::string_view bytes, long long* width, long long* height) {
    *width = 0;
    *height = 0;
    long long w = 0;
    long long h = 0;
    try {
        Image image;
        if (!ReadCheckedSize(PictureKindOf(bytes), bytes, &w, &h, &image))
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

bool DecodePictureToFit(std::string_view bytes, long long boxWidth, long long boxHeight,
                        FittedPicture* picture) {
    if (boxWidth <= 0 || boxHeight <= 0 || picture == nullptr)
        return false;
    try {
        return Decode(bytes, Box{boxWidth, boxHeight}, picture);
    } catch (const std::bad_alloc&) {
        Trace("image", "out of memory reading a picture");
        return false;
    }
}
