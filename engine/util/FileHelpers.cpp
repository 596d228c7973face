#include "engine/util/FileHelpers.h"

#include "platform/file/FileLayer.h"

bool FileExists(std::string_view path) {
    return FileIsReadable(path);
}

bool CreateDirectoryIfMissing(std::string_view path) {
    return CreateDirectory(path) || FolderExists(path);
}

bool WriteTextFile(std::string_view path, std::string_view text) {
    return WriteFileBytes(path, text, FileMode::Text);
}

bool WriteTextFilePart(std::string_view path, std::string_view text, int count) {
    const size_t length = count <= 0 ? 0 : static_cast<size_t>(count);
    return WriteFileBytes(path, text.substr(0, length), FileMode::Text);
}

bool ReadTextFile(std::string_view path, std::string& text) {
    std::string contents;
    if (!ReadFileBytes(path, &contents))
        return false;
    text.append(contents, 0, contents.find('\0'));
    return true;
}
