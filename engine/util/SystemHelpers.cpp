#include "engine/util/SystemHelpers.h"

#include "platform/file/FileLayer.h"

bool IsWindows9x() {
    return false;
}

std::string GetModulePath(bool withFileName) {
    std::string path = GetModuleFilePath();
    if (withFileName)
        return path;
    size_t end = path.rfind('\\');
    if (end == std::string::npos)
        end = path.rfind('/');
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string GetAppModulePath(bool withFileName) {
    return GetModulePath(withFileName);
}
