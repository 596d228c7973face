#include "platform/registry/RegistryStore.h"

#include "platform/text/Text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/registry/Registry.h"
#include "platform/trace/Trace.h"

const char* const kRegistryHiveNames[kRegistryHiveCount] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

RegistryKeyNode::RegistryKeyNode(const RegistryKeyNode& other) : values(other.values) {
    for (const auto& [name, node] : other.subKeys) {
        subKeys.emplace(name, std::make_unique<RegistryKeyNode>(*node));
    }
}

namespace {

constexpr std::string_view kHeader = "morvelle-registry 1";

// --- Text form -------------------------------------------------------------------

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '"' || c == '%';
}

void AppendQuoted(std::string* out, std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    out->push_back('"');
    for (unsigned char c : text) {
        if (NeedsEscape(c)) {
            out->push_back('%');
            out->push_back(digits[c >> 4]);
            out->push_back(digits[c & 15]);
        } else {
            out->push_back(static_cast<char>(c));
        }
    }
    out->push_back('"');
}

void AppendHex(std::string* out, std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    *out += "hex:";
    for (unsigned char c : bytes) {
        out->push_back(digits[c >> 4]);
        out->push_back(digits[c & 15]);
    }
}

std::string TypeWord(DWORD type) {
    switch (type) {
        case REG_NONE:
            return "none";
        case REG_SZ:
            return "sz";
        case REG_BINARY:
            return "binary";
        case REG_DWORD:
            return "dword";
        default:
            return std::to_string(type);
    }
}

// The key line of one key and the value lines of its values.
void FormatKeyLines(std::string* out, std::string_view path, const RegistryKeyNode& node) {
    *out += "key ";
    AppendQuoted(out, path);
    *out += '\n';
    for (const auto& [name, value] : node.values) {
        *out += "value ";
        AppendQuoted(out, name);
        *out += ' ';
        *out += TypeWord(value.type);
        *out += ' ';
        if (value.type == REG_SZ) {
            AppendQuoted(out, value.data);
        } else {
            AppendHex(out, value.data);
        }
        *out += '\n';
    }
}

// A key and every key below it, parents before children, each level in name order.
// Walks with a stack of its own and one path buffer, so neither the depth of the tree
// nor the length of its paths costs more than the text written.
void FormatKeyTree(std::string* out, std::string_view hiveName, const RegistryKeyNode& root) {
    using Children = decltype(root.subKeys);
    struct Level {
        const RegistryKeyNode* node;
        Children::const_iterator next;
        size_t pathLength;
    };
    std::string path(hiveName);
    FormatKeyLines(out, path, root);
    std::vector<Level> stack{{&root, root.subKeys.begin(), path.size()}};
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.node->subKeys.end()) {
            stack.pop_back();
            continue;
        }
        const auto& [name, child] = *top.next;
        ++top.next;
        path.resize(top.pathLength);
        path += '\\';
        path += name;
        FormatKeyLines(out, path, *child);
        stack.push_back(Level{child.get(), child->subKeys.begin(), path.size()});
    }
}

// Reads one token of a line: a quoted text, or a bare word up to the next blank.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() const { return position_ >= line_.size(); }

    bool Word(std::string* word) {
        SkipBlanks();
        const size_t start = position_;
        while (position_ < line_.size() && line_[position_] != ' ')
            ++position_;
        *word = std::string(line_.substr(start, position_ - start));
        return !word->empty();
    }

    bool Quoted(std::string* text) {
        SkipBlanks();
        if (position_ >= line_.size() || line_[position_] != '"')
            return false;
        ++position_;
        text->clear();
        while (position_ < line_.size()) {
            const unsigned char c = static_cast<unsigned char>(line_[position_]);
            if (c == '"') {
                ++position_;
                return position_ >= line_.size() || line_[position_] == ' ';
            }
            if (c == '%') {
                if (position_ + 2 >= line_.size())
                    return false;
                const int high = HexDigitValue(line_[position_ + 1]);
                const int low = HexDigitValue(line_[position_ + 2]);
                if (high < 0 || low < 0)
                    return false;
                text->push_back(static_cast<char>(high * 16 + low));
                position_ += 3;
                continue;
            }
            if (c < 0x20 || c == 0x7F)
                return false;
            text->push_back(static_cast<char>(c));
            ++position_;
        }
        return false;  // no closing quote
    }

    // A quoted text or hex:<pairs>.
    bool Data(std::string* data) {
        SkipBlanks();
        if (position_ < line_.size() && line_[position_] == '"')
            return Quoted(data);
        std::string word;
        if (!Word(&word) || word.compare(0, 4, "hex:") != 0 || word.size() % 2 != 0)
            return false;
        data->clear();
        for (size_t i = 4; i < word.size(); i += 2) {
            const int high = HexDigitValue(word[i]);
            const int low = HexDigitValue(word[i + 1]);
            if (high < 0 || low < 0)
                return false;
            data->push_back(static_cast<char>(high * 16 + low));
        }
        return true;
    }

private:
    void SkipBlanks() {
        while (position_ < line_.size() && line_[position_] == ' ')
            ++position_;
    }

    std::string_view line_;
    size_t position_ = 0;
};

bool ParseType(const std::string& word, DWORD* type) {
    if (word == "none") {
        *type = REG_NONE;
    } else if (word == "sz") {
        *type = REG_SZ;
    } else if (word == "binary") {
        *type = REG_BINARY;
    } else if (word == "dword") {
        *type = REG_DWORD;
    } else {
        if (word.empty() || word.size() > 10)
            return false;
        std::uint64_t number = 0;
        for (char c : word) {
            if (c < '0' || c > '9')
                return false;
            number = number * 10 + static_cast<unsigned>(c - '0');
        }
        if (number > 0xFFFFFFFFu)
            return false;
        *type = static_cast<DWORD>(number);
    }
    return true;
}

// The key a "key" line names, created with every key on the way; null when the path
// is not a hive followed by non-empty names, or names a key deeper than the limit.
RegistryKeyNode* KeyOfPath(RegistryTree* tree, const std::string& path, const char** why) {
    std::vector<std::string_view> elements;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        elements.push_back(std::string_view(path).substr(
            start, end == std::string::npos ? std::string::npos : end - start));
        if (elements.size() > kMaxRegistryKeyDepth + 1) {
            *why = "key too deep";
            return nullptr;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    *why = "malformed key path";
    RegistryKeyNode* node = nullptr;
    for (int hive = 0; hive < kRegistryHiveCount; ++hive) {
        if (elements[0] == kRegistryHiveNames[hive])
            node = &tree->hives[hive];
    }
    if (!node)
        return nullptr;
    for (size_t i = 1; i < elements.size(); ++i) {
        if (elements[i].empty())
            return nullptr;
    }
    for (size_t i = 1; i < elements.size(); ++i) {
        auto& child = node->subKeys[std::string(elements[i])];
        if (!child)
            child = std::make_unique<RegistryKeyNode>();
        node = child.get();
    }
    return node;
}

// --- The store file --------------------------------------------------------------

struct StoreStamp {
    bool present = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;
    std::uint64_t generation = 0;  // counted in the lock file by every writer

    bool operator==(const StoreStamp&) const = default;
};

struct StoreState {
    std::mutex mutex;
    std::string path;  // the store the cache belongs to
    int lockFd = -1;
    pid_t lockPid = 0;
    bool cached = false;
    StoreStamp stamp;
    RegistryTree tree;
    std::string report;
};

StoreState& State() {
    static StoreState* state = new StoreState;  // lives to the process's very end
    return *state;
}

void SetReport(StoreState& state, const std::string& report) {
    state.report = report;
    Trace("registry", "%s", report.c_str());
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty() || FolderExists(folder))
        return true;
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return CreateDirectory(folder) || FolderExists(folder);
}

// Opens (once per process and store) and takes the store's file lock.
bool Lock(StoreState& state) {
    if (state.lockFd >= 0 && state.lockPid != ::getpid()) {
        // A forked child has its own lock; the parent's stays with the parent.
        ::close(state.lockFd);
        state.lockFd = -1;
        state.cached = false;
    }
    if (state.lockFd < 0) {
        const size_t slash = state.path.rfind('/');
        if (slash != std::string::npos && !MakeFolders(state.path.substr(0, slash)))
            return false;
        const std::string lockPath = state.path + ".lock";
        state.lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (state.lockFd < 0)
            return false;
        state.lockPid = ::getpid();
    }
    while (::flock(state.lockFd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void Unlock(StoreState& state) {
    ::flock(state.lockFd, LOCK_UN);
}

StoreStamp CurrentStamp(StoreState& state) {
    StoreStamp stamp;
    std::uint64_t generation = 0;
    if (::pread(state.lockFd, &generation, sizeof generation, 0) == sizeof generation) {
        stamp.generation = generation;
    }
    struct stat status;
    if (::stat(state.path.c_str(), &status) == 0) {
        stamp.present = true;
        stamp.device = status.st_dev;
        stamp.inode = status.st_ino;
        stamp.size = status.st_size;
        stamp.modified = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
        stamp.changed = status.st_ctim.tv_sec * 1000000000LL + status.st_ctim.tv_nsec;
    }
    return stamp;
}

// The name of the attempt-th side file of the store at this second:
// registry.corrupt-<yyyymmdd>-<hhmmss>, then -2, -3...
std::string AsideName(const StoreState& state, int attempt) {
    const std::time_t now = std::time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = state.path + ".corrupt-" + stamp;
    if (attempt > 1)
        aside += "-" + std::to_string(attempt);
    return aside;
}

constexpr int kAsideAttempts = 100;

// Moves a malformed store file aside; false when it cannot be moved.
bool KeepAside(StoreState& state, const std::string& reason) {
    for (int attempt = 1; attempt <= kAsideAttempts; ++attempt) {
        const std::string aside = AsideName(state, attempt);
        if (MoveFile(state.path, aside)) {
            SetReport(state, "registry store " + state.path + " cannot be read (" + reason +
                                 "); kept as " + aside + ", starting with an empty store");
            return true;
        }
        if (!FileIsReadable(aside) && !FolderExists(aside))
            break;
    }
    SetReport(state, "registry store " + state.path + " cannot be read (" + reason +
                         ") and cannot be moved aside; it is left as it is");
    return false;
}

bool Store(StoreState& state);

// Writes the lines that could not be read to a new side file (never over another) and
// the rest of the store back without them; false, with the file left as it is, when
// the side file cannot be written.
bool SetLinesAside(StoreState& state, const std::vector<RegistryBadLine>& lines) {
    std::string text =
        "# Lines of " + state.path + " that could not be read; the rest of the store was kept.\n";
    for (const RegistryBadLine& line : lines) {
        text += FormatText("# line %zu: %s\n", line.number, line.reason.c_str());
        text += line.text;
        text += '\n';
    }
    const std::string count =
        lines.size() == 1 ? "1 line" : std::to_string(lines.size()) + " lines";
    const std::string first =
        FormatText("line %zu: %s", lines.front().number, lines.front().reason.c_str());
    // Written whole under a name of its own, then moved to a free side-file name.
    const std::string temporary = state.path + ".lines-aside";
    std::string aside;
    if (WriteFileBytes(temporary, text)) {
        for (int attempt = 1; attempt <= kAsideAttempts && aside.empty(); ++attempt) {
            const std::string name = AsideName(state, attempt);
            if (MoveFile(temporary, name))
                aside = name;
            else if (!FileIsReadable(name) && !FolderExists(name))
                break;
        }
        DeleteFile(temporary);
    }
    if (aside.empty()) {
        SetReport(state, "registry store " + state.path + ": " + count + " cannot be read (" +
                             first + ") and cannot be set aside; the file is left as it is");
        return false;
    }
    if (!Store(state))
        return false;
    SetReport(state, "registry store " + state.path + ": " + count + " cannot be read (" + first +
                         "); kept in " + aside + ", the rest of the store is kept");
    return true;
}

// Brings the cache up to date with the file; false when the store cannot be used.
bool Refresh(StoreState& state) {
    const StoreStamp stamp = CurrentStamp(state);
    if (state.cached && stamp == state.stamp)
        return true;
    state.cached = false;
    RegistryTree fresh;
    if (stamp.present) {
        std::string text;
        if (!ReadFileBytes(state.path, &text)) {
            SetReport(state, "registry store " + state.path + " cannot be opened for reading");
            return false;
        }
        std::string error;
        std::vector<RegistryBadLine> badLines;
        if (!ParseRegistryStore(text, &fresh, &error, &badLines)) {
            if (!KeepAside(state, error))
                return false;
            state.tree = RegistryTree();
            state.stamp = CurrentStamp(state);
            state.cached = true;
            return true;
        }
        if (!badLines.empty()) {
            state.tree = std::move(fresh);
            state.stamp = stamp;
            if (!SetLinesAside(state, badLines)) {
                state.tree = RegistryTree();
                return false;
            }
            state.cached = true;
            return true;
        }
    }
    state.tree = std::move(fresh);
    state.stamp = stamp;
    state.cached = true;
    return true;
}

bool Store(StoreState& state) {
    if (!WriteFileBytes(state.path, FormatRegistryStore(state.tree))) {
        SetReport(state, "registry store " + state.path + " cannot be written");
        return false;
    }
    const std::uint64_t generation = state.stamp.generation + 1;
    ::pwrite(state.lockFd, &generation, sizeof generation, 0);
    state.stamp = CurrentStamp(state);
    return true;
}

}  // namespace

std::string FormatRegistryStore(const RegistryTree& tree) {
    std::string out(kHeader);
    out += "\n# Registry keys and values; names and texts are quoted with %XX escapes.\n";
    for (int hive = 0; hive < kRegistryHiveCount; ++hive) {
        const RegistryKeyNode& root = tree.hives[hive];
        if (root.subKeys.empty() && root.values.empty())
            continue;
        FormatKeyTree(&out, kRegistryHiveNames[hive], root);
    }
    return out;
}

bool ParseRegistryStore(std::string_view text, RegistryTree* tree, std::string* error,
                        std::vector<RegistryBadLine>* badLines) {
    bool headerSeen = false;
    RegistryKeyNode* current = nullptr;
    bool keyUnread = false;  // the last key line could not be read
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        // Strict: the whole text fails. Otherwise the line is set aside and the next
        // one read.
        const auto bad = [&](const char* what) {
            *error = FormatText("line %zu: %s", lineNumber, what);
            if (badLines == nullptr)
                return false;
            badLines->push_back(RegistryBadLine{lineNumber, what, std::string(line)});
            return true;
        };
        if (!headerSeen) {
            if (line != kHeader) {
                *error = FormatText("line %zu: not a registry store", lineNumber);
                return false;
            }
            headerSeen = true;
            continue;
        }
        LineReader reader(line);
        std::string word;
        reader.Word(&word);
        if (word == "key") {
            std::string path;
            current = nullptr;
            keyUnread = true;
            if (!reader.Quoted(&path) || !reader.AtEnd()) {
                if (!bad("malformed key line"))
                    return false;
                continue;
            }
            const char* why = "";
            current = KeyOfPath(tree, path, &why);
            if (!current) {
                if (!bad(why))
                    return false;
                continue;
            }
            keyUnread = false;
        } else if (word == "value") {
            std::string name, typeWord;
            RegistryValue value;
            if (!current) {
                if (!bad(keyUnread ? "value of a key line that cannot be read"
                                   : "value outside a key"))
                    return false;
                continue;
            }
            if (!reader.Quoted(&name) || !reader.Word(&typeWord) ||
                !ParseType(typeWord, &value.type) || !reader.Data(&value.data) || !reader.AtEnd()) {
                if (!bad("malformed value line"))
                    return false;
                continue;
            }
            if (!current->values.emplace(std::move(name), std::move(value)).second) {
                if (!bad("value named twice"))
                    return false;
            }
        } else if (!bad("unknown line")) {
            return false;
        }
    }
    if (!headerSeen && !text.empty()) {
        *error = "no header line";
        return false;
    }
    if (badLines != nullptr && !badLines->empty())
        *error =
            FormatText("line %zu: %s", badLines->front().number, badLines->front().reason.c_str());
    return true;
}

LONG WithRegistryStore(const std::function<LONG(RegistryTree& tree, bool* changed)>& change) {
    StoreState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    const std::string path = RegistryStorePath();
    if (path != state.path) {
        if (state.lockFd >= 0)
            ::close(state.lockFd);
        state.lockFd = -1;
        state.cached = false;
        state.path = path;
    }
    if (!Lock(state)) {
        SetReport(state, "registry store " + state.path + " cannot be locked");
        return ERROR_ACCESS_DENIED;
    }
    LONG result = ERROR_ACCESS_DENIED;
    if (Refresh(state)) {
        bool changed = false;
        result = change(state.tree, &changed);
        if (result == ERROR_SUCCESS && changed && !Store(state)) {
            state.cached = false;  // the file still holds what it held; read it again
            result = ERROR_WRITE_FAULT;
        }
    }
    Unlock(state);
    return result;
}

std::string RegistryStoreReport() {
    StoreState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.report;
}
