#include "platform/image/BitmapPicture.h"

#include <array>
#include <new>

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kCompressionAlphaBitFields = 6;
// Sides beyond this are refused whatever the pixel bound (the platform's own limit).
constexpr long long kMaxSide = 0x7FFFFFFF;

std::uint32_t Word(std::string_view bytes, size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8);
}

std::uint32_t Dword(std::string_view bytes, size_t at) {
    return Word(bytes, at) | (Word(bytes, at + 2) << 16);
}

// One channel's bit field: where it lies in a pixel and how many bits it has.
struct Field {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t top = 0;  // the mask's largest value, shifted down

    explicit Field(std::uint32_t m = 0) : mask(m) {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        top = mask >> shift;
    }
    std::uint8_t Value(std::uint32_t pixel) const {
        if (top == 0)
            return 0;
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
    }
};

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct Header {
    long long width = 0;
    long long height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    size_t pixelsAt = 0;
    Field red, green, blue, alpha;
    bool hasAlpha = false;
    std::vector<Colour> palette;
};

// Reads and checks the headers; the colour table too when withPalette.
bool ReadHeader(std::string_view bytes, bool withPalette, Header* header) {
    if (bytes.size() < kFileHeaderBytes + 12 || bytes.substr(0, 2) != "BM")
        return false;
    const std::uint32_t infoSize = Dword(bytes, 14);
    const size_t info = kFileHeaderBytes;
    size_t paletteEntryBytes = 4;
    if (infoSize == 12) {
        header->width = Word(bytes, info + 4);
        header->height = Word(bytes, info + 6);
        if (Word(bytes, info + 8) != 1)
            return false;
        header->bitCount = static_cast<int>(Word(bytes, info + 10));
        paletteEntryBytes = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
               infoSize == 124) {
        if (bytes.size() < info + infoSize)
            return false;
        const auto width = static_cast<std::int32_t>(Dword(bytes, info + 4));
        const auto height = static_cast<std::int32_t>(Dword(bytes, info + 8));
        header->width = width;
        header->topDown = height < 0;
        header->height = height < 0 ? -static_cast<long long>(height) : height;
        if (Word(bytes, info + 12) != 1)
            return false;
        header->bitCount = static_cast<int>(Word(bytes, info + 14));
        header->compression = Dword(bytes, info + 16);
    } else {
        return false;
    }
    if (header->width <= 0 || header->height <= 0 || header->width > kMaxSide ||
        header->height > kMaxSide)
        return false;

    const int bits = header->bitCount;
    switch (header->compression) {
        case kCompressionNone:
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
                return false;
            break;
        case kCompressionRle8:
            if (bits != 8 || header->topDown)
                return false;
            break;
        case kCompressionRle4:
            if (bits != 4 || header->topDown)
                return false;
            break;
        case kCompressionBitFields:
        case kCompressionAlphaBitFields:
            if ((bits != 16 && bits != 32) || infoSize == 12)
                return false;
            break;
        default:
            return false;
    }

    // Bit fields: in the header from 52 bytes on, else just after it.
    size_t tableAt = info + infoSize;
    if (header->compression == kCompressionBitFields ||
        header->compression == kCompressionAlphaBitFields) {
        const bool withAlpha = header->compression == kCompressionAlphaBitFields || infoSize >= 56;
        const size_t fieldsAt = info + 40;
        if (infoSize == 40)
            tableAt += withAlpha ? 16 : 12;
        if (bytes.size() < fieldsAt + (withAlpha ? 16 : 12))
            return false;
        header->red = Field(Dword(bytes, fieldsAt));
        header->green = Field(Dword(bytes, fieldsAt + 4));
        header->blue = Field(Dword(bytes, fieldsAt + 8));
        if (withAlpha)
            header->alpha = Field(Dword(bytes, fieldsAt + 12));
        header->hasAlpha = header->alpha.mask != 0;
    } else if (bits == 16) {
        header->red = Field(0x7C00);
        header->green = Field(0x03E0);
        header->blue = Field(0x001F);
    } else if (bits == 32) {
        header->red = Field(0x00FF0000);
        header->green = Field(0x0000FF00);
        header->blue = Field(0x000000FF);
        header->alpha = Field(0xFF000000);
        header->hasAlpha = true;
    }

    const std::uint32_t offset = Dword(bytes, 10);
    if (offset < tableAt || offset >= bytes.size())
        return false;
    header->pixelsAt = offset;
    if (bits <= 8 && withPalette) {
        size_t colours = size_t{1} << bits;
        if (infoSize >= 40) {
            const std::uint32_t used = Dword(bytes, info + 32);
            if (used != 0 && used < colours)
                colours = used;
        }
        // A table cut short by the pixels keeps what it has; the rest is black.
        const size_t room = (offset - tableAt) / paletteEntryBytes;
        header->palette.assign(size_t{1} << bits, Colour{});
        for (size_t i = 0; i < colours && i < room; ++i) {
            const size_t at = tableAt + i * paletteEntryBytes;
            header->palette[i] = Colour{static_cast<std::uint8_t>(bytes[at + 2]),
                                        static_cast<std::uint8_t>(bytes[at + 1]),
                                        static_cast<std::uint8_t>(bytes[at])};
        }
    }
    return true;
}

class PixelSink {
public:
    PixelSink(const Header& header, BitmapPicturePixels* out) : header_(header), out_(out) {}

    // Row y as stored (bottom-up unless the picture is top-down).
    std::uint8_t* Row(long long storedRow) {
        const long long y = header_.topDown ? storedRow : header_.height - 1 - storedRow;
        return out_->pixels.data() + static_cast<size_t>(y * header_.width * out_->bands);
    }
    void Put(std::uint8_t* at, const Colour& colour) const {
        at[0] = colour.red;
        at[1] = colour.green;
        at[2] = colour.blue;
        if (out_->bands == 4)
            at[3] = 255;
    }

private:
    const Header& header_;
    BitmapPicturePixels* out_;
};

bool DecodeUncompressed(std::string_view bytes, const Header& header, BitmapPicturePixels* out) {
    const long long rowBits = header.width * header.bitCount;
    const long long rowBytes = (rowBits + 31) / 32 * 4;
    const long long available = static_cast<long long>(bytes.size() - header.pixelsAt);
    // The last row may come without its padding.
    if ((header.height - 1) * rowBytes + (rowBits + 7) / 8 > available)
        return false;
    PixelSink sink(header, out);
    const int step = out->bands;
    for (long long y = 0; y < header.height; ++y) {
        const auto* from =
            reinterpret_cast<const std::uint8_t*>(bytes.data() + header.pixelsAt + y * rowBytes);
        std::uint8_t* to = sink.Row(y);
        for (long long x = 0; x < header.width; ++x, to += step) {
            switch (header.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const long long bit = x * header.bitCount;
                    const unsigned byte = from[bit / 8];
                    const unsigned index =
                        (byte >> (8 - header.bitCount - bit % 8)) & ((1u << header.bitCount) - 1);
                    sink.Put(to, header.palette[index]);
                    break;
                }
                case 24:
                    sink.Put(to, Colour{from[x * 3 + 2], from[x * 3 + 1], from[x * 3]});
                    break;
                default: {
                    const std::uint32_t pixel =
                        header.bitCount == 16
                            ? static_cast<std::uint32_t>(from[x * 2] | (from[x * 2 + 1] << 8))
                            : static_cast<std::uint32_t>(from[x * 4]) | (from[x * 4 + 1] << 8) |
                                  (from[x * 4 + 2] << 16) |
                                  (static_cast<std::uint32_t>(from[x * 4 + 3]) << 24);
                    sink.Put(to, Colour{header.red.Value(pixel), header.green.Value(pixel),
                                        header.blue.Value(pixel)});
                    if (step == 4)
                        to[3] = header.alpha.Value(pixel);
                    break;
                }
            }
        }
    }
    return true;
}

// Run-length coded pixels: runs of one index, runs of literal indexes, line ends and
// jumps. Pixels the code never reaches keep colour 0; pixels beyond a row are dropped.
bool DecodeRunLength(std::string_view bytes, const Header& header, BitmapPicturePixels* out) {
    PixelSink sink(header, out);
    for (long long y = 0; y < header.height; ++y) {
        std::uint8_t* row = sink.Row(y);
        for (long long x = 0; x < header.width; ++x)
            sink.Put(row + x * 3, header.palette[0]);
    }
    const bool four = header.compression == kCompressionRle4;
    size_t at = header.pixelsAt;
    long long x = 0;
    long long y = 0;
    const auto put = [&](unsigned index) {
        if (x < header.width && y < header.height)
            sink.Put(sink.Row(y) + x * 3, header.palette[index]);
        ++x;
    };
    while (y < header.height) {
        if (at + 2 > bytes.size())
            return false;
        const unsigned count = static_cast<std::uint8_t>(bytes[at]);
        const unsigned value = static_cast<std::uint8_t>(bytes[at + 1]);
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // jump
            if (at + 2 > bytes.size())
                return false;
            x += static_cast<std::uint8_t>(bytes[at]);
            y += static_cast<std::uint8_t>(bytes[at + 1]);
            at += 2;
        } else {  // literal indexes, padded to a whole word
            const size_t length = four ? (value + 1) / 2 : value;
            if (at + length > bytes.size())
                return false;
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = static_cast<std::uint8_t>(bytes[at + (four ? i / 2 : i)]);
                put(four ? (i % 2 == 0 ? byte >> 4 : byte & 15) : byte);
            }
            at += length + length % 2;
        }
    }
    return true;
}

}  // namespace

bool LooksLikeBitmapPicture(std::string_view bytes) {
    return bytes.size() >= 2 && bytes.substr(0, 2) == "BM";
}

bool ReadBitmapPictureSize(std::string_view bytes, long long* width, long long* height) {
    Header header;
    if (!ReadHeader(bytes, false, &header))
        return false;
    *width = header.width;
    *height = header.height;
    return true;
}

bool DecodeBitmapPicture(std::string_view bytes, long long maxPixels, BitmapPicturePixels* out) {
    Header header;
    if (!ReadHeader(bytes, true, &header) || header.width > maxPixels / header.height)
        return false;
    out->width = header.width;
    out->height = header.height;
    out->bands = header.hasAlpha ? 4 : 3;
    try {
        out->pixels.assign(static_cast<size_t>(header.width * header.height * out->bands), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (header.compression == kCompressionRle8 || header.compression == kCompressionRle4)
        return DecodeRunLength(bytes, header, out);
    return DecodeUncompressed(bytes, header, out);
}
