// The rows of Tallowmere's MP3 list as records: each MP3 link found once under its file
// name, with its state and its URL. The list view shows them in its own order and knows
// each row by its record's id (the item data); check marks and the selection live in the
// list view. The file-name rule is the download's, so a row's "downloaded" test looks
// for the very file a download of the row writes. Records are found by their id and by
// their file name through hashed indexes, so listing n links costs n steps.
//
// Threads: the main dialog's thread only.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/util/CaseFoldedHash.h"

class Job;

// A row's state column.
inline constexpr std::string_view Mp3StateDownloaded = "downloaded";
inline constexpr std::string_view Mp3StateFound = "new / exists";
inline constexpr std::string_view Mp3StateCannotLocate = "cannot locate";

// The columns of the MP3 list, in order.
enum Mp3Column { Mp3ColumnFileName = 0, Mp3ColumnState = 1, Mp3ColumnUrl = 2 };

struct Mp3Row {
    int id = 0;
    // Shown and compared ignoring case; the name a download stores the file under, or,
    // when that name is refused, the URL's last element unescaped (then nothing is stored).
    std::string fileName;
    std::string state;
    std::string url;
    // The name in the storage folder; "" when the URL gives no usable name.
    std::string storedName;
    // The download job of this row still running, null when none.
    const Job* download = nullptr;

    const std::string& Text(int column) const;
};

class Mp3Rows {
public:
    // The name the row of url is listed under and the name its file is stored under
    // (DownloadFileName; "" when refused: no name at all, or one that is no MP3's).
    static std::string StoredName(std::string_view url);
    static std::string ListedName(std::string_view url);

    // A new record for url in state; its id is new.
    Mp3Row& Add(std::string_view url, std::string_view state);
    // The record of that id, or the first one added of that file name ignoring case;
    // null when none. Records stay where they are until they are removed.
    Mp3Row* Find(int id);
    const Mp3Row* Find(int id) const;
    Mp3Row* FindByFileName(std::string_view fileName);
    // The record whose download job that is; null when none. A walk through the records.
    Mp3Row* FindByDownload(const Job* job);
    bool Remove(int id);
    void Clear();
    size_t Size() const { return rows_.size(); }

    // Orders two rows by the column's text, lower-cased and compared byte by byte;
    // descending reverses it. Below 0, 0 or above 0; rows of missing ids compare equal.
    int Compare(int firstId, int secondId, int column, bool descending) const;

private:
    std::unordered_map<int, Mp3Row> rows_;  // by id
    // The ids of each file name's records (ignoring case), in the order they were added.
    std::unordered_map<std::string, std::vector<int>, CaseFoldedHash, CaseFoldedEqual> byName_;
    int nextId_ = 1;
};
