#include "platform/shell/ShellExecute.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/shell/Shell.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

namespace {

constexpr INT_PTR kSuccess = 42;

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> SplitColons(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(':', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The XDG data folders, the user's first, each without a trailing "/".
std::vector<std::string> DataFolders() {
    std::vector<std::string> folders;
    std::string home = Environment("XDG_DATA_HOME");
    if (home.empty() || home.front() != '/') {
        const std::string user = Environment("HOME");
        home = user.empty() ? "" : user + "/.local/share";
    }
    if (!home.empty())
        folders.push_back(home);
    std::string dirs = Environment("XDG_DATA_DIRS");
    if (dirs.empty())
        dirs = "/usr/local/share:/usr/share";
    for (const std::string& dir : SplitColons(dirs)) {
        if (dir.front() == '/')
            folders.push_back(dir);
    }
    return folders;
}

// The value of key in the [Desktop Entry] group; "" when missing.
std::string DesktopEntryValue(const std::string& contents, std::string_view key) {
    bool inEntry = false;
    size_t start = 0;
    while (start < contents.size()) {
        size_t end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        std::string line = contents.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.compare(0, key.size(), key) != 0)
            continue;
        size_t at = key.size();
        while (at < line.size() && line[at] == ' ')
            ++at;
        if (at < line.size() && line[at] == '=')
            return line.substr(at + 1);
    }
    return {};
}

// The arguments of an Exec value or a parameter text: words split at blanks, a double
// quoted word keeping its blanks with \" \` \$ \\ undone in it.
std::vector<std::string> SplitCommandWords(std::string_view text) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (at >= text.size())
            break;
        std::string word;
        while (at < text.size() && text[at] != ' ' && text[at] != '\t') {
            if (text[at] == '"') {
                ++at;
                while (at < text.size() && text[at] != '"') {
                    if (text[at] == '\\' && at + 1 < text.size())
                        ++at;
                    word += text[at++];
                }
                if (at < text.size())
                    ++at;  // the closing quote
            } else {
                word += text[at++];
            }
        }
        words.push_back(word);
    }
    return words;
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// The absolute path of an executable program: a path holding "/" as it stands, a bare
// name searched in PATH; "" when there is none.
std::string ResolveProgram(const std::string& program) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return program.front() == '/' && IsExecutableFile(program) ? program : "";
    for (const std::string& folder : SplitColons(Environment("PATH"))) {
        const std::string candidate = folder + "/" + program;
        if (candidate.front() == '/' && IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

}  // namespace

std::string MimeTypeOfFile(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const std::string extension = LowerAscii(name.substr(dot + 1));
    if (extension == "htm" || extension == "html" || extension == "shtml")
        return "text/html";
    if (extension == "xhtml")
        return "application/xhtml+xml";
    return {};
}

std::string DesktopEntryProgram(std::string_view desktopId) {
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos ||
        desktopId.find('\0') != std::string_view::npos || desktopId.find("..") == 0) {
        return {};
    }
    for (const std::string& folder : DataFolders()) {
        std::string contents;
        if (!ReadFileBytes(folder + "/applications/" + std::string(desktopId), &contents))
            continue;
        const std::vector<std::string> words =
            SplitCommandWords(DesktopEntryValue(contents, "Exec"));
        if (words.empty() || words.front().empty() || words.front().front() == '%')
            return {};
        return words.front();
    }
    return {};
}

INT_PTR FindExecutable(std::string_view file, std::string_view directory, std::string* result) {
    if (result)
        result->clear();
    std::string path(file);
    if (!directory.empty() && !path.empty() && path.front() != '/' && path.front() != '\\' &&
        !(path.size() > 1 && path[1] == ':')) {
        path = std::string(directory) + "\\" + path;
    }
    if (path.empty() || !FileIsReadable(path))
        return SE_ERR_FNF;
    const std::string mimeType = MimeTypeOfFile(path);
    if (mimeType.empty())
        return SE_ERR_NOASSOC;
    const std::string desktopId = DefaultApplicationFor(mimeType);
    const std::string program = ResolveProgram(DesktopEntryProgram(desktopId));
    if (program.empty()) {
        Trace("shell", "no program opens %s (entry \"%s\")", mimeType.c_str(), desktopId.c_str());
        return SE_ERR_NOASSOC;
    }
    if (result)
        *result = program;
    return kSuccess;
}

INT_PTR ShellExecute(HWND, std::string_view verb, std::string_view file,
                     std::string_view parameters, std::string_view, int) {
    if (!verb.empty() && LowerAscii(verb) != "open")
        return SE_ERR_NOASSOC;
    if (file.empty())
        return SE_ERR_FNF;
    const std::string program = ResolveProgram(std::string(file));
    if (!program.empty()) {
        ProgramStartRecord start{program, {}};
        for (std::string& word : SplitCommandWords(parameters))
            start.arguments.push_back(std::move(word));
        return StartProgram(start) ? kSuccess : SE_ERR_FNF;
    }
    std::string target(file);
    if (file.find("://") == std::string_view::npos && file.find(':') != 1 && file.front() != '/') {
        return SE_ERR_FNF;  // a bare name that is no program in PATH
    }
    if (file.find("://") == std::string_view::npos && file.front() != '/')
        target = MapToLinuxPath(file);
    return ShellOpen(target) ? kSuccess : SE_ERR_FNF;
}
