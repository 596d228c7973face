#include "tests/support/TestImages.h"

#include <cstdint>
#include <string_view>

#include "platform/file/FileLayer.h"
#include "platform/image/ImageConversion.h"

namespace {

void PutWord(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutDword(std::string& out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size())
        return false;
    for (size_t i = 0; i < ending.size(); ++i) {
        const char a = text[text.size() - ending.size() + i];
        const char lower = (a >= 'A' && a <= 'Z') ? static_cast<char>(a - 'A' + 'a') : a;
        if (lower != ending[i])
            return false;
    }
    return true;
}

}  // namespace

TestColour TestPixelColour(int x, int y, int width, int height) {
    return TestColour{static_cast<BYTE>(x * 255 / (width > 1 ? width - 1 : 1)),
                      static_cast<BYTE>(y * 255 / (height > 1 ? height - 1 : 1)),
                      static_cast<BYTE>((x * 7 + y * 3) % 256)};
}

TestColour TestPaletteColour(int index) {
    return TestColour{static_cast<BYTE>(index), static_cast<BYTE>(255 - index),
                      static_cast<BYTE>((index * 37) % 256)};
}

std::string TestBitmapBytes(int width, int height, int bitCount) {
    const int colours = bitCount == 8 ? 256 : 0;
    const int rowBytes = ((width * bitCount + 31) / 32) * 4;
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes) * height;
    std::string out;
    out += "BM";
    PutDword(out, offset + imageSize);
    PutDword(out, 0);
    PutDword(out, offset);
    PutDword(out, 40);
    PutDword(out, static_cast<std::uint32_t>(width));
    PutDword(out, static_cast<std::uint32_t>(height));
    PutWord(out, 1);
    PutWord(out, static_cast<std::uint16_t>(bitCount));
    PutDword(out, 0);  // BI_RGB
    PutDword(out, imageSize);
    PutDword(out, 2835);
    PutDword(out, 2835);
    PutDword(out, static_cast<std::uint32_t>(colours));
    PutDword(out, 0);
    for (int i = 0; i < colours; ++i) {
        const TestColour colour = TestPaletteColour(i);
        out.push_back(static_cast<char>(colour.blue));
        out.push_back(static_cast<char>(colour.green));
        out.push_back(static_cast<char>(colour.red));
        out.push_back(0);
    }
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // rows are stored bottom-up
        std::string line;
        for (int x = 0; x < width; ++x) {
            if (bitCount == 8) {
                line.push_back(static_cast<char>((x + y) % 256));
            } else {
                const TestColour colour = TestPixelColour(x, y, width, height);
                line.push_back(static_cast<char>(colour.blue));
                line.push_back(static_cast<char>(colour.green));
                line.push_back(static_cast<char>(colour.red));
            }
        }
        line.resize(static_cast<size_t>(rowBytes), '\0');
        out += line;
    }
    return out;
}

bool WriteTestBitmapFile(const std::string& path, int width, int height, int bitCount) {
    return WriteFileBytes(path, TestBitmapBytes(width, height, bitCount));
}

bool MakeTestImage(const std::string& path, int width, int height) {
    if (EndsWithNoCase(path, ".bmp"))
        return WriteTestBitmapFile(path, width, height, 24);
    const std::string source = path + ".source.bmp";
    if (!WriteTestBitmapFile(source, width, height, EndsWithNoCase(path, ".gif") ? 8 : 24))
        return false;
    const ImageHandle image = LoadImageFile(ImageFormatFromFileName(source), source, 0);
    const bool saved =
        image != nullptr && SaveImageFile(ImageFormatFromFileName(path), image, path, 0);
    UnloadImage(image);
    DeleteFile(source);
    return saved;
}
