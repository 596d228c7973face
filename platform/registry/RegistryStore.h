// The registry's keys and values in memory, their text form in the store file, and
// the guarded access to that file. Used by the registry calls only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "platform/text/Text.h"

struct NameLessNoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return CompareNoCase(a, b) < 0;
    }
};

struct RegistryValue {
    DWORD type = 0;
    std::string data;  // the exact bytes, of any length
};

// A key: its sub-keys and values, each map keyed by the name as first stored; names
// compare ignoring ASCII case, so a map never holds two names that differ only so.
struct RegistryKeyNode {
    std::map<std::string, std::unique_ptr<RegistryKeyNode>, NameLessNoCase> subKeys;
    std::map<std::string, RegistryValue, NameLessNoCase> values;

    RegistryKeyNode() = default;
    RegistryKeyNode(const RegistryKeyNode& other);
    RegistryKeyNode(RegistryKeyNode&&) = default;
    RegistryKeyNode& operator=(const RegistryKeyNode&) = delete;
    RegistryKeyNode& operator=(RegistryKeyNode&&) = default;
};

constexpr int kRegistryHiveCount = 3;
// The hives in the store file's words, by hive number.
extern const char* const kRegistryHiveNames[kRegistryHiveCount];

struct RegistryTree {
    RegistryKeyNode hives[kRegistryHiveCount];
};

// Keys lie at most this many levels below their hive, as on the platform: a key line
// that names a deeper key is malformed, and no call creates one.
constexpr size_t kMaxRegistryKeyDepth = 512;

// A line of a store file that could not be read.
struct RegistryBadLine {
    size_t number = 0;  // counted from 1
    std::string reason;
    std::string text;  // the line as it stood, without its line end
};

// The store file's text of a tree. Runs in time and memory linear in its text, however
// deep the tree.
std::string FormatRegistryStore(const RegistryTree& tree);
// Reads a store file's text into an empty tree. Without badLines, a text with any line
// that breaks the format is malformed: false, with the reason in error. With badLines,
// such lines are left out and listed there in order, together with the value lines
// that follow a key line that could not be read (their key is unknown); false then
// means a text that is no store at all (no header line).
bool ParseRegistryStore(std::string_view text, RegistryTree* tree, std::string* error,
                        std::vector<RegistryBadLine>* badLines = nullptr);

// Runs change on the current tree, under the process's registry mutex and the store's
// file lock, after re-reading the file when another process changed it. When change
// returns ERROR_SUCCESS and sets *changed, the tree is written back before the lock
// is released. Returns change's result, or an error of the store itself (the store
// cannot be locked, read or written). Any thread; never holds another lock.
LONG WithRegistryStore(const std::function<LONG(RegistryTree& tree, bool* changed)>& change);
