// Icons kept as resources: PNG images in a module's resources, read into shared icons.
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/GdiIcons.h"
#include "platform/gdi/GdiObjects.h"

namespace {

struct PngReader {
    const BYTE* data;
    std::size_t size;
    std::size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* buffer, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->size - reader->at < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(buffer, reader->data + reader->at, length);
    reader->at += length;
    return CAIRO_STATUS_SUCCESS;
}

// The icon of a PNG image; null for bytes that are no PNG image, or one too large.
HICON IconOfPng(const BYTE* data, std::size_t size) {
    PngReader reader{data, size};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    HICON icon = nullptr;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(image);
        const int width = cairo_image_surface_get_width(image);
        const int height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const cairo_format_t format = cairo_image_surface_get_format(image);
        const unsigned char* bytes = cairo_image_surface_get_data(image);
        if (bytes != nullptr && width > 0 && height > 0 && width <= 256 && height <= 256 &&
            (format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24)) {
            std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
            for (int y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(bytes + y * stride);
                for (int x = 0; x < width; ++x) {
                    // Cairo's pixels are premultiplied; an icon's are not.
                    const std::uint32_t pixel = row[x];
                    const unsigned alpha = format == CAIRO_FORMAT_RGB24 ? 255 : pixel >> 24;
                    DWORD plain = 0;
                    if (alpha != 0) {
                        for (int shift = 0; shift <= 16; shift += 8) {
                            const unsigned channel = (pixel >> shift) & 0xFF;
                            plain |= std::min(255u, (channel * 255 + alpha / 2) / alpha) << shift;
                        }
                    }
                    pixels[static_cast<std::size_t>(y) * width + x] = (alpha << 24) | plain;
                }
            }
            icon = CreateIconFromPixels(width, height, pixels.data());
        }
    }
    cairo_surface_destroy(image);
    return icon;
}

std::mutex& SharedIconsMutex() {
    static std::mutex mutex;
    return mutex;
}

// The icons read so far, by module path and id (null: the resource could not be read).
std::map<std::pair<std::string, int>, HICON>& SharedIcons() {
    static auto* icons = new std::map<std::pair<std::string, int>, HICON>;
    return *icons;
}

}  // namespace

HICON LoadIcon(HMODULE module, int id) {
    const std::string path = GetModuleFileName(module);
    if (path.empty())
        return nullptr;
    std::lock_guard lock(SharedIconsMutex());
    const auto key = std::make_pair(path, id);
    if (const auto known = SharedIcons().find(key); known != SharedIcons().end())
        return known->second;
    HRSRC resource = FindResource(module, id, RT_GROUP_ICON);
    const BYTE* bytes = resource ? LoadResource(module, resource) : nullptr;
    HICON icon = bytes ? IconOfPng(bytes, SizeofResource(module, resource)) : nullptr;
    if (auto* made = gdi::Find<HICON__>(icon))
        made->shared = true;
    SharedIcons().emplace(key, icon);
    return icon;
}
