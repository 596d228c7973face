// Checks on thumbnail files shared by the thumbnail tests.
#pragma once

#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/ExtractImage.h"

// A fresh folder on the c: drive of the test home, as a system path ("c:\hint-n").
inline std::string MakeDriveFolder(const std::string& hint) {
    static int counter = 0;
    CreateDirectory("c:");
    const std::string path = "c:\\" + hint + "-" + std::to_string(++counter);
    CreateDirectory(path);
    return path;
}

// The picture's own size as the image library reads it ({0, 0} when it reads none).
inline SIZE PictureSize(const std::string& path) {
    ExtractImage extractor(path);
    std::string location;
    HBITMAP bitmap = nullptr;
    if (extractor.GetLocation(&location, nullptr, SIZE{1 << 20, 1 << 20}, 24, nullptr) != S_OK ||
        extractor.Extract(&bitmap) != S_OK)
        return SIZE{};
    BITMAP description{};
    GetObject(bitmap, sizeof description, &description);
    DeleteObject(bitmap);
    return SIZE{description.bmWidth, description.bmHeight};
}

inline bool IsJpegFile(const std::string& path) {
    std::string bytes;
    return ReadFileBytes(path, &bytes) && bytes.size() > 3 &&
           bytes.compare(0, 3, "\xFF\xD8\xFF") == 0;
}

inline std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<FolderEntry> entries;
    ListFolder(folder, &entries);
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}
