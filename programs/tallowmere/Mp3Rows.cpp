#include "programs/tallowmere/Mp3Rows.h"

#include <algorithm>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/util/PathHelpers.h"
#include "engine/workers/LocalFileNames.h"
#include "platform/net/UrlText.h"

namespace {

// The longest name the list shows for a link.
constexpr size_t kListedNameLimit = 1000;

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
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
    rows_.push_back(std::move(row));
    return rows_.back();
}

Mp3Row* Mp3Rows::Find(int id) {
    auto found =
        std::find_if(rows_.begin(), rows_.end(), [id](const Mp3Row& r) { return r.id == id; });
    return found == rows_.end() ? nullptr : &*found;
}

const Mp3Row* Mp3Rows::Find(int id) const {
    return const_cast<Mp3Rows*>(this)->Find(id);
}

Mp3Row* Mp3Rows::FindByFileName(std::string_view fileName) {
    const std::string wanted = Lowered(fileName);
    auto found = std::find_if(rows_.begin(), rows_.end(),
                              [&](const Mp3Row& r) { return Lowered(r.fileName) == wanted; });
    return found == rows_.end() ? nullptr : &*found;
}

Mp3Row* Mp3Rows::FindByDownload(const Job* job) {
    if (job == nullptr)
        return nullptr;
    auto found = std::find_if(rows_.begin(), rows_.end(),
                              [job](const Mp3Row& r) { return r.download == job; });
    return found == rows_.end() ? nullptr : &*found;
}

bool Mp3Rows::Remove(int id) {
    return std::erase_if(rows_, [id](const Mp3Row& r) { return r.id == id; }) > 0;
}

int Mp3Rows::Compare(int firstId, int secondId, int column, bool descending) const {
    const Mp3Row* first = Find(firstId);
    const Mp3Row* second = Find(secondId);
    if (first == nullptr || second == nullptr)
        return 0;
    const int order = Lowered(first->Text(column)).compare(Lowered(second->Text(column)));
    const int sign = order < 0 ? -1 : (order > 0 ? 1 : 0);
    return descending ? -sign : sign;
}
