#include "programs/tallowmere/Mp3Rows.h"

#include <algorithm>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/util/PathHelpers.h"
#include "engine/workers/LocalFileNames.h"
#include "platform/net/UrlText.h"

namespace {

// The longest name the list shows for a link.
constexpr size_t kListedNameLimit = 1000;

char Lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The two texts lower-cased, compared byte by byte (as unsigned bytes, as a string's
// compare does): below 0, 0 or above 0.
int CompareLowered(std::string_view first, std::string_view second) {
    const size_t common = std::min(first.size(), second.size());
    for (size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(Lowered(first[i]));
        const auto b = static_cast<unsigned char>(Lowered(second[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return first.size() == second.size() ? 0 : (first.size() < second.size() ? -1 : 1);
}

}  // namespace

const std::string& Mp3Row::Text(int column) const {
    switch (column) {
        case Mp3ColumnState:
            return state;
        case Mp3ColumnUrl:
            return url;
        default:
            return fileName;
    }
}

std::string Mp3Rows::StoredName(std::string_view url) {
    // The stored name must be an MP3's itself: "/x/.bashrc?.mp3" names no MP3 file.
    std::string name = DownloadFileName(url);
    return IsMp3Link(name) ? name : std::string();
}

std::string Mp3Rows::ListedName(std::string_view url) {
    std::string name = StoredName(url);
    if (name.empty())
        name = UrlUnescape(FileNameOfPath(url));
    if (name.size() > kListedNameLimit)
        name.resize(kListedNameLimit);
    return name;
}

Mp3Row& Mp3Rows::Add(std::string_view url, std::string_view state) {
    Mp3Row row;
    row.id = nextId_++;
    row.url.assign(url);
    row.fileName = ListedName(url);
    row.storedName = StoredName(url);
    row.state.assign(state);
    byName_[row.fileName].push_back(row.id);
    const int id = row.id;
    return rows_.emplace(id, std::move(row)).first->second;
}

Mp3Row* Mp3Rows::Find(int id) {
    const auto found = rows_.find(id);
    return found == rows_.end() ? nullptr : &found->second;
}

const Mp3Row* Mp3Rows::Find(int id) const {
    return const_cast<Mp3Rows*>(this)->Find(id);
}

Mp3Row* Mp3Rows::FindByFileName(std::string_view fileName) {
    const auto found = byName_.find(fileName);
    return found == byName_.end() ? nullptr : Find(found->second.front());
}

Mp3Row* Mp3Rows::FindByDownload(const Job* job) {
    if (job == nullptr)
        return nullptr;
    for (auto& [id, row] : rows_) {
        if (row.download == job)
            return &row;
    }
    return nullptr;
}

bool Mp3Rows::Remove(int id) {
    const auto found = rows_.find(id);
    if (found == rows_.end())
        return false;
    const auto named = byName_.find(found->second.fileName);
    if (named != byName_.end()) {
        std::erase(named->second, id);
        if (named->second.empty())
            byName_.erase(named);
    }
    rows_.erase(found);
    return true;
}

void Mp3Rows::Clear() {
    rows_.clear();
    byName_.clear();
}

int Mp3Rows::Compare(int firstId, int secondId, int column, bool descending) const {
    const Mp3Row* first = Find(firstId);
    const Mp3Row* second = Find(secondId);
    if (first == nullptr || second == nullptr)
        return 0;
    const int sign = CompareLowered(first->Text(column), second->Text(column));
    return descending ? -sign : sign;
}
