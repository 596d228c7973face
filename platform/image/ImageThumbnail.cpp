#include "platform/image/ImageThumbnail.h"

#include <FreeImage.h>

#include <algorithm>
#include <memory>
#include <new>

#include "platform/image/ImageLibrary.h"

namespace {

struct Unloader {
    void operator()(FIBITMAP* image) const { FreeImage_Unload(image); }
};
using Image = std::unique_ptr<FIBITMAP, Unloader>;

// The image as 32 bits per pixel, alpha kept; null for types the library cannot turn
// into colour (floating-point colour, complex numbers).
Image ToColourWithAlpha(FIBITMAP* source) {
    switch (FreeImage_GetImageType(source)) {
        case FIT_BITMAP:
        case FIT_RGB16:
        case FIT_RGBA16:
            return Image(FreeImage_ConvertTo32Bits(source));
        default: {
            Image standard(FreeImage_ConvertToStandardType(source, TRUE));
            return standard ? Image(FreeImage_ConvertTo32Bits(standard.get())) : Image();
        }
    }
}

// Lays the pixels over white by their alpha, unless every pixel is opaque or every
// pixel is fully transparent (an alpha channel nobody filled in).
void LayOverWhite(FIBITMAP* image) {
    const unsigned width = FreeImage_GetWidth(image);
    const unsigned height = FreeImage_GetHeight(image);
    bool anyOpaque = false;
    bool anyTransparent = false;
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* pixel = FreeImage_GetScanLine(image, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, pixel += 4) {
            if (pixel[FI_RGBA_ALPHA] != 0)
                anyOpaque = true;
            if (pixel[FI_RGBA_ALPHA] != 255)
                anyTransparent = true;
        }
    }
    if (!anyOpaque || !anyTransparent)
        return;
    for (unsigned y = 0; y < height; ++y) {
        BYTE* pixel = FreeImage_GetScanLine(image, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, pixel += 4) {
            const unsigned alpha = pixel[FI_RGBA_ALPHA];
            for (int channel : {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE})
                pixel[channel] =
                    static_cast<BYTE>((pixel[channel] * alpha + 255 * (255 - alpha) + 127) / 255);
            pixel[FI_RGBA_ALPHA] = 255;
        }
    }
}

struct Box {
    long long width;
    long long height;
};

// The size that fits box keeping the proportions of width x height, never larger
// than the image itself.
Box FittedSize(long long width, long long height, const Box& box) {
    if (width <= box.width && height <= box.height)
        return Box{width, height};
    if (width * box.height >= height * box.width)
        return Box{box.width, std::max(1LL, (height * box.width * 2 + width) / (width * 2))};
    return Box{std::max(1LL, (width * box.height * 2 + height) / (height * 2)), box.height};
}

void ToPixels(FIBITMAP* image, int bitCount, ThumbnailPixels* pixels) {
    pixels->width = static_cast<LONG>(FreeImage_GetWidth(image));
    pixels->height = static_cast<LONG>(FreeImage_GetHeight(image));
    pixels->bitCount = static_cast<WORD>(bitCount);
    pixels->rowBytes = ((pixels->width * bitCount + 31) / 32) * 4;
    pixels->rows.assign(static_cast<size_t>(pixels->rowBytes) * pixels->height, 0);
    const int sourceStep = static_cast<int>(FreeImage_GetBPP(image) / 8);
    const int targetStep = bitCount / 8;
    // Both keep their rows bottom-up: row 0 is the bottom row.
    for (LONG y = 0; y < pixels->height; ++y) {
        const BYTE* from = FreeImage_GetScanLine(image, y);
        BYTE* to = pixels->rows.data() + static_cast<size_t>(y) * pixels->rowBytes;
        for (LONG x = 0; x < pixels->width; ++x, from += sourceStep, to += targetStep) {
            to[0] = from[FI_RGBA_BLUE];
            to[1] = from[FI_RGBA_GREEN];
            to[2] = from[FI_RGBA_RED];
        }
    }
}

// How much larger than the thumbnail a JPEG decoded at a reduced scale stays, along
// both sides, so that the exact resize still has the detail of a whole decode to work
// from.
constexpr long long kReducedDecodeMargin = 2;

// The load flags of a picture for a thumbnail fitting box: a JPEG at least twice the
// box in both directions is decoded at a reduced scale, through the library's JPEG size
// hint (the upper 16 bits of the flags): the decoder takes the largest reduction (1/2,
// 1/4, 1/8) whose long side is still at least the hint. Everything else loads whole.
int ThumbnailLoadFlags(ImageFormat format, long long width, long long height, const Box& box) {
    if (format != IMAGE_FORMAT_JPEG || width < 2 * box.width || height < 2 * box.height)
        return 0;
    const Box fitted = FittedSize(width, height, box);
    const long long hint =
        std::min<long long>(0x7FFF, kReducedDecodeMargin * std::max(fitted.width, fitted.height));
    return JPEG_DEFAULT | static_cast<int>(hint << 16);
}

bool Thumbnail(std::string_view path, const Box& box, DWORD colourDepth, ThumbnailPixels* pixels) {
    // The picture's own size decides the thumbnail's, also when it was decoded reduced.
    long long width = 0;
    long long height = 0;
    Image source(reinterpret_cast<FIBITMAP*>(LoadCheckedImageChoosingFlags(
        path,
        [&box](ImageFormat format, long long w, long long h) {
            return ThumbnailLoadFlags(format, w, h, box);
        },
        &width, &height)));
    if (!source)
        return false;
    Image colour = ToColourWithAlpha(source.get());
    source.reset();
    if (!colour)
        return false;
    LayOverWhite(colour.get());
    Image opaque(FreeImage_ConvertTo24Bits(colour.get()));
    colour.reset();
    if (!opaque)
        return false;

    const Box fitted = FittedSize(width, height, box);
    if (fitted.width != FreeImage_GetWidth(opaque.get()) ||
        fitted.height != FreeImage_GetHeight(opaque.get())) {
        opaque.reset(FreeImage_Rescale(opaque.get(), static_cast<int>(fitted.width),
                                       static_cast<int>(fitted.height), FILTER_BILINEAR));
        if (!opaque)
            return false;
    }
    ToPixels(opaque.get(), colourDepth >= 32 ? 32 : 24, pixels);
    return true;
}

}  // namespace

bool LoadThumbnailPixels(std::string_view path, LONG boxWidth, LONG boxHeight, DWORD colourDepth,
                         ThumbnailPixels* pixels) {
    if (boxWidth <= 0 || boxHeight <= 0 || pixels == nullptr)
        return false;
    try {
        return Thumbnail(path, Box{boxWidth, boxHeight}, colourDepth, pixels);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
