// Tallowmere's row records: the one file-name rule of the list and the downloads, the
// listing of a file name once, the sort by the rows' own texts, and the title line.
#include "programs/tallowmere/Mp3Rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/workers/LocalFileNames.h"
#include "programs/tallowmere/TitleLine.h"

namespace {

TEST(Mp3RowsTest, ARowIsListedAndStoredUnderTheDownloadsOwnName) {
    struct Case {
        const char* url;
        const char* listed;
        const char* stored;
    };
    const Case cases[] = {
        {"http://h.x/music/My%20Song.mp3", "My Song.mp3", "My Song.mp3"},
        {"http://h.x/a/..%2F..%2Fescape.mp3", "escape.mp3", "escape.mp3"},
        {"http://h.x/a/..%5C..%5Cwin.mp3", "win.mp3", "win.mp3"},
        {"http://h.x/a/b%3Ac%3F.mp3?x=1", "b_c_.mp3", "b_c_.mp3"},
        {"http://h.x/a/%2e%2e", "..", ""},  // refused: shown, never stored
        {"song.mp3", "song.mp3", "song.mp3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Mp3Rows::ListedName(c.url), c.listed) << c.url;
        EXPECT_EQ(Mp3Rows::StoredName(c.url), c.stored) << c.url;
        EXPECT_EQ(Mp3Rows::StoredName(c.url), DownloadFileName(c.url))
            << "the download writes the very name the row looks for: " << c.url;
    }
    EXPECT_LE(Mp3Rows::ListedName("http://h.x/" + std::string(5000, 'a') + "%2F").size(), 1000u);
}

TEST(Mp3RowsTest, RowsAreFoundByFileNameIgnoringCaseAndByTheirDownload) {
    Mp3Rows rows;
    Mp3Row& first = rows.Add("http://one.x/Tune.MP3", Mp3StateFound);
    const int firstId = first.id;
    const Mp3Row& second = rows.Add("http://two.x/other.mp3", Mp3StateCannotLocate);
    EXPECT_NE(firstId, second.id);
    ASSERT_NE(rows.FindByFileName("tune.mp3"), nullptr);
    EXPECT_EQ(rows.FindByFileName(Mp3Rows::ListedName("http://three.x/x/TUNE.mp3"))->id, firstId);
    EXPECT_EQ(rows.FindByFileName("none.mp3"), nullptr);

    const auto* job = reinterpret_cast<const Job*>(&rows);  // only compared, never used
    EXPECT_EQ(rows.FindByDownload(job), nullptr);
    EXPECT_EQ(rows.FindByDownload(nullptr), nullptr) << "rows without a download are no match";
    rows.Find(firstId)->download = job;
    EXPECT_EQ(rows.FindByDownload(job)->id, firstId);

    EXPECT_TRUE(rows.Remove(firstId));
    EXPECT_FALSE(rows.Remove(firstId));
    EXPECT_EQ(rows.Size(), 1u);
    EXPECT_EQ(rows.Find(firstId), nullptr);
}

TEST(Mp3RowsTest, SortingComparesEachColumnsTextLowerCasedBothWaysAndKeepsEqualRowsInOrder) {
    Mp3Rows rows;
    std::vector<int> shown;
    for (const char* url : {"http://b.x/beta.mp3", "http://a.x/Alpha.mp3", "http://c.x/alpha.mp3",
                            "http://a.x/Zed.mp3", "http://a.x/_under.mp3"}) {
        shown.push_back(rows.Add(url, Mp3StateFound).id);
    }
    rows.Find(shown[0])->state = Mp3StateDownloaded;
    rows.Find(shown[3])->state = Mp3StateCannotLocate;

    auto sorted = [&](int column, bool descending) {
        std::vector<int> order = shown;
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return rows.Compare(a, b, column, descending) < 0; });
        std::vector<std::string> texts;
        for (int id : order)
            texts.push_back(rows.Find(id)->Text(column) + "@" + rows.Find(id)->url.substr(7, 1));
        return texts;
    };
    // "_" (0x5F) goes before the lower-cased letters, after the capitals it was not.
    EXPECT_EQ(sorted(Mp3ColumnFileName, false),
              (std::vector<std::string>{"_under.mp3@a", "Alpha.mp3@a", "alpha.mp3@c", "beta.mp3@b",
                                        "Zed.mp3@a"}));
    EXPECT_EQ(sorted(Mp3ColumnFileName, true),
              (std::vector<std::string>{"Zed.mp3@a", "beta.mp3@b", "Alpha.mp3@a", "alpha.mp3@c",
                                        "_under.mp3@a"}))
        << "equal keys keep their order both ways";
    EXPECT_EQ(sorted(Mp3ColumnState, false),
              (std::vector<std::string>{"cannot locate@a", "downloaded@b", "new / exists@a",
                                        "new / exists@c", "new / exists@a"}));
    EXPECT_EQ(rows.Compare(shown[0], 12345, Mp3ColumnUrl, false), 0) << "a missing row";
}

TEST(Mp3RowsTest, TitleLineCountsAndElapsedTime) {
    const int downloaded = 7;
    EXPECT_EQ(TallowmereTitle(0, 0, nullptr, 0),
              "Tallowmere ( visited=0 found=0 elapsed=00:00:00 )");
    EXPECT_EQ(TallowmereTitle(12, 3, &downloaded, 3725),
              "Tallowmere ( visited=12 found=3 downloaded=7 elapsed=01:02:05 )");
    // A whole day counts 0 hours, as the hours of a day do.
    EXPECT_EQ(TallowmereTitle(1, 2, nullptr, 86400 + 59),
              "Tallowmere ( visited=1 found=2 elapsed=00:00:59 )");
    EXPECT_EQ(TallowmereTitle(1, 2, nullptr, -5),
              "Tallowmere ( visited=1 found=2 elapsed=00:00:00 )");
}

}  // namespace
