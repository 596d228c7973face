// Tallowmere's main dialog on screen: a site typed into GTK's entry and added with GTK's
// button, "Find MP3s Only" clicked in GTK, the rows found on a local site shown, the
// title line in the GtkWindow's title, and a screenshot of the whole window.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/util/ListControlHelpers.h"
#include "engine/util/RegistryValues.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "programs/tallowmere/MainDialog.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/RealInputChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

TimingRecord ScreenDialogTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.siteFinderTitleTimerMs = 50;
    timing.siteFinderTimerPauseMs = 0;
    timing.siteFinderShutdownWaitMs = 0;
    return timing;
}

class TallowmereScreenTest : public CrawlFixture {
protected:
    TallowmereScreenTest()
        : CrawlFixture(SiteMp3FinderJobLimit, SiteMp3FinderBrowserThreads, ScreenDialogTiming()) {}

    void SetUp() override { RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey); }
    void TearDown() override {
        if (dialog_ != nullptr)
            Close();
        RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    }

    // The dialog goes as after its close box, and its jobs end.
    void Close() {
        const HWND hwnd = dialog_->m_hWnd;
        if (IsWindow(hwnd)) {
            if (GtkWidget* top = ScreenWidgetOf(hwnd))
                gtk_window_close(GTK_WINDOW(top));
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
    GtkWidget* Widget(int id) const { return ScreenWidgetOf(Item(id)); }
    // Clicks the GTK button that shows control id, as the keyboard does: the click comes
    // once the button has shown itself pressed, while GTK's events are served.
    void ClickInGtk(int id) {
        GtkWidget* button = Widget(id);
        ASSERT_TRUE(button && GTK_IS_BUTTON(button)) << id;
        ASSERT_TRUE(gtk_widget_get_sensitive(button)) << id;
        gtk_widget_activate(button);
    }

    std::unique_ptr<MainDialog> dialog_;
};

TEST_F(TallowmereScreenTest, ASiteTypedAndAddedInGtkIsSearchedAndItsMp3sShow) {
    SKIP_WITHOUT_SCREEN();
    LocalSiteServer site;
    site.SetBody("/music/first song.mp3", "ID3-1", "audio/mpeg");
    site.SetBody("/music/second.mp3", "ID3-2", "audio/mpeg");
    site.SetStatus("/music/gone.mp3", 404);
    site.SetBody("/",
                 "<a href='/music/first%20song.mp3'>1</a><a href='/music/second.mp3'>2</a>"
                 "<a href='/music/gone.mp3'>3</a><a href='/more.htm'>more</a>");
    // The crawl stays busy on this page until the title line has been seen.
    site.SetBody("/more.htm", "<p>nothing more</p>");
    site.SetStalled("/more.htm");
    const std::string storage = MakeDriveFolder("tallowmere-screen") + "\\store";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
    RegWriteString(key, "storage", storage);
    RegCloseKey(key);

    // The screenshot shows each control's state at once, not part way through a fade.
    g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    dialog_ = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog_->Create());
    const HWND hwnd = dialog_->m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    GtkWidget* top = ScreenWidgetOf(hwnd);
    ASSERT_TRUE(top && GTK_IS_WINDOW(top));
    GtkWidget* find = Widget(IDC_FIND);
    ASSERT_TRUE(find != nullptr);
    ASSERT_TRUE(PumpScreenUntil([&] { return gtk_widget_get_mapped(find); }, 10000));
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(top)),
                 "Tallowmere ( visited=0 found=0 elapsed=00:00:00 )");

    // The built-in sites go; the local one is typed into GTK's entry and added.
    const HWND sites = Item(IDC_SITE_LIST);
    for (int count = ListView_GetItemCount(sites); count > 0; --count) {
        ASSERT_TRUE(ControlInput::SelectListViewRow(sites, 0));
        ClickInGtk(IDC_REMOVE_SITE);
        ASSERT_TRUE(
            PumpScreenUntil([&] { return ListView_GetItemCount(sites) == count - 1; }, 10000));
    }
    GtkWidget* siteEdit = Widget(IDC_SITE_EDIT);
    ASSERT_TRUE(siteEdit && GTK_IS_ENTRY(siteEdit));
    gtk_editable_set_text(GTK_EDITABLE(siteEdit), site.Url("/").c_str());
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return GetDlgItemText(hwnd, IDC_SITE_EDIT) == site.Url("/"); }, 10000));
    ClickInGtk(IDC_ADD_SITE);
    ASSERT_TRUE(PumpScreenUntil([&] { return ListView_GetItemCount(sites) == 1; }, 10000));
    EXPECT_EQ(ListViewText(sites, 0, 0), site.Url("/"));

    ClickInGtk(IDC_FIND);
    ASSERT_TRUE(PumpScreenUntil([&] { return dialog_->IsFinding(); }, 10000));
    EXPECT_TRUE(gtk_widget_get_sensitive(Widget(IDC_STOP)));
    EXPECT_FALSE(gtk_widget_get_sensitive(find));
    const HWND mp3s = Item(IDC_MP3_LIST);
    // While the crawl waits for its second page, the timer's title line shows in GTK's
    // title: the three files found.
    EXPECT_TRUE(PumpScreenUntil(
        [&] {
            const std::string title = gtk_window_get_title(GTK_WINDOW(top));
            return title.find(" found=3 ") != std::string::npos;
        },
        30000))
        << gtk_window_get_title(GTK_WINDOW(top));
    EXPECT_EQ(ListView_GetItemCount(mp3s), 3);
    site.SetDelay("/more.htm", std::chrono::milliseconds(0));
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return dialog_->CountJobs() == 0 && !dialog_->IsFinding() &&
                   gtk_widget_get_sensitive(find);
        },
        60000));
    ASSERT_EQ(ListView_GetItemCount(mp3s), 3);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"first song.mp3", "new / exists"},
        {"second.mp3", "new / exists"},
        {"gone.mp3", "new / exists"},  // any answer counts
    };
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(ListViewText(mp3s, row, 0), expected[static_cast<size_t>(row)].first);
        EXPECT_EQ(ListViewText(mp3s, row, 1), expected[static_cast<size_t>(row)].second);
    }

    // GTK has drawn a frame since the run ended.
    GdkFrameClock* clock = gtk_widget_get_frame_clock(top);
    ASSERT_NE(clock, nullptr);
    const gint64 frame = gdk_frame_clock_get_frame_counter(clock);
    gtk_widget_queue_draw(top);
    EXPECT_TRUE(PumpScreenUntil(
        [&] { return gdk_frame_clock_get_frame_counter(clock) > frame + 1; }, 10000))
        << frame;
    const std::string shot = ScreenshotPath("tallowmere");
    ASSERT_TRUE(SaveWindowScreenshot(hwnd, shot));
    EXPECT_GT(std::filesystem::file_size(shot), 2000u);
}

// The site box typed into with real keys reads as typed (it read "321cba" for "abc123"
// while each key put the caret back at the start), and a real click on "Add" lists it;
// the first frame shows the whole dialog.
TEST_F(TallowmereScreenTest, ASiteTypedWithRealKeysReadsAsTypedAndARealClickAddsIt) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    dialog_ = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog_->Create());
    const HWND hwnd = dialog_->m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    RealInput::ExpectLayoutFits(hwnd, 10000);
    const HWND edit = Item(IDC_SITE_EDIT);
    ASSERT_TRUE(RealInput::TypeInto(edit, "abc123", 10000)) << GetWindowText(edit);
    ASSERT_TRUE(RealInput::TypeInto(edit, "http://www.example.com/music/", 10000))
        << GetWindowText(edit);
    const HWND sites = Item(IDC_SITE_LIST);
    const int before = ListView_GetItemCount(sites);
    ASSERT_TRUE(RealInput::Click(Item(IDC_ADD_SITE)));
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return ListView_GetItemCount(sites) == before + 1; }, 10000));
    bool listed = false;
    for (int row = 0; row < ListView_GetItemCount(sites); ++row)
        listed = listed || ListViewText(sites, row, 0) == "http://www.example.com/music/";
    EXPECT_TRUE(listed);
    EXPECT_TRUE(RealInput::SaveShot(hwnd, "tallowmere-typed"));
}

// The system menu's About item, shown by the header bar's menu button, opens the About
// box modally; its OK button, clicked in GTK, closes it.
TEST_F(TallowmereScreenTest, TheAboutItemOfTheHeaderBarMenuOpensTheAboutBox) {
    SKIP_WITHOUT_SCREEN();
    dialog_ = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog_->Create());
    const HWND hwnd = dialog_->m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    GtkWidget* top = ScreenWidgetOf(hwnd);
    ASSERT_TRUE(top && GTK_IS_WINDOW(top));
    GtkWidget* header = gtk_window_get_titlebar(GTK_WINDOW(top));
    ASSERT_TRUE(header && GTK_IS_HEADER_BAR(header));
    GtkWidget* menuButton = nullptr;
    std::vector<GtkWidget*> pending{header};
    for (std::size_t i = 0; i < pending.size() && !menuButton; ++i) {
        for (GtkWidget* child = gtk_widget_get_first_child(pending[i]); child;
             child = gtk_widget_get_next_sibling(child)) {
            if (GTK_IS_MENU_BUTTON(child))
                menuButton = child;
            pending.push_back(child);
        }
    }
    ASSERT_NE(menuButton, nullptr);
    GtkWidget* items =
        gtk_popover_get_child(gtk_menu_button_get_popover(GTK_MENU_BUTTON(menuButton)));
    GtkWidget* about = gtk_widget_get_first_child(items);
    ASSERT_TRUE(about && GTK_IS_BUTTON(about));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(about)), "About Tallowmere...");

    // The box runs its own loop: a GTK timeout served there finds it and clicks its OK.
    struct Closer {
        HWND box = nullptr;
        std::string texts;
        bool clicked = false;
    } closer;
    const guint source = g_timeout_add(
        10,
        [](gpointer data) -> gboolean {
            auto* closer = static_cast<Closer*>(data);
            const HWND box = GetTopWindow(nullptr);
            if (closer->clicked || GetWindowText(box) != "About Tallowmere")
                return G_SOURCE_CONTINUE;
            closer->box = box;
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                closer->texts += GetWindowText(child) + "|";
            GtkWidget* ok = ScreenWidgetOf(GetDlgItem(box, IDOK));
            if (ok == nullptr || !gtk_widget_get_mapped(ok))
                return G_SOURCE_CONTINUE;
            closer->clicked = true;
            gtk_widget_activate(ok);
            return G_SOURCE_CONTINUE;
        },
        &closer);
    g_signal_emit_by_name(about, "clicked");
    EXPECT_TRUE(PumpScreenUntil([&] { return closer.clicked && !IsWindow(closer.box); }, 10000));
    g_source_remove(source);
    EXPECT_EQ(closer.texts, "|Tallowmere Version 2003|Made by Morvelle|OK|");
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

}  // namespace
