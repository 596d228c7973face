#include "tests/screen/ScreenTestSupport.h"

#include <filesystem>

std::string ScreenshotPath(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(MORVELLE_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    return (folder / (name + ".png")).string();
}
