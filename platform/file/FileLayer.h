// The file layer: the only code of the system that touches the file system.
//
// System code keeps paths as the system builds them: joined with "\", drive paths
// such as "c:\tmp". The file layer maps such a path to a Linux path:
//   - "\" and "/" both separate path elements;
//   - a drive prefix ("c:", any letter, either case) maps to the folder named after
//     the lower-case letter under the base data folder ("c:\tmp\x" -> <base>/c/tmp/x);
//     inside a drive path "." is dropped and ".." takes back one element, never past
//     the drive's own folder ("c:\..\x" -> <base>/c/x), as the platform resolves them;
//   - a path that starts with "/" is a Linux path as it stands;
//   - any other path is relative to the current folder.
// The base data folder is $MORVELLE_DATA_HOME, else $XDG_DATA_HOME/morvelle, else
// ~/.local/share/morvelle. No file with a backslash in its name is ever created.
//
// Symbolic links: below a drive's folder, listings and changes (folders made, files
// written, appended, deleted or moved) never follow a link. A link in the path (a
// planted "images" that leads to another folder, say) makes the call fail; a link as
// the last element is the entry itself: deleted, moved or replaced, its target left
// alone. Other paths are the person's own, chosen in a dialog: they are resolved as
// they stand, and only the last element of a write, move or deletion is the entry
// itself (an append writes through a link there). The drive's folder and the base data
// folder above it may be links. Reads (the queries and ReadFileBytes) follow links
// everywhere.
//
// All calls are safe on any thread; none throws.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

// The base data folder as a Linux path, without a trailing "/".
std::string BaseDataFolder();

// The Linux path a system path names.
std::string MapToLinuxPath(std::string_view systemPath);

// The path of the running module as a system path. Each deliverable names its own
// executable; the bands live in the web browser, whose executable is the default.
std::string GetModuleFilePath();
void SetModuleFilePath(std::string_view systemPath);

// --- Queries ---------------------------------------------------------------
// True for an existing regular file (not a folder, device or pipe) that can be opened
// for reading; a link to such a file counts.
bool FileIsReadable(std::string_view path);
// True for an existing folder.
bool FolderExists(std::string_view path);

struct FileInfo {
    std::uint64_t size = 0;
    std::time_t lastWriteTime = 0;  // seconds since the epoch
    std::time_t creationTime = 0;   // the status-change time where the system keeps no birth time
};
// False when the path is not a readable file.
bool GetFileInfo(std::string_view path, FileInfo* info);

struct FolderEntry {
    std::string name;       // the entry's own name, no folder
    bool isFolder = false;  // a real folder; a link to a folder is not one
    bool isLink = false;    // a symbolic link (to anything)
    std::uint64_t size = 0;
};
// The entries directly in a folder, "." and ".." left out, sorted by name byte order,
// so listings are the same on every machine. Links are reported, never followed (a
// link's size is its target's when that is a regular file, else 0). A name holding
// a backslash is left out: joined into a system path it would name another file.
// False (and nothing appended) when the folder cannot be listed.
bool ListFolder(std::string_view path, std::vector<FolderEntry>* entries);

// --- Changes, with the platform's semantics ----------------------------------
// Creates one folder level. FALSE when it exists already (as a folder or a file)
// or its parent is missing.
BOOL CreateDirectory(std::string_view path);
// Deletes a file or a link (never a folder).
BOOL DeleteFile(std::string_view path);
// Removes an empty folder.
BOOL RemoveDirectory(std::string_view path);
// Moves or renames a file or folder; never overwrites: FALSE when the target exists.
// A file also moves to another file system (copied, then the source deleted).
BOOL MoveFile(std::string_view from, std::string_view to);

// --- Contents ----------------------------------------------------------------
enum class FileMode {
    Binary,  // bytes kept as they are
    Text,    // a lone LF becomes CR LF; CR LF stays as it is
};

// Reads a whole regular file. False when it cannot be read.
bool ReadFileBytes(std::string_view path, std::string* contents);

// Whether two readable regular files hold the same bytes.
bool FilesHaveSameBytes(std::string_view first, std::string_view second);

// Creates a new, empty file with a name no other file has in folder (a name that starts
// with "."), and returns its system path: folder, "\", the name. "" when none can be
// made there. The caller deletes it.
std::string CreateTemporaryFile(std::string_view folder);

// Writes a whole file, replacing any earlier one (which keeps its permissions). The
// bytes go to a temporary name beside the target and are renamed over it, so a crash
// never leaves half a file; a failed write leaves the old file and no temporary.
bool WriteFileBytes(std::string_view path, std::string_view data, FileMode mode = FileMode::Binary);

// Appends to a file, creating it when missing. In text mode a LF that follows a CR
// at the file's end is kept as it is.
bool AppendFileBytes(std::string_view path, std::string_view data,
                     FileMode mode = FileMode::Binary);

// A file written piece by piece: Open creates the temporary file (so a target that
// cannot be created is known at once), Write appends, Close renames it over the
// target. A writer destroyed without Close, or whose Write or Close failed, leaves the
// target untouched and removes its temporary file. Text mode keeps a CR LF that is
// split between two Write calls as one line end. One writer is used by one thread.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool Open(std::string_view path, FileMode mode = FileMode::Binary);
    bool IsOpen() const { return fd_ >= 0; }
    bool Write(std::string_view data);
    // True when every write and the rename succeeded.
    bool Close();

private:
    void Discard();

    int fd_ = -1;
    int folderFd_ = -1;  // the target's folder, open while fd_ is
    FileMode mode_ = FileMode::Binary;
    bool failed_ = false;
    bool lastWasCr_ = false;
    std::string target_;     // the Linux path, for trace lines
    std::string leaf_;       // the target's name in its folder
    std::string temporary_;  // the temporary file's name in that folder
};

// --- file:// URLs --------------------------------------------------------------
// The file URL of a system path: "file://" followed by its absolute Linux path, every
// byte that is not unreserved or "/" percent-encoded (/tmp/a b.jpg ->
// file:///tmp/a%20b.jpg). "" for an empty path.
std::string PathToFileUrl(std::string_view path);
// The Linux path of a file URL (file:///p, file://localhost/p, file:/p), fully
// percent-decoded, query and fragment cut off; the drive form file:///c:/x (or c|)
// maps like the path c:\x. False for other URLs, other hosts and an encoded NUL.
bool FileUrlToPath(std::string_view url, std::string* linuxPath);
