// The shell's thumbnail extractor of one file: GetLocation says what picture is
// wanted, Extract makes it. Used by one thread at a time; never throws.
#pragma once

#include <string>
#include <utility>

#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"

constexpr DWORD IEIFLAG_SCREEN = 0x0020;

class ExtractImage {
public:
    // path: the file's system path.
    explicit ExtractImage(std::string path) : path_(std::move(path)) {}

    // Asks for a picture that fits size at colourDepth bits per pixel. pathBuffer
    // receives the file's path; priority and flags are not looked at and may be null.
    // S_OK; E_INVALIDARG for an empty size or a null pathBuffer.
    HRESULT GetLocation(std::string* pathBuffer, DWORD* priority, const SIZE& size,
                        DWORD colourDepth, DWORD* flags);

    // The picture asked for (LoadThumbnailPixels in platform/image/ImageThumbnail.h
    // says what it is): S_OK and a bitmap the caller deletes with DeleteObject; E_FAIL
    // (null stored) when the file is no readable image; E_UNEXPECTED before GetLocation.
    HRESULT Extract(HBITMAP* bitmap);

private:
    std::string path_;
    SIZE size_{};
    DWORD colourDepth_ = 0;
    bool located_ = false;
};
