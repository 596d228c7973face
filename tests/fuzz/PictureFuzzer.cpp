// Pictures from the web: the bytes of a downloaded picture through its size (the page
// loader's picture sizes) and through the thumbnail's decode and resize. A picture
// whose size is read decodes to a thumbnail within its box and its own size, or not at
// all; one whose size is refused never decodes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/image/ImageConversion.h"
#include "platform/image/WebPicture.h"

namespace {

// Larger pictures are only sized: the decode of the largest one allowed takes seconds,
// and the size bounds are held by the plain tests (tests/platform/image).
constexpr long long kMaxDecodedPixels = 4LL * 1024 * 1024;

struct Box {
    long long width;
    long long height;
};
// The thumbnail's box, and two others, by the length of the input.
constexpr Box kBoxes[] = {{100, 100}, {32, 32}, {200, 50}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    long long width = 0;
    long long height = 0;
    const bool sized = ReadPictureSize(bytes, &width, &height);
    int shortWidth = 0;
    int shortHeight = 0;
    if (ReadImageSize(std::string(bytes), &shortWidth, &shortHeight) != sized ||
        shortWidth != width || shortHeight != height)
        __builtin_trap();
    if (sized && width * height > kMaxDecodedPixels)
        return 0;

    const Box& box = kBoxes[size % 3];
    FittedPicture picture;
    const bool decoded = DecodePictureToFit(bytes, box.width, box.height, &picture);
    if (decoded && !sized)
        __builtin_trap();
    if (decoded) {
        if (picture.width < 1 || picture.height < 1 || picture.width > box.width ||
            picture.height > box.height || picture.width > width || picture.height > height)
            __builtin_trap();
        if (picture.rgb.size() != static_cast<size_t>(picture.width * picture.height * 3))
            __builtin_trap();
    }
    return 0;
}
