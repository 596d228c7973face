#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi/GdiObjects.h"

namespace gdi {

bool ReadDibPixels(const BITMAPINFO* info, const void* bits, int* width, int* height,
                   bool* bottomUp, std::vector<std::uint32_t>* out) {
    if (info == nullptr || bits == nullptr)
        return false;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int bitCount = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32))
        return false;
    const int w = header.biWidth;
    const int h = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (static_cast<long long>(w) * h > kMaxBitmapPixels)
        return false;

    std::uint32_t table[256] = {};
    if (bitCount <= 8) {
        const DWORD possible = 1u << bitCount;
        const DWORD used = header.biClrUsed == 0 ? possible : std::min(header.biClrUsed, possible);
        const auto* colours = reinterpret_cast<const BYTE*>(info) + header.biSize;
        for (DWORD i = 0; i < used; ++i) {
            RGBQUAD quad;
            std::memcpy(&quad, colours + 4 * i, sizeof quad);
            table[i] = (static_cast<std::uint32_t>(quad.rgbRed) << 16) |
                       (static_cast<std::uint32_t>(quad.rgbGreen) << 8) | quad.rgbBlue;
        }
    }

    out->assign(static_cast<std::size_t>(w) * h, 0);
    const std::size_t rowBytes = ((static_cast<std::size_t>(w) * bitCount + 31) / 32) * 4;
    const auto* rows = static_cast<const BYTE*>(bits);
    for (int line = 0; line < h; ++line) {
        const BYTE* from = rows + static_cast<std::size_t>(line) * rowBytes;
        const int target = header.biHeight > 0 ? h - 1 - line : line;
        std::uint32_t* to = out->data() + static_cast<std::size_t>(target) * w;
        for (int x = 0; x < w; ++x) {
            switch (bitCount) {
                case 1:
                    to[x] = table[(from[x / 8] >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    to[x] = table[(from[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
                    break;
                case 8:
                    to[x] = table[from[x]];
                    break;
                default: {
                    const BYTE* pixel = from + static_cast<std::size_t>(x) * (bitCount / 8);
                    to[x] = (static_cast<std::uint32_t>(pixel[2]) << 16) |
                            (static_cast<std::uint32_t>(pixel[1]) << 8) | pixel[0];
                }
            }
        }
    }
    *width = w;
    *height = h;
    *bottomUp = header.biHeight > 0;
    return true;
}

}  // namespace gdi
