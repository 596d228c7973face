// Image files for the thumbnail tests, made in the test itself.
#pragma once

#include <string>

#include "platform/base/Types.h"

// The colour of pixel (x, y), y counted from the top row, in the pictures below; the
// 8-bit pictures keep only the index pattern ((x + y) % 256) with TestPaletteColour.
struct TestColour {
    BYTE red;
    BYTE green;
    BYTE blue;
};
TestColour TestPixelColour(int x, int y, int width, int height);
TestColour TestPaletteColour(int index);

// The bytes of an uncompressed .bmp file, as WriteTestBitmapFile writes them.
std::string TestBitmapBytes(int width, int height, int bitCount);

// Writes an uncompressed .bmp file byte by byte (no code of the system involved):
// bitCount 24 (colours of TestPixelColour) or 8 (a 256-entry palette). False when the
// file cannot be written.
bool WriteTestBitmapFile(const std::string& path, int width, int height, int bitCount);

// Makes a picture of width x height in the format the extension of path names (.bmp,
// .jpg, .png, .gif, ...), through the image conversion calls; GIFs are made from an
// 8-bit picture, the rest from a 24-bit one. False when it could not be made.
bool MakeTestImage(const std::string& path, int width, int height);
