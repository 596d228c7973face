#include "platform/file/FileLayer.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool HasDrivePrefix(std::string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The elements of a drive path after its "x:", with "." dropped and ".." taking back
// one element; ".." at the drive's root stays at the root, as on the platform.
std::string NormalizeInsideDrive(std::string_view rest) {
    std::vector<std::string_view> elements;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string_view::npos)
            end = rest.size();
        const std::string_view element = rest.substr(start, end - start);
        if (element == "..") {
            if (!elements.empty())
                elements.pop_back();
        } else if (!element.empty() && element != ".") {
            elements.push_back(element);
        }
        start = end + 1;
    }
    std::string joined;
    for (std::string_view element : elements) {
        joined += '/';
        joined += element;
    }
    return joined;
}

std::mutex& ModulePathMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& ModulePath() {
    static std::string path = "c:\\browser\\browser.exe";
    return path;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Text-mode conversion: a LF not preceded by CR gets one. lastWasCr carries the last
// byte across pieces, so a CR LF split between two writes stays one line end.
std::string ToCrLf(std::string_view data, bool* lastWasCr) {
    std::string out;
    out.reserve(data.size() + data.size() / 16 + 1);
    for (char c : data) {
        if (c == '\n' && !*lastWasCr)
            out.push_back('\r');
        out.push_back(c);
        *lastWasCr = (c == '\r');
    }
    return out;
}

std::string FolderOf(const std::string& linuxPath) {
    const size_t slash = linuxPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return linuxPath.substr(0, slash);
}

// Creates a new, empty file with a unique name in the open folder; -1 when none can be
// made. The name (one element) goes to temporary.
int CreateTemporaryAt(int folderFd, std::string* temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            FormatText(".morvelle-%ld-%u.tmp", static_cast<long>(::getpid()), ++counter);
        // O_EXCL never opens through a link planted under that name.
        const int fd =
            ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporary = name;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

int OpenRegularForReading(const std::string& linuxPath, struct stat* status) {
    if (linuxPath.empty())
        return -1;
    // O_NONBLOCK keeps a FIFO from blocking the open; such a file is refused below.
    const int fd = ::open(linuxPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// An open folder, closed with its holder.
class FolderHandle {
public:
    FolderHandle() = default;
    explicit FolderHandle(int fd) : fd_(fd) {}
    ~FolderHandle() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

std::vector<std::string> ElementsOf(std::string_view path) {
    std::vector<std::string> elements;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            elements.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return elements;
}

// How a system path is opened: its start folder as the system resolves it, then each
// element below it without following a symbolic link. A drive path starts at the
// drive's folder, so that no link below it (a planted one in a storage folder, say) is
// ever followed; any other path starts at the folder it names or holds, as it stands.
struct PathWalk {
    std::string start;
    std::vector<std::string> below;
};

// The walk to the folder a path names.
bool WalkToFolder(std::string_view systemPath, PathWalk* walk) {
    std::string path(systemPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (HasDrivePrefix(path)) {
        walk->start = BaseDataFolder() + "/" + ToLowerAscii(path[0]);
        walk->below = ElementsOf(NormalizeInsideDrive(std::string_view(path).substr(2)));
        return true;
    }
    walk->start = path;
    walk->below.clear();
    return !path.empty();
}

// The walk to the folder that holds a path's last element, and that element.
bool WalkToParent(std::string_view systemPath, PathWalk* walk, std::string* leaf) {
    std::string path(systemPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (HasDrivePrefix(path)) {
        std::vector<std::string> elements =
            ElementsOf(NormalizeInsideDrive(std::string_view(path).substr(2)));
        const std::string drive(1, ToLowerAscii(path[0]));
        if (elements.empty()) {
            walk->start = BaseDataFolder();
            *leaf = drive;
        } else {
            walk->start = BaseDataFolder() + "/" + drive;
            *leaf = std::move(elements.back());
            elements.pop_back();
        }
        walk->below = std::move(elements);
        return true;
    }
    path = StripTrailingSlashes(std::move(path));
    const size_t slash = path.rfind('/');
    *leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    walk->start = FolderOf(path);
    walk->below.clear();
    return !leaf->empty() && *leaf != "/";
}

// Opens the folder at the walk's end; -1 when a step is missing, no folder, or a link.
int OpenWalk(const PathWalk& walk) {
    int fd = ::open(walk.start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& element : walk.below) {
        if (fd < 0)
            break;
        const int next =
            ::openat(fd, element.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            struct stat status;
            if (::fstatat(fd, element.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(status.st_mode)) {
                Trace("file", "not followed: the link %s in %s", element.c_str(),
                      walk.start.c_str());
            }
        }
        ::close(fd);
        fd = next;
    }
    return fd;
}

// The folder that holds a path's last element, opened as OpenWalk does, and that
// element; an invalid handle when it cannot be opened.
FolderHandle OpenParent(std::string_view systemPath, std::string* leaf) {
    PathWalk walk;
    if (!WalkToParent(systemPath, &walk, leaf))
        return FolderHandle();
    return FolderHandle(OpenWalk(walk));
}

bool ExistsAt(int folderFd, const std::string& name) {
    struct stat status;
    return ::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// Copies a regular file to a new file, never replacing one and never through a link;
// for moves between file systems.
bool CopyFileNoReplace(int fromFolder, const std::string& from, int toFolder,
                       const std::string& to) {
    const int in =
        ::openat(fromFolder, from.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat status;
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(in);
        return false;
    }
    std::string temporary;
    const int out = CreateTemporaryAt(toFolder, &temporary);
    bool ok = out >= 0;
    if (ok) {
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                ok = false;
            if (got <= 0)
                break;
            if (!WriteAll(out, std::string_view(buffer, static_cast<size_t>(got)))) {
                ok = false;
                break;
            }
        }
        ::fchmod(out, status.st_mode & 07777);
        if (::close(out) != 0)
            ok = false;
        // linkat() fails when the target exists: the no-replace step.
        if (ok && ::linkat(toFolder, temporary.c_str(), toFolder, to.c_str(), 0) != 0)
            ok = false;
        ::unlinkat(toFolder, temporary.c_str(), 0);
    }
    ::close(in);
    return ok;
}

bool IsUnreservedInFileUrl(unsigned char c) {
    return IsAsciiLetter(static_cast<char>(c)) || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// "c:" or "c|" (the old form of a drive in file URLs).
bool IsUrlDrive(std::string_view text) {
    return text.size() >= 2 && IsAsciiLetter(text[0]) && (text[1] == ':' || text[1] == '|') &&
           (text.size() == 2 || text[2] == '/');
}

}  // namespace

std::string BaseDataFolder() {
    if (const char* own = std::getenv("MORVELLE_DATA_HOME"); own && *own) {
        return StripTrailingSlashes(own);
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        return StripTrailingSlashes(xdg) + "/morvelle";
    }
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env) {
        home = env;
    } else {
        struct passwd entry;
        struct passwd* found = nullptr;
        char buffer[4096];
        if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) {
            home = found->pw_dir;
        }
    }
    if (home.empty())
        home = "/tmp";
    home = StripTrailingSlashes(home);
    if (home == "/")
        home.clear();
    return home + "/.local/share/morvelle";
}

std::string MapToLinuxPath(std::string_view systemPath) {
    std::string path(systemPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!HasDrivePrefix(path))
        return path;
    const char drive = ToLowerAscii(path[0]);
    return BaseDataFolder() + "/" + drive + NormalizeInsideDrive(std::string_view(path).substr(2));
}

namespace {

// A drive's root always exists on the platform, so a change under "x:\" first makes
// the drive's folder (and the base data folder above it) when they are missing.
void EnsureDriveFolder(std::string_view systemPath) {
    std::string path(systemPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!HasDrivePrefix(path) || path.find_first_not_of('/', 2) == std::string::npos)
        return;  // no drive, or the drive's root itself (which CreateDirectory may make)
    const std::string folder = BaseDataFolder() + "/" + ToLowerAscii(path[0]);
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        ::mkdir(level.c_str(), 0777);  // an existing level is fine
        if (slash == std::string::npos)
            break;
    }
}

}  // namespace

std::string GetModuleFilePath() {
    std::lock_guard<std::mutex> guard(ModulePathMutex());
    return ModulePath();
}

void SetModuleFilePath(std::string_view systemPath) {
    std::lock_guard<std::mutex> guard(ModulePathMutex());
    ModulePath() = std::string(systemPath);
}

bool FileIsReadable(std::string_view path) {
    struct stat status;
    const int fd = OpenRegularForReading(MapToLinuxPath(path), &status);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool FolderExists(std::string_view path) {
    const std::string linuxPath = MapToLinuxPath(path);
    struct stat status;
    return !linuxPath.empty() && ::stat(linuxPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool GetFileInfo(std::string_view path, FileInfo* info) {
    struct stat status;
    const int fd = OpenRegularForReading(MapToLinuxPath(path), &status);
    if (fd < 0)
        return false;
    FileInfo result;
    result.size = static_cast<std::uint64_t>(status.st_size);
    result.lastWriteTime = status.st_mtime;
    result.creationTime = status.st_ctime;
    struct statx extended;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 &&
        (extended.stx_mask & STATX_BTIME)) {
        result.creationTime = static_cast<std::time_t>(extended.stx_btime.tv_sec);
    }
    ::close(fd);
    if (info)
        *info = result;
    return true;
}

bool ListFolder(std::string_view path, std::vector<FolderEntry>* entries) {
    const std::string linuxPath = MapToLinuxPath(path);
    PathWalk walk;
    if (linuxPath.empty() || !WalkToFolder(path, &walk))
        return false;
    FolderHandle opened(OpenWalk(walk));
    if (opened.Get() < 0)
        return false;
    DIR* folder = ::fdopendir(opened.Get());
    if (!folder)
        return false;
    opened.Release();  // the listing owns it now
    const int folderFd = ::dirfd(folder);
    std::vector<FolderEntry> found;
    bool ok = true;
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(folder);
        if (!entry) {
            ok = (errno == 0);
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (name.find('\\') != std::string::npos) {
            // Joined with "\" such a name would address another file; it is left out.
            Trace("file", "skipped \"%s\" in %s: a backslash in the name", name.c_str(),
                  linuxPath.c_str());
            continue;
        }
        struct stat status;
        if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        FolderEntry item;
        item.name = name;
        item.isLink = S_ISLNK(status.st_mode);
        item.isFolder = S_ISDIR(status.st_mode);
        if (S_ISREG(status.st_mode)) {
            item.size = static_cast<std::uint64_t>(status.st_size);
        } else if (item.isLink) {
            struct stat target;
            if (::fstatat(folderFd, name.c_str(), &target, 0) == 0 && S_ISREG(target.st_mode)) {
                item.size = static_cast<std::uint64_t>(target.st_size);
            }
        }
        found.push_back(std::move(item));
    }
    ::closedir(folder);
    if (!ok)
        return false;
    std::sort(found.begin(), found.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    if (entries)
        entries->insert(entries->end(), found.begin(), found.end());
    return true;
}

BOOL CreateDirectory(std::string_view path) {
    EnsureDriveFolder(path);
    std::string leaf;
    const FolderHandle parent = OpenParent(path, &leaf);
    return parent.Get() >= 0 && ::mkdirat(parent.Get(), leaf.c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL DeleteFile(std::string_view path) {
    std::string leaf;
    const FolderHandle parent = OpenParent(path, &leaf);
    struct stat status;
    if (parent.Get() < 0 ||
        ::fstatat(parent.Get(), leaf.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISDIR(status.st_mode)) {
        return FALSE;
    }
    return ::unlinkat(parent.Get(), leaf.c_str(), 0) == 0 ? TRUE : FALSE;
}

BOOL RemoveDirectory(std::string_view path) {
    std::string leaf;
    const FolderHandle parent = OpenParent(path, &leaf);
    return parent.Get() >= 0 && ::unlinkat(parent.Get(), leaf.c_str(), AT_REMOVEDIR) == 0 ? TRUE
                                                                                          : FALSE;
}

BOOL MoveFile(std::string_view from, std::string_view to) {
    EnsureDriveFolder(to);
    std::string sourceName;
    std::string targetName;
    const FolderHandle source = OpenParent(from, &sourceName);
    const FolderHandle target = OpenParent(to, &targetName);
    if (source.Get() < 0 || target.Get() < 0)
        return FALSE;
    const int s = source.Get();
    const int t = target.Get();
    struct stat status;
    if (::fstatat(s, sourceName.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return FALSE;
    if (::renameat2(s, sourceName.c_str(), t, targetName.c_str(), RENAME_NOREPLACE) == 0)
        return TRUE;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename.
        if (!S_ISDIR(status.st_mode)) {
            if (::linkat(s, sourceName.c_str(), t, targetName.c_str(), 0) != 0)
                return FALSE;
            ::unlinkat(s, sourceName.c_str(), 0);
            return TRUE;
        }
        if (ExistsAt(t, targetName))
            return FALSE;
        return ::renameat(s, sourceName.c_str(), t, targetName.c_str()) == 0 ? TRUE : FALSE;
    }
    if (errno == EXDEV && S_ISREG(status.st_mode)) {
        if (!CopyFileNoReplace(s, sourceName, t, targetName))
            return FALSE;
        ::unlinkat(s, sourceName.c_str(), 0);
        return TRUE;
    }
    return FALSE;
}

bool ReadFileBytes(std::string_view path, std::string* contents) {
    struct stat status;
    const int fd = OpenRegularForReading(MapToLinuxPath(path), &status);
    if (fd < 0)
        return false;
    std::string data;
    data.reserve(static_cast<size_t>(status.st_size));
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        data.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    if (!ok)
        return false;
    if (contents)
        *contents = std::move(data);
    return true;
}

bool FilesHaveSameBytes(std::string_view first, std::string_view second) {
    struct stat firstStatus;
    struct stat secondStatus;
    const int a = OpenRegularForReading(MapToLinuxPath(first), &firstStatus);
    const int b = a < 0 ? -1 : OpenRegularForReading(MapToLinuxPath(second), &secondStatus);
    bool same = a >= 0 && b >= 0 && firstStatus.st_size == secondStatus.st_size;
    char left[65536];
    char right[sizeof left];
    while (same) {
        ssize_t got = ::read(a, left, sizeof left);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            same = got == 0;
            break;
        }
        ssize_t have = 0;
        while (have < got) {
            const ssize_t more = ::read(b, right + have, static_cast<size_t>(got - have));
            if (more < 0 && errno == EINTR)
                continue;
            if (more <= 0)
                break;
            have += more;
        }
        same = have == got && std::memcmp(left, right, static_cast<size_t>(got)) == 0;
    }
    if (a >= 0)
        ::close(a);
    if (b >= 0)
        ::close(b);
    return same;
}

std::string CreateTemporaryFile(std::string_view folder) {
    EnsureDriveFolder(folder);
    PathWalk walk;
    if (!WalkToFolder(folder, &walk))
        return {};
    const FolderHandle opened(OpenWalk(walk));
    if (opened.Get() < 0)
        return {};
    std::string name;
    const int fd = CreateTemporaryAt(opened.Get(), &name);
    if (fd < 0)
        return {};
    ::close(fd);
    std::string path(folder);
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path + name;
}

bool WriteFileBytes(std::string_view path, std::string_view data, FileMode mode) {
    EnsureDriveFolder(path);
    FileWriter writer;
    if (!writer.Open(path, mode))
        return false;
    writer.Write(data);
    return writer.Close();
}

bool AppendFileBytes(std::string_view path, std::string_view data, FileMode mode) {
    EnsureDriveFolder(path);
    std::string leaf;
    const FolderHandle parent = OpenParent(path, &leaf);
    if (parent.Get() < 0)
        return false;
    // Under a drive a link is never written through; elsewhere it is the person's own.
    const int noFollow = HasDrivePrefix(path) ? O_NOFOLLOW : 0;
    const int fd = ::openat(parent.Get(), leaf.c_str(),
                            O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | noFollow, 0666);
    if (fd < 0)
        return false;
    struct stat status;
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (ok && mode == FileMode::Text) {
        bool lastWasCr = false;
        char last = 0;
        if (status.st_size > 0 && ::pread(fd, &last, 1, status.st_size - 1) == 1) {
            lastWasCr = (last == '\r');
        }
        ok = WriteAll(fd, ToCrLf(data, &lastWasCr));
    } else if (ok) {
        ok = WriteAll(fd, data);
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

FileWriter::~FileWriter() {
    Discard();
}

bool FileWriter::Open(std::string_view path, FileMode mode) {
    EnsureDriveFolder(path);
    Discard();
    mode_ = mode;
    failed_ = false;
    lastWasCr_ = false;
    target_ = MapToLinuxPath(path);
    if (target_.empty() || target_.back() == '/')
        return false;
    FolderHandle parent = OpenParent(path, &leaf_);
    if (parent.Get() < 0) {
        Trace("file", "cannot open the folder of %s: errno %d", target_.c_str(), errno);
        return false;
    }
    // A link in the target's place is replaced itself, never written through.
    struct stat status;
    const bool replaces = ::fstatat(parent.Get(), leaf_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (replaces && S_ISDIR(status.st_mode))
        return false;
    fd_ = CreateTemporaryAt(parent.Get(), &temporary_);
    if (fd_ < 0) {
        Trace("file", "cannot create a file beside %s: errno %d", target_.c_str(), errno);
        return false;
    }
    folderFd_ = parent.Release();
    // A replaced file keeps its permissions.
    if (replaces && S_ISREG(status.st_mode))
        ::fchmod(fd_, status.st_mode & 07777);
    return true;
}

bool FileWriter::Write(std::string_view data) {
    if (fd_ < 0 || failed_)
        return false;
    const bool ok =
        mode_ == FileMode::Text ? WriteAll(fd_, ToCrLf(data, &lastWasCr_)) : WriteAll(fd_, data);
    if (!ok)
        failed_ = true;
    return ok;
}

bool FileWriter::Close() {
    if (fd_ < 0)
        return false;
    bool ok = !failed_;
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    if (ok && ::renameat(folderFd_, temporary_.c_str(), folderFd_, leaf_.c_str()) != 0) {
        Trace("file", "cannot replace %s: errno %d", target_.c_str(), errno);
        ok = false;
    }
    if (!ok)
        ::unlinkat(folderFd_, temporary_.c_str(), 0);
    temporary_.clear();
    ::close(folderFd_);
    folderFd_ = -1;
    return ok;
}

void FileWriter::Discard() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlinkat(folderFd_, temporary_.c_str(), 0);
    temporary_.clear();
    ::close(folderFd_);
    folderFd_ = -1;
}

std::string PathToFileUrl(std::string_view path) {
    if (path.empty())
        return {};
    std::string linuxPath = MapToLinuxPath(path);
    if (linuxPath.front() != '/') {
        char buffer[4096];
        if (!::getcwd(buffer, sizeof buffer))
            return {};
        linuxPath = StripTrailingSlashes(buffer) + "/" + linuxPath;
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : linuxPath) {
        if (IsUnreservedInFileUrl(c)) {
            url.push_back(static_cast<char>(c));
        } else {
            url.push_back('%');
            url.push_back(digits[c >> 4]);
            url.push_back(digits[c & 15]);
        }
    }
    return url;
}

bool FileUrlToPath(std::string_view url, std::string* linuxPath) {
    if (!StartsWithNoCase(url, "file:"))
        return false;
    std::string_view rest = url.substr(5);
    const size_t end = rest.find_first_of("?#");
    if (end != std::string_view::npos)
        rest = rest.substr(0, end);
    std::string_view encodedPath;
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (host.empty() || EqualsNoCase(host, "localhost")) {
            if (slash == std::string_view::npos)
                return false;
            encodedPath = rest.substr(slash);
        } else if (IsUrlDrive(rest)) {
            encodedPath = rest;  // file://c:/x
        } else {
            return false;  // a file on another machine
        }
    } else if (!rest.empty() && rest.front() == '/') {
        encodedPath = rest;  // file:/tmp/x
    } else {
        return false;
    }
    std::string decoded = PercentDecode(encodedPath);
    if (decoded.find('\0') != std::string::npos)
        return false;
    std::string_view drive = decoded;
    if (!drive.empty() && drive.front() == '/')
        drive.remove_prefix(1);
    if (IsUrlDrive(drive)) {
        std::string systemPath(drive);
        systemPath[1] = ':';
        decoded = MapToLinuxPath(systemPath);
    }
    if (linuxPath)
        *linuxPath = std::move(decoded);
    return true;
}
