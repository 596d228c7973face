#include "engine/thumbnail/ScreenCapture.h"

#include "engine/thumbnail/BitmapFile.h"
#include "platform/file/FileLayer.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/memory/GlobalMemory.h"

HBITMAP CaptureDcBitmap(HDC source, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    // The display is never palette-based here (GetDeviceCaps), so no system palette is
    // realised in the copy.
    HDC memory = CreateCompatibleDC(source);
    if (memory == nullptr)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    if (bitmap == nullptr) {
        DeleteDC(memory);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = previous != nullptr &&
                        BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    if (previous != nullptr)
        SelectObject(memory, previous);
    DeleteDC(memory);
    if (!copied) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

bool SaveDcImage(HDC source, const RECT& area, std::string_view path) {
    HBITMAP bitmap = CaptureDcBitmap(source, area);
    if (bitmap == nullptr)
        return false;
    HGLOBAL dib = BitmapToDib(bitmap, BI_RGB, nullptr);
    DeleteObject(bitmap);
    if (dib == nullptr)
        return false;
    FileWriter file;
    const bool opened = file.Open(path, FileMode::Binary);
    if (opened)
        WriteDibFile(file, dib);
    GlobalFree(dib);
    return opened && file.Close();
}
