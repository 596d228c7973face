#include "programs/sollet/GalleryPage.h"

#include <ctime>

#include "engine/util/PageText.h"
#include "platform/file/FileLayer.h"

std::string GalleryPageText(const StringArray& images) {
    std::string page = "<html><body>\r\n";
    for (const std::string& image : images)
        page += "<img src=\"" + EscapeAttributeValue(image) + "\">\r\n";
    return page;
}

std::string GalleryFileName(std::int64_t now) {
    const std::time_t seconds = static_cast<std::time_t>(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%m%d%y_%H%M%S", &local);
    const std::string stem = std::string(kGalleryFolder) + "\\" + stamp;
    std::string name = stem + ".htm";
    for (int n = 2; FileIsReadable(name) && n < 10000; ++n)
        name = stem + "_" + std::to_string(n) + ".htm";
    return name;
}

std::string WriteGalleryPage(const StringArray& images, std::int64_t now) {
    CreateDirectory(kGalleryFolder);
    const std::string name = GalleryFileName(now);
    return WriteFileBytes(name, GalleryPageText(images)) ? name : "";
}
