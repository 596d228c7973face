// Tallowmere's main dialog against local web servers, driven as a person drives it: the
// sites listed, the states of the rows found, downloads as found and of the checked rows,
// Stop with late reports, the title line, the sort, the layout and the About box.
#include "programs/tallowmere/MainDialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/util/FileHelpers.h"
#include "engine/util/ListControlHelpers.h"
#include "engine/util/RegistryValues.h"
#include "platform/timing/Clock.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/ListView.h"
#include "platform/ui/UserInput.h"
#include "platform/window/Timer.h"
#include "programs/tallowmere/CrawlSiteMP3sAdvJob.h"
#include "programs/tallowmere/Mp3FinderApp.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ThumbnailChecks.h"
#include "tests/support/WindowThread.h"

using namespace std::chrono_literals;

namespace {

TimingRecord DialogTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.siteFinderTitleTimerMs = 20;
    timing.siteFinderTimerPauseMs = 0;
    timing.siteFinderShutdownWaitMs = 0;
    return timing;
}

struct Row {
    std::string fileName;
    std::string state;
    std::string url;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.fileName << " | " << row.state << " | " << row.url << "}";
}

class MainDialogTest : public CrawlFixture {
protected:
    MainDialogTest()
        : CrawlFixture(SiteMp3FinderJobLimit, SiteMp3FinderBrowserThreads, DialogTiming()) {}

    void SetUp() override {
        RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
        // The storage folder's parent exists; Find makes the folder itself.
        storage_ = MakeDriveFolder("tallowmere") + "\\store";
    }
    void TearDown() override {
        if (dialog_ != nullptr)
            Close();
        RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    }

    // The settings of the last run: these sites and the test's storage folder.
    void StoreSettings(const std::vector<std::string>& sites) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
        RegWriteString(key, "storage", storage_);
        RegWriteString(key, "sites", TallowmereSettings::JoinSites(sites));
        RegCloseKey(key);
    }

    // The dialog as the program shows it, made on the test's thread.
    HWND Open() {
        dialog_ = std::make_unique<MainDialog>();
        EXPECT_TRUE(dialog_->Create());
        ShowWindow(dialog_->m_hWnd, SW_SHOW);
        PumpPending();  // the WM_SIZE posted at start-up
        return dialog_->m_hWnd;
    }
    // Closes it as a person does and lets its jobs end.
    void Close() {
        HWND hwnd = dialog_->m_hWnd;
        if (IsWindow(hwnd)) {
            EXPECT_TRUE(UserInput::CloseWindow(hwnd));
            dialog_->DestroyWindow();  // as the modal run does once its loop has ended
        }
        for (Job* job : dialog_->TakeLeftJobs()) {
            EXPECT_TRUE(WaitForJobEnd(*job));
            DeleteJob(job);
        }
        dialog_.reset();
        Manager().Reset();
        EXPECT_TRUE(WaitForIdleManager());
    }

    HWND Item(int id) const { return GetDlgItem(dialog_->m_hWnd, id); }
    bool Click(int id) { return UserInput::ClickButton(Item(id)); }
    bool Idle() const { return dialog_->CountJobs() == 0 && !dialog_->IsFinding(); }
    bool WaitIdle() {
        return PumpUntil([&] { return Idle(); }, 60s);
    }

    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        HWND list = Item(IDC_MP3_LIST);
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            rows.push_back(
                {ListViewText(list, i, 0), ListViewText(list, i, 1), ListViewText(list, i, 2)});
        return rows;
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (const Row& row : Rows())
            texts.push_back(column == 0 ? row.fileName : column == 1 ? row.state : row.url);
        return texts;
    }
    std::string Stored(const std::string& name) const { return storage_ + "\\" + name; }
    static std::string FileText(const std::string& path) {
        std::string text;
        ReadTextFile(path, text);
        return text;
    }
    static size_t Gets(const LocalSiteServer& site, const std::string& path) {
        size_t gets = 0;
        for (const LocalSiteRequest& request : site.RequestsFor(path))
            gets += request.method == "GET" ? 1 : 0;
        return gets;
    }

    std::string storage_;
    std::unique_ptr<MainDialog> dialog_;
};

TEST_F(MainDialogTest, FindMp3sOnlyListsEachFileNameOnceWithWhetherItAnswers) {
    std::string deadUrl;
    {
        LocalSiteServer gone;
        deadUrl = gone.Url("/dead.mp3");
    }
    LocalSiteServer site;
    site.SetBody("/a.mp3", "ID3a", "audio/mpeg");
    site.SetBody("/kept.mp3", "ID3k", "audio/mpeg");
    site.SetStatus("/gone.mp3", 404);
    site.SetBody("/start.htm", "<a href='/a.mp3'>a</a><a href='/gone.mp3'>404</a><a href='" +
                                   deadUrl +
                                   "'>dead</a><a href='/kept.mp3'>kept</a>"
                                   "<a href='/other/A.MP3'>same name</a>");
    StoreSettings({site.Url("/start.htm")});
    ASSERT_TRUE(CreateDirectoryIfMissing(storage_));
    ASSERT_TRUE(WriteTextFile(Stored("kept.mp3"), "mine"));
    HWND hwnd = Open();
    EXPECT_EQ(GetWindowText(hwnd), "Tallowmere ( visited=0 found=0 elapsed=00:00:00 )");
    EXPECT_EQ(GetDlgItemText(hwnd, IDC_STORAGE), storage_);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_STOP)));

    ASSERT_TRUE(Click(IDC_FIND));
    EXPECT_TRUE(dialog_->IsFinding());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_STOP)));
    for (int id : {IDC_FIND, IDC_FIND_AND_DOWNLOAD, IDC_ADD_SITE, IDC_REMOVE_SITE})
        EXPECT_FALSE(IsWindowEnabled(Item(id))) << id;
    ASSERT_TRUE(WaitIdle());
    PumpUntil([&] { return IsWindowEnabled(Item(IDC_FIND)) != FALSE; }, 5s);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_FIND))) << "the next tick enables the buttons again";

    const std::vector<Row> expected{
        {"a.mp3", "new / exists", site.Url("/a.mp3")},
        {"gone.mp3", "new / exists", site.Url("/gone.mp3")},  // any answer counts
        {"dead.mp3", "cannot locate", deadUrl},
        {"kept.mp3", "downloaded", site.Url("/kept.mp3")},
    };
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(FileText(Stored("kept.mp3")), "mine") << "finding writes nothing";
    EXPECT_FALSE(FileExists(Stored("a.mp3")));
    EXPECT_EQ(ListView_GetCheckState(Item(IDC_MP3_LIST), 0), FALSE);
}

TEST_F(MainDialogTest, FindAndDownloadStoresEachFileAsFoundWithoutABox) {
    LocalSiteServer site;
    site.SetBody("/music/one.mp3", "ID3-one", "audio/mpeg");
    site.SetBody("/music/two words.mp3", "ID3-two", "audio/mpeg");
    site.SetStatus("/music/missing.mp3", 404);
    site.SetBody("/",
                 "<a href='/music/one.mp3'>1</a><a href='/music/two%20words.mp3'>2</a>"
                 "<a href='/music/missing.mp3'>3</a>");
    StoreSettings({});
    HWND hwnd = Open();
    EXPECT_TRUE(UserInput::TypeText(Item(IDC_STORAGE), storage_));
    // The built-in sites go; the local one is typed and added.
    while (ListView_GetItemCount(Item(IDC_SITE_LIST)) > 0) {
        ASSERT_TRUE(ControlInput::SelectListViewRow(Item(IDC_SITE_LIST), 0));
        ASSERT_TRUE(Click(IDC_REMOVE_SITE));
    }
    EXPECT_TRUE(UserInput::TypeText(Item(IDC_SITE_EDIT), site.Url("/")));
    EXPECT_TRUE(Click(IDC_ADD_SITE));
    EXPECT_EQ(GetDlgItemText(hwnd, IDC_SITE_EDIT), site.Url("/")) << "the edit keeps its text";

    ASSERT_TRUE(Click(IDC_FIND_AND_DOWNLOAD));
    EXPECT_TRUE(dialog_->InDownloadMode());
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(dialog_->InDownloadMode());
    EXPECT_EQ(Rows(), (std::vector<Row>{
                          {"one.mp3", "downloaded", site.Url("/music/one.mp3")},
                          {"two words.mp3", "downloaded", site.Url("/music/two%20words.mp3")},
                          {"missing.mp3", "cannot locate", site.Url("/music/missing.mp3")},
                      }))
        << "a failed download is never shown as downloaded";
    EXPECT_EQ(FileText(Stored("one.mp3")), "ID3-one");
    EXPECT_EQ(FileText(Stored("two words.mp3")), "ID3-two");
    EXPECT_FALSE(FileExists(Stored("missing.mp3")));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(ListView_GetCheckState(Item(IDC_MP3_LIST), row), TRUE) << row;
    // The sites were saved at the start.
    EXPECT_EQ(dialog_->GetSettings().sites, StringArray{site.Url("/")});
    EXPECT_EQ(dialog_->GetSettings().storageFolder, storage_);
}

TEST_F(MainDialogTest, DownloadSelectedSkipsUncheckedDownloadedAndRunningRowsAndSaysCompleteOnce) {
    LocalSiteServer site;
    for (const char* name : {"a", "b", "c", "d"})
        site.SetBody(std::string("/") + name + ".mp3", std::string("ID3-") + name, "audio/mpeg");
    site.SetStatus("/bad.mp3", 404);
    site.SetBody("/",
                 "<a href='/a.mp3'>a</a><a href='/b.mp3'>b</a><a href='/c.mp3'>c</a>"
                 "<a href='/d.mp3'>d</a><a href='/bad.mp3'>bad</a>");
    StoreSettings({site.Url("/")});
    ASSERT_TRUE(CreateDirectoryIfMissing(storage_));
    ASSERT_TRUE(WriteTextFile(Stored("c.mp3"), "mine"));
    Open();
    ASSERT_TRUE(Click(IDC_FIND));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(Column(0), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3", "d.mp3", "bad.mp3"}));
    EXPECT_EQ(Column(1)[2], "downloaded");

    site.SetStalled("/a.mp3");  // a's download is still running at the second click
    ASSERT_TRUE(Click(IDC_SELECT_ALL));
    ASSERT_TRUE(ControlInput::TickListViewRow(Item(IDC_MP3_LIST), 1, false));
    const size_t getsBefore = Gets(site, "/a.mp3");
    const size_t badGetsBefore = Gets(site, "/bad.mp3");
    ExpectedMessageBoxes boxes;
    boxes.Expect("Download Complete");
    ASSERT_TRUE(Click(IDC_DOWNLOAD_SELECTED));
    EXPECT_EQ(dialog_->GetPendingDownloads(), 3) << "a, d and bad";
    ASSERT_TRUE(PumpUntil([&] { return Gets(site, "/a.mp3") > getsBefore; }, 20s));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->GetPendingDownloads() == 1; }, 20s));
    ASSERT_TRUE(Click(IDC_DOWNLOAD_SELECTED)) << "again, while a still downloads";
    EXPECT_EQ(dialog_->GetPendingDownloads(), 2) << "only bad, which could not be located, again";
    EXPECT_TRUE(boxes.Shown().empty());
    site.SetDelay("/a.mp3", 0ms);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(Gets(site, "/a.mp3"), getsBefore + 1) << "one download of a";
    EXPECT_EQ(Gets(site, "/bad.mp3"), badGetsBefore + 2);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"downloaded", "new / exists", "downloaded",
                                                   "downloaded", "cannot locate"}));
    EXPECT_FALSE(FileExists(Stored("b.mp3")));
    EXPECT_EQ(FileText(Stored("c.mp3")), "mine");
    EXPECT_EQ(FileText(Stored("d.mp3")), "ID3-d");
    EXPECT_EQ(dialog_->GetDownloadedCount(), 1) << "a, since the last click";
}

TEST_F(MainDialogTest, AfterStopLateDownloadsStillMarkTheirRowsAndShowNoBox) {
    LocalSiteServer site;
    site.SetBody("/late.mp3", "ID3-late", "audio/mpeg");
    site.SetBody("/", "<a href='/late.mp3'>late</a>");
    StoreSettings({site.Url("/")});
    Open();
    ASSERT_TRUE(Click(IDC_FIND));
    ASSERT_TRUE(WaitIdle());
    site.SetStalled("/late.mp3");
    const size_t getsBefore = Gets(site, "/late.mp3");
    ASSERT_TRUE(Click(IDC_SELECT_ALL));
    ASSERT_TRUE(Click(IDC_DOWNLOAD_SELECTED));
    ASSERT_TRUE(PumpUntil([&] { return Gets(site, "/late.mp3") > getsBefore; }, 20s));
    ASSERT_TRUE(Click(IDC_STOP));
    EXPECT_EQ(dialog_->GetPendingDownloads(), -1);
    EXPECT_FALSE(dialog_->IsDownloading());
    site.SetDelay("/late.mp3", 0ms);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Column(1), std::vector<std::string>{"downloaded"});
    EXPECT_EQ(FileText(Stored("late.mp3")), "ID3-late");
    // Any box would fail the test (the message box check).
}

TEST_F(MainDialogTest, NamesASiteChoosesAreMp3NamesAndNeverTakeThePlaceOfAnotherFile) {
    LocalSiteServer site;
    site.SetBody("/x/.bashrc", "echo owned", "audio/mpeg");
    site.SetBody("/x/payload.sh", "echo owned", "audio/mpeg");
    site.SetBody("/x/evil.desktop", "[Desktop Entry]", "audio/mpeg");
    site.SetBody("/x/.hidden.mp3", "ID3-hidden", "audio/mpeg");
    site.SetBody("/b/song.mp3", "ID3-b", "audio/mpeg");
    site.SetBody("/",
                 "<a href='/x/.bashrc?.mp3'>1</a><a href='/x/payload.sh#.mp3'>2</a>"
                 "<a href='/x/evil.desktop?a=.mp3'>3</a><a href='/x/.hidden.mp3'>4</a>"
                 "<a href='/b/song.mp3'>5</a>");
    StoreSettings({site.Url("/")});
    ASSERT_TRUE(CreateDirectoryIfMissing(storage_));
    ASSERT_TRUE(WriteTextFile(Stored("song.mp3"), "another site's song"));
    Open();
    ASSERT_TRUE(Click(IDC_FIND_AND_DOWNLOAD));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Rows(),
              (std::vector<Row>{
                  {".bashrc?.mp3", "cannot locate", site.Url("/x/.bashrc?.mp3")},
                  {"payload.sh#.mp3", "cannot locate", site.Url("/x/payload.sh#.mp3")},
                  {"evil.desktop?a=.mp3", "cannot locate", site.Url("/x/evil.desktop?a=.mp3")},
                  {"hidden.mp3", "downloaded", site.Url("/x/.hidden.mp3")},
                  {"song.mp3", "downloaded", site.Url("/b/song.mp3")},
              }));
    EXPECT_EQ(FilesBelow(MapToLinuxPath(storage_)),
              (std::vector<std::string>{"hidden.mp3", "song-2.mp3", "song.mp3"}));
    EXPECT_EQ(FileText(Stored("song.mp3")), "another site's song");
    EXPECT_EQ(FileText(Stored("song-2.mp3")), "ID3-b");
    EXPECT_EQ(FileText(Stored("hidden.mp3")), "ID3-hidden");
}

TEST_F(MainDialogTest, AnEmptySiteListStartsNothingAndIsSavedSoTheNextStartShowsTheBuiltInSites) {
    StoreSettings({"http://www.example.com/only/"});
    Open();
    ASSERT_TRUE(ControlInput::SelectListViewRow(Item(IDC_SITE_LIST), 0));
    ASSERT_TRUE(Click(IDC_REMOVE_SITE));
    ASSERT_TRUE(Click(IDC_FIND));
    EXPECT_FALSE(dialog_->IsFinding());
    EXPECT_EQ(dialog_->CountJobs(), 0u);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_FIND)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_STOP)));
    Close();
    Open();
    EXPECT_EQ(ListView_GetItemCount(Item(IDC_SITE_LIST)), 4);
    EXPECT_EQ(ListViewText(Item(IDC_SITE_LIST), 0, 0), TallowmereBuiltInSites[0]);
}

TEST_F(MainDialogTest, TheTitleCountsVisitedFoundAndElapsedWhileBusy) {
    ScopedClock clock(1000000);
    LocalSiteServer site;
    site.SetBody("/", "<a href='/x.mp3'>x</a><a href='/held.htm'>held</a>");
    site.SetBody("/x.mp3", "ID3", "audio/mpeg");
    site.SetStalled("/held.htm");
    StoreSettings({site.Url("/")});
    HWND hwnd = Open();
    ASSERT_TRUE(Click(IDC_FIND));
    clock.Advance(3725);
    const std::string busy = "Tallowmere ( visited=1 found=1 elapsed=01:02:05 )";
    EXPECT_TRUE(PumpUntil([&] { return GetWindowText(hwnd) == busy; }, 20s)) << GetWindowText(hwnd);
    ASSERT_TRUE(Click(IDC_STOP));
    site.SetDelay("/held.htm", 0ms);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(GetWindowText(hwnd), busy) << "not rewritten while idle";
}

TEST_F(MainDialogTest, ColumnClicksSortTheRowsByTheirOwnTextsUpThenDownStably) {
    LocalSiteServer site;
    site.SetBody("/",
                 "<a href='/b/Beta.mp3'>b</a><a href='/z/zulu.mp3'>z</a>"
                 "<a href='/a/alpha.mp3'>a</a><a href='/q/gone.mp3'>g</a>"
                 "<a href='/c/charlie.mp3'>c</a>");
    for (const char* path : {"/b/Beta.mp3", "/z/zulu.mp3", "/a/alpha.mp3", "/c/charlie.mp3"})
        site.SetBody(path, "ID3", "audio/mpeg");
    StoreSettings({site.Url("/")});
    Open();
    ASSERT_TRUE(Click(IDC_FIND));
    ASSERT_TRUE(WaitIdle());
    HWND list = Item(IDC_MP3_LIST);
    // Rows removed first, so no row's place is its order of arrival any more.
    ASSERT_TRUE(ControlInput::SelectListViewRow(list, 1));
    ASSERT_TRUE(Click(IDC_REMOVE_MP3));
    ASSERT_EQ(Column(0),
              (std::vector<std::string>{"Beta.mp3", "alpha.mp3", "gone.mp3", "charlie.mp3"}));
    ASSERT_TRUE(ControlInput::ClickListColumn(list, 0));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"alpha.mp3", "Beta.mp3", "charlie.mp3", "gone.mp3"}));
    ASSERT_TRUE(ControlInput::ClickListColumn(list, 0));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"gone.mp3", "charlie.mp3", "Beta.mp3", "alpha.mp3"}));
    // gone.mp3 answered 404, so all four are "new / exists": equal keys keep their order.
    ASSERT_TRUE(ControlInput::ClickListColumn(list, 1));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"gone.mp3", "charlie.mp3", "Beta.mp3", "alpha.mp3"}));
    ASSERT_TRUE(ControlInput::TickListViewRow(list, 2, true));
    ASSERT_TRUE(ControlInput::ClickListColumn(list, 2));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"gone.mp3", "charlie.mp3", "Beta.mp3", "alpha.mp3"}));
    ASSERT_TRUE(ControlInput::ClickListColumn(list, 2));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"alpha.mp3", "Beta.mp3", "charlie.mp3", "gone.mp3"}))
        << "by URL, /a/ first";
    EXPECT_EQ(ListView_GetCheckState(list, 1), TRUE) << "the check goes with its row";
    ASSERT_TRUE(Click(IDC_REMOVE_ALL));
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(dialog_->GetRows().Size(), 0u);
}

TEST_F(MainDialogTest, TheLayoutFollowsTheClientAreaFromTheStart) {
    HWND hwnd = Open();
    auto check = [&](const char* when) {
        RECT client;
        GetClientRect(hwnd, &client);
        auto rectOf = [&](int id) {
            RECT rect;
            GetWindowRect(Item(id), &rect);
            dialog_->ScreenToClient(&rect);
            return rect;
        };
        const RECT sites = rectOf(IDC_SITE_LIST);
        const RECT mp3s = rectOf(IDC_MP3_LIST);
        const RECT line = rectOf(IDC_BOTTOM_LINE);
        EXPECT_EQ(sites.bottom - sites.top, client.bottom - 115) << when;
        EXPECT_EQ(mp3s.bottom - mp3s.top, client.bottom - 115) << when;
        EXPECT_EQ(mp3s.right - mp3s.left, client.right - (sites.right - sites.left) - 25) << when;
        EXPECT_EQ(line.left, 12) << when;
        EXPECT_EQ(line.top, client.bottom - 30) << when;
        EXPECT_EQ(line.right - line.left, client.right - 20) << when;
        EXPECT_EQ(line.bottom - line.top, 2) << when;
        const RECT find = rectOf(IDC_FIND);
        const RECT both = rectOf(IDC_FIND_AND_DOWNLOAD);
        const RECT stop = rectOf(IDC_STOP);
        const RECT selected = rectOf(IDC_DOWNLOAD_SELECTED);
        EXPECT_EQ(find.top, line.top + 5) << when;
        EXPECT_EQ(both.left, find.right + 5) << when;
        EXPECT_EQ(stop.left, both.right + 5) << when;
        EXPECT_EQ(selected.left, stop.right + 5) << when;
        EXPECT_EQ(selected.top, line.top + 5) << when;
        const RECT removeSite = rectOf(IDC_REMOVE_SITE);
        const RECT removeAll = rectOf(IDC_REMOVE_ALL);
        const RECT removeMp3 = rectOf(IDC_REMOVE_MP3);
        const RECT selectAll = rectOf(IDC_SELECT_ALL);
        EXPECT_EQ(removeSite.top, line.bottom - 30) << when;
        EXPECT_EQ(removeAll.left, removeSite.right + 8) << when;
        EXPECT_EQ(removeMp3.left, removeAll.right + 5) << when;
        EXPECT_EQ(selectAll.left, removeMp3.right + 5) << when;
    };
    check("at start");
    ASSERT_TRUE(UserInput::ResizeWindow(hwnd, 900, 650));
    check("after a resize");
}

TEST_F(MainDialogTest, TheSystemMenuOpensTheAboutBox) {
    HWND hwnd = Open();
    std::string aboutText;
    HICON aboutIcon = nullptr;
    // The About box runs its own loop: a timer of the test's thread reads and closes it.
    FunctionWindow closer([&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_TIMER)
            return DefWindowProc(self, message, wParam, lParam);
        HWND top = GetTopWindow(nullptr);
        if (GetWindowText(top) == "About Tallowmere") {
            for (HWND child = GetWindow(top, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                aboutText += GetWindowText(child) + "|";
                if (const auto shown = SendMessage(child, STM_GETICON, 0, 0))
                    aboutIcon = reinterpret_cast<HICON>(shown);
            }
            KillTimer(self, 1);
            UserInput::ClickButton(GetDlgItem(top, IDOK));
        }
        return 0;
    });
    HWND closerWindow = CreateMessageWindow(&closer);
    SetTimer(closerWindow, 1, 5);
    EXPECT_TRUE(ControlInput::ChooseSystemMenuItem(hwnd, IDM_ABOUTBOX));
    EXPECT_EQ(aboutText, "|Tallowmere Version 2003|Made by Morvelle|OK|");
    // The About box and the window show the program's icon.
    const HICON programIcon = LoadIcon(ThisModule(), 128);
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(aboutIcon, programIcon);
    EXPECT_EQ(SendMessage(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(programIcon));
    EXPECT_EQ(SendMessage(hwnd, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(programIcon));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    DestroyWindow(closerWindow);
}

}  // namespace

namespace {

TEST(Mp3FinderAppTest, ClosingWhileACrawlLoadsEndsTheJobsThePoolAndTheManager) {
    ScopedTiming timing(DialogTiming());
    LocalSiteServer site;
    site.SetBody("/", "<a href='/held.htm'>held</a><a href='/song.mp3'>s</a>");
    site.SetStalled("/held.htm");
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
    RegWriteString(key, "storage", MakeDriveFolder("tallowmere-app"));
    RegWriteString(key, "sites", site.Url("/"));
    RegCloseKey(key);

    Mp3FinderApp::StartEngine();
    ASSERT_NE(theJobManager, nullptr);
    auto dialog = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog->Create());
    ShowWindow(dialog->m_hWnd, SW_SHOW);
    EXPECT_NE(theBrowserPool, nullptr) << "the dialog makes the pool";
    ASSERT_TRUE(UserInput::ClickButton(GetDlgItem(dialog->m_hWnd, IDC_FIND)));
    ASSERT_TRUE(PumpUntil([&] { return !site.RequestsFor("/held.htm").empty(); }, 20s));
    ASSERT_TRUE(UserInput::CloseWindow(dialog->m_hWnd));
    dialog->DestroyWindow();  // as the modal run does once its loop has ended
    std::vector<Job*> left = dialog->TakeLeftJobs();
    EXPECT_EQ(left.size(), 1u) << "the crawl, still loading";
    dialog.reset();
    Mp3FinderApp::EndEngine(std::move(left));
    EXPECT_EQ(theJobManager, nullptr);
    EXPECT_EQ(theBrowserPool, nullptr);
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
}

TEST(Mp3FinderAppTest, ClosingDuringDownloadsEndsThemAndLeavesNoPartialFile) {
    ScopedTiming timing(DialogTiming());  // the downloads keep the product's guards
    LocalSiteServer site;
    LocalSiteResponse half;
    half.body = std::string(256 * 1024, 'm');
    half.contentType = "audio/mpeg";
    half.stallMidBody = true;  // half the song, then nothing until the server stops
    for (const char* path : {"/one.mp3", "/two.mp3"})
        site.SetResponse(path, half);
    site.SetBody("/", "<a href='/one.mp3'>1</a><a href='/two.mp3'>2</a>");
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    const std::string storage = MakeDriveFolder("tallowmere-closing");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
    RegWriteString(key, "storage", storage);
    RegWriteString(key, "sites", site.Url("/"));
    RegCloseKey(key);

    Mp3FinderApp::StartEngine();
    auto dialog = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog->Create());
    ShowWindow(dialog->m_hWnd, SW_SHOW);
    ASSERT_TRUE(UserInput::ClickButton(GetDlgItem(dialog->m_hWnd, IDC_FIND_AND_DOWNLOAD)));
    auto getting = [&](const char* path) {
        for (const LocalSiteRequest& request : site.RequestsFor(path)) {
            if (request.method == "GET")
                return true;
        }
        return false;
    };
    // Both downloads hold half a song in their temporary files.
    ASSERT_TRUE(PumpUntil(
        [&] {
            return getting("/one.mp3") && getting("/two.mp3") &&
                   FilesBelow(MapToLinuxPath(storage)).size() >= 4;
        },
        20s));
    ASSERT_TRUE(UserInput::CloseWindow(dialog->m_hWnd));
    dialog->DestroyWindow();
    std::vector<Job*> left = dialog->TakeLeftJobs();
    dialog.reset();
    // The server still holds both songs: only the close can have ended the downloads.
    for (Job* job : left)
        EXPECT_TRUE(job->WaitForEnd(20000)) << "a download outlived the window";
    EXPECT_EQ(FilesBelow(MapToLinuxPath(storage)), std::vector<std::string>{}) << "no partial file";
    site.Stop();
    Mp3FinderApp::EndEngine(std::move(left));
    EXPECT_EQ(theJobManager, nullptr);
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
}

// More pages and downloads than the manager runs at once: those still queued when the
// window goes never start, and the program still ends.
TEST(Mp3FinderAppTest, ClosingWithPagesAndDownloadsStillQueuedEnds) {
    ScopedTiming timing(DialogTiming());
    LocalSiteServer site("", [] {
        LocalSiteServerOptions options;
        options.workerThreads = 2 * SiteMp3FinderJobLimit;
        return options;
    }());
    const int songs = SiteMp3FinderJobLimit + 5;
    LocalSiteResponse half;
    half.body = std::string(8 * 1024, 'm');
    half.contentType = "audio/mpeg";
    half.stallMidBody = true;
    // Two sites, each with more held pages than its crawl loads at once, and half the
    // songs each: pages and downloads fill the manager and wait in its queue.
    std::string pages[2];
    for (int i = 0; i < songs; ++i) {
        const std::string path = "/song" + std::to_string(i) + ".mp3";
        site.SetResponse(path, half);
        pages[i % 2] += "<a href='" + path + "'>s</a>";
    }
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < 16; ++i) {
            const std::string held = "/" + std::to_string(s) + "/held" + std::to_string(i) + ".htm";
            site.SetStalled(held);
            pages[s] += "<a href='" + held + "'>h</a>";
        }
        site.SetBody("/" + std::to_string(s) + ".htm", pages[s]);
    }
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    const std::string storage = MakeDriveFolder("tallowmere-queued");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
    RegWriteString(key, "storage", storage);
    RegWriteString(key, "sites",
                   TallowmereSettings::JoinSites({site.Url("/0.htm"), site.Url("/1.htm")}));
    RegCloseKey(key);

    Mp3FinderApp::StartEngine();
    auto dialog = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog->Create());
    ShowWindow(dialog->m_hWnd, SW_SHOW);
    ASSERT_TRUE(UserInput::ClickButton(GetDlgItem(dialog->m_hWnd, IDC_FIND_AND_DOWNLOAD)));
    // Every link found and its download queued; more wait than the downloads could be.
    ASSERT_TRUE(PumpUntil(
        [&] {
            return dialog->GetRows().Size() == static_cast<size_t>(songs) &&
                   theJobManager->CountWaiting() > songs;
        },
        30s));
    ASSERT_TRUE(UserInput::CloseWindow(dialog->m_hWnd));
    dialog->DestroyWindow();
    std::vector<Job*> left = dialog->TakeLeftJobs();
    dialog.reset();
    auto ended = std::async(std::launch::async, [&] { Mp3FinderApp::EndEngine(std::move(left)); });
    EXPECT_EQ(ended.wait_for(30s), std::future_status::ready) << "the program did not end";
    site.Stop();
    ended.wait();
    EXPECT_EQ(theJobManager, nullptr);
    EXPECT_EQ(FilesBelow(MapToLinuxPath(storage)), std::vector<std::string>{});
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
}

}  // namespace
