#include "engine/thumbnail/MakeThumbnail.h"

#include <exception>

#include "engine/thumbnail/ShellThumbnail.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "platform/file/FileLayer.h"
#include "platform/image/ImageConversion.h"
#include "platform/trace/Trace.h"

namespace {

class BitmapHolder {
public:
    explicit BitmapHolder(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~BitmapHolder() { Delete(); }
    BitmapHolder(const BitmapHolder&) = delete;
    BitmapHolder& operator=(const BitmapHolder&) = delete;

    HBITMAP Get() const { return bitmap_; }
    void Delete() {
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }

private:
    HBITMAP bitmap_;
};

class ImageHolder {
public:
    explicit ImageHolder(ImageHandle image) : image_(image) {}
    ~ImageHolder() { UnloadImage(image_); }
    ImageHolder(const ImageHolder&) = delete;
    ImageHolder& operator=(const ImageHolder&) = delete;

    ImageHandle Get() const { return image_; }

private:
    ImageHandle image_;
};

// The .jpg path when bmpPath was converted (and deleted), else "".
std::string ConvertToJpeg(std::string_view folder, std::string_view base,
                          const std::string& bmpPath) {
    const ImageFormat format = ImageFormatFromFileName(bmpPath);
    if (format == IMAGE_FORMAT_UNKNOWN)
        return {};
    ImageHolder image(LoadImageFile(format, bmpPath, 0));
    if (image.Get() == nullptr)
        return {};
    std::string jpgPath = JoinPath(folder, std::string(base) + ".jpg");
    if (!SaveImageFile(IMAGE_FORMAT_JPEG, image.Get(), jpgPath, 0))
        return {};
    DeleteFile(bmpPath);
    return jpgPath;
}

std::string Thumbnail(std::string_view folder, std::string_view sourcePath, int width, int height,
                      int colourDepth) {
    const std::string fileName = FileNameOfPath(sourcePath);
    const std::string sourceFolder = StripFileNameAnySeparator(sourcePath);
    BitmapHolder bitmap(
        ShellThumbnailToBitmap(sourceFolder, fileName, SIZE{width, height}, colourDepth));
    if (bitmap.Get() == nullptr)
        return {};

    // Local file names are unique only up to their last ".", so the cut is made there.
    const std::string base = TruncateAtLast(fileName, '.');
    const std::string bmpPath = JoinPath(folder, base + ".bmp");
    const bool saved = SaveShellThumbnail(bitmap.Get(), bmpPath);
    bitmap.Delete();
    if (!saved) {
        Trace("jobs", "MakeThumbnail: %s not written", bmpPath.c_str());
        return {};
    }

    try {
        std::string jpgPath = ConvertToJpeg(folder, base, bmpPath);
        if (!jpgPath.empty())
            return jpgPath;
    } catch (const std::exception& error) {
        Trace("jobs", "MakeThumbnail: %s not converted: %s", bmpPath.c_str(), error.what());
    }
    return bmpPath;
}

}  // namespace

std::string MakeThumbnail(std::string_view folder, std::string_view sourcePath, int width,
                          int height, int colourDepth) {
    try {
        return Thumbnail(folder, sourcePath, width, height, colourDepth);
    } catch (const std::exception& error) {
        Trace("jobs", "MakeThumbnail: no thumbnail: %s", error.what());
        return {};
    }
}
