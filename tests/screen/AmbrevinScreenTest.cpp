// Ambrevin on the screen: the dialog shows with its owner-drawn buttons drawn on their
// canvases, the person's Extract (a click on the drawing) lists the pictures of a local
// page, the found page shows on the second tab, and screenshots are saved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/util/ControlHelpers.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/file/FileLayer.h"
#include "platform/timing/Timing.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WindowSurface.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/ambrevin/AdvancedFinderDialog.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/RealInputChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/MessageBoxCheck.h"
#include "tests/support/TestImages.h"

namespace {

constexpr int kTimeoutMs = 30000;

TimingRecord ShortFinderTiming() {
    TimingRecord timing;
    timing.finderStatusTimerMs = 50;
    timing.finderPageTimeoutSecondMs = 200;
    return timing;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Whether GTK draws the window's next frames (at most kTimeoutMs): what changed before
// the call is on the screen then.
bool DrawnAgain(HWND hwnd) {
    GtkWidget* widget = ScreenWidgetOf(hwnd);
    GdkFrameClock* clock = widget ? gtk_widget_get_frame_clock(widget) : nullptr;
    if (clock == nullptr)
        return false;
    // Two frames, each asked for: the second begins after the first has been drawn.
    for (int drawn = 0; drawn < 2; ++drawn) {
        const gint64 frame = gdk_frame_clock_get_frame_counter(clock);
        gtk_widget_queue_draw(widget);
        if (!PumpScreenUntil([&] { return gdk_frame_clock_get_frame_counter(clock) > frame; },
                             kTimeoutMs))
            return false;
    }
    return true;
}

// The save chooser, answered by the test.
class ScriptedSaveChooser final : public DialogService {
public:
    ScriptedSaveChooser() { SetDialogService(this); }
    ~ScriptedSaveChooser() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord&) override { return {}; }
    std::string ChooseFile(const FileDialogRecord& dialog) override {
        asked.push_back(dialog);
        return answer;
    }
    std::string answer;
    std::vector<FileDialogRecord> asked;
};

bool ViewShows(HWND control, const std::string& tail) {
    return IsWindow(control) && EndsWith(BrowserViewAddress(control), tail) &&
           !BrowserViewLoading(control);
}

class AmbrevinScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        // The boxes go to the test's check, not to GTK's dialogs.
        SetMessageBoxService(&MessageBoxCheck::Instance());
        site.SetBody("/start.html",
                     "<html><head><title>Pictures</title></head><body><h1>Pictures</h1>"
                     "<img src='wide.bmp'> <img src='tall.bmp'> <img src='dot.bmp'></body></html>");
        site.SetBody("/wide.bmp", TestBitmapBytes(160, 90, 24), "image/bmp");
        site.SetBody("/tall.bmp", TestBitmapBytes(80, 120, 24), "image/bmp");
        site.SetBody("/dot.bmp", TestBitmapBytes(4, 4, 24), "image/bmp");
    }
    void TearDown() override {
        if (!ScreenForTests())
            return;
        if (dialog)
            dialog->DestroyWindow();
        PumpScreenUntil([] { return false; }, 50);
    }
    HWND Item(int id) const { return dialog->GetDlgItem(id); }

    ScopedTiming timing{ShortFinderTiming()};
    LocalSiteServer site;
    std::unique_ptr<AdvancedFinderDialog> dialog;
};

TEST_F(AmbrevinScreenTest, TheDialogShowsItsDrawnButtonsAndExtractsALocalPage) {
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect(kScriptsQuestion, IDYES);
        dialog = std::make_unique<AdvancedFinderDialog>(site.Url("/start.html"));
        ASSERT_TRUE(dialog->Create());
    }
    const HWND hwnd = dialog->GetSafeHwnd();
    const HWND browse = Item(IDC_BROWSER);
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(browse, "/start.html"); }, kTimeoutMs))
        << BrowserViewAddress(browse);

    // The owner-drawn buttons are canvases of their drawing, drawn by the dialog.
    const HWND extract = Item(IDC_EXTRACT);
    GtkWidget* extractWidget = ScreenWidgetOf(extract);
    ASSERT_NE(extractWidget, nullptr);
    EXPECT_FALSE(GTK_IS_BUTTON(extractWidget));
    ASSERT_TRUE(PumpScreenUntil([&] { return gtk_widget_get_mapped(extractWidget); }, kTimeoutMs));
    ASSERT_TRUE(PumpScreenUntil([&] { return WindowHasSurface(extract); }, kTimeoutMs));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face, GetWindowSurface(extract)->Pixel(4, GetWindowSurface(extract)->Height() / 2));
    // The browse control fills the tab control's area, less its margins.
    RECT tabs{};
    RECT view{};
    GetWindowRect(Item(IDC_TABS), &tabs);
    GetWindowRect(browse, &view);
    EXPECT_EQ(view.right - view.left, tabs.right - tabs.left - 10);
    EXPECT_EQ(view.bottom - view.top, tabs.bottom - tabs.top - 30);
    EXPECT_TRUE(IsWindowVisible(browse));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_FOUND_BROWSER)));

    // The pointer over Extract lightens it; the screenshot shows the hover.
    ASSERT_TRUE(ControlInput::MoveMouseOver(extract, 20, 6));
    const COLORREF hover = dialog->Button(IDC_EXTRACT)->Color(OwnerDrawButton::kBackgroundIn);
    ASSERT_TRUE(PumpScreenUntil([&] { return GetWindowSurface(extract)->Pixel(4, 6) == hover; },
                                kTimeoutMs));
    ASSERT_TRUE(RealInput::SaveShot(hwnd, "ambrevin-start"));
    ASSERT_TRUE(ControlInput::MoveMouseAway());

    RECT before{};
    GetWindowRect(hwnd, &before);

    // Extract: the page has no links, so the crawl ends at once with its message.
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect(kFinishedMessage);
        ASSERT_TRUE(UserInput::ClickButton(extract));
        ASSERT_TRUE(PumpScreenUntil([&] { return boxes.Pending().empty(); }, kTimeoutMs));
    }
    EXPECT_TRUE(IsWindowEnabled(extract));
    const HWND list = Item(IDC_FOUND_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 3);
    ASSERT_EQ(dialog->Crawl().Found().size(), 3u);
    // The window keeps its size while its contents change: looked at once GTK has drawn
    // the changed contents.
    ASSERT_TRUE(DrawnAgain(hwnd));
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(dialog->Crawl().Found()[0], site.Url("/wide.bmp"));
    EXPECT_EQ(GetWindowText(hwnd).rfind("Ambrevin - imgs=3,", 0), 0u) << GetWindowText(hwnd);

    // The found images on the second tab.
    ASSERT_TRUE(ControlInput::SelectTab(Item(IDC_TABS), 1));
    const HWND found = Item(IDC_FOUND_BROWSER);
    EXPECT_TRUE(IsWindowVisible(found));
    EXPECT_FALSE(IsWindowVisible(browse));
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_REFRESH)));
    std::string images;
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return RunScriptInBrowserView(found, "String(document.images.length)", &images, 2000) &&
                   images == "3";
        },
        kTimeoutMs))
        << images;
    ASSERT_TRUE(RealInput::SaveShot(hwnd, "ambrevin-found"));
}

// Ambrevin driven only by a person's keys and pointer through the X server: the scripts
// question answered with Enter; the first frame shows the whole layout and the tab strip;
// the pointer over an owner-drawn button lights it; the edits take what is typed (read
// back through data exchange); an address typed and Enter, then another and a click on
// GO, load; Extract (a click on its drawing) lists the page's pictures; a click on the
// "found images" tab and on "refresh" shows them; "Save List..." writes them (the save
// chooser is the test's own service); Esc closes the dialog.
TEST_F(AmbrevinScreenTest, APersonBrowsesExtractsShowsAndSavesWithKeysAndClicks) {
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    site.SetBody("/other.html", "<html><body><p>Nothing to see</p></body></html>");
    {
        RealInput::MessageBoxAnswers answers({RealInput::kEnter});
        dialog = std::make_unique<AdvancedFinderDialog>("about:blank");
        ASSERT_TRUE(dialog->Create());
        EXPECT_EQ(answers.Texts(), std::vector<std::string>{kScriptsQuestion});
    }
    const HWND hwnd = dialog->GetSafeHwnd();
    RealInput::ExpectLayoutFits(hwnd, kTimeoutMs);
    // The tab strip shows both tabs inside the tab control.
    GtkWidget* notebook = ScreenWidgetOf(Item(IDC_TABS));
    ASSERT_TRUE(notebook && GTK_IS_NOTEBOOK(notebook));
    ASSERT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), 2);
    GtkWidget* foundTab = gtk_notebook_get_tab_label(
        GTK_NOTEBOOK(notebook), gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 1));
    const std::optional<RealInput::ScreenRect> tabRect = RealInput::WidgetRect(foundTab);
    ASSERT_TRUE(tabRect) << "the tab strip is not shown";
    const std::optional<RealInput::ScreenRect> tabsRect = RealInput::WindowRect(Item(IDC_TABS));
    ASSERT_TRUE(tabsRect);
    EXPECT_TRUE(tabsRect->Holds(tabRect->x, tabRect->y) &&
                tabsRect->Holds(tabRect->x + tabRect->width - 1, tabRect->y + tabRect->height - 1));

    // Hover: the pointer over GO lights its drawing; off it, it is plain again.
    const HWND go = Item(IDC_GO);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return WindowHasSurface(go); }, kTimeoutMs));
    const COLORREF plain = GetWindowSurface(go)->Pixel(3, 3);
    const COLORREF hover = dialog->Button(IDC_GO)->Color(OwnerDrawButton::kBackgroundIn);
    ASSERT_NE(plain, hover);
    ASSERT_TRUE(RealInput::MovePointerOver(go));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return GetWindowSurface(go)->Pixel(3, 3) == hover; },
                                     kTimeoutMs));
    EXPECT_TRUE(RealInput::SaveShot(hwnd, "ambrevin-hover"));
    ASSERT_TRUE(RealInput::MovePointerOver(Item(IDC_FOUND_LIST)));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return GetWindowSurface(go)->Pixel(3, 3) == plain; },
                                     kTimeoutMs));

    // The edits, read back through data exchange.
    ASSERT_TRUE(RealInput::TypeInto(Item(IDC_PAGE_TIMEOUT), "7", kTimeoutMs));
    ASSERT_TRUE(RealInput::TypeInto(Item(IDC_MINIMUM_HEIGHT), "3", kTimeoutMs));
    ASSERT_TRUE(RealInput::TypeInto(Item(IDC_MINIMUM_WIDTH), "2", kTimeoutMs));
    ASSERT_TRUE(dialog->UpdateData(TRUE));
    EXPECT_EQ(dialog->PageTimeoutSeconds(), 7);

    // An address typed and Enter (the dialog's OK: GO), then another and a click on GO.
    const HWND browse = Item(IDC_BROWSER);
    ASSERT_TRUE(RealInput::TypeInto(Item(IDC_ADDRESS), site.Url("/other.html"), kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEnter));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return ViewShows(browse, "/other.html"); }, kTimeoutMs))
        << BrowserViewAddress(browse);
    ASSERT_TRUE(
        RealInput::TypeInto(Item(IDC_ADDRESS), "  " + site.Url("/start.html") + " ", kTimeoutMs));
    ASSERT_TRUE(RealInput::Click(go));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return ViewShows(browse, "/start.html"); }, kTimeoutMs))
        << BrowserViewAddress(browse);

    // As a person waits for the page's pictures before Extract.
    std::string shown;
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            return RunScriptInBrowserView(
                       browse,
                       "String(Array.from(document.images).filter(i=>i.complete&&i.naturalWidth>0)"
                       ".length)",
                       &shown, 2000) &&
                   shown == "3";
        },
        kTimeoutMs))
        << shown;
    // The model's copy of the page knows their sizes once the control has fetched them.
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            const auto document = dialog->BrowseControl().View().GetHtmlDocument();
            if (!document)
                return false;
            const HtmlElementCollection pictures = document->Images();
            int sized = 0;
            for (LONG i = 0; i < pictures.Length(); ++i)
                sized += pictures.Item(i)->Width() > 0;
            return sized == 3;
        },
        kTimeoutMs));

    // Extract: the page has no links, so the crawl ends at once with its message.
    {
        RealInput::MessageBoxAnswers answers({RealInput::kEnter});
        ASSERT_TRUE(RealInput::Click(Item(IDC_EXTRACT)));
        ASSERT_TRUE(RealInput::WaitUntil([&] { return !answers.Texts().empty(); }, kTimeoutMs));
        EXPECT_EQ(answers.Texts(), std::vector<std::string>{kFinishedMessage});
    }
    const HWND list = Item(IDC_FOUND_LIST);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return ListView_GetItemCount(list) == 3; }, kTimeoutMs))
        << ListView_GetItemCount(list) << " rows; found " << dialog->Crawl().Found().size();
    EXPECT_EQ(dialog->Crawl().Found()[0], site.Url("/wide.bmp"));

    // The found images: a click on the tab, then on "refresh".
    ASSERT_TRUE(RealInput::ClickWidget(foundTab));
    const HWND found = Item(IDC_FOUND_BROWSER);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return IsWindowVisible(found); }, kTimeoutMs));
    EXPECT_FALSE(IsWindowVisible(browse));
    ASSERT_TRUE(RealInput::WaitUntilShown(Item(IDC_REFRESH), kTimeoutMs));
    ASSERT_TRUE(RealInput::Click(Item(IDC_REFRESH)));
    std::string images;
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            return RunScriptInBrowserView(found, "String(document.images.length)", &images, 2000) &&
                   images == "3";
        },
        kTimeoutMs))
        << images;
    EXPECT_TRUE(RealInput::SaveShot(hwnd, "ambrevin-found-by-hand"));

    // "Save List...": the chooser is the test's; the list goes to the file chosen.
    CreateDirectory("c:\\");
    CreateDirectory("c:\\found-lists");
    ScriptedSaveChooser chooser;
    chooser.answer = "c:\\found-lists\\pictures.txt";
    ASSERT_TRUE(RealInput::Click(Item(IDC_SAVE_LIST)));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return !chooser.asked.empty(); }, kTimeoutMs));
    EXPECT_TRUE(chooser.asked[0].save);
    std::string saved;
    ASSERT_TRUE(ReadFileBytes("c:\\found-lists\\pictures.txt", &saved));
    EXPECT_EQ(saved, site.Url("/wide.bmp") + "\r\n" + site.Url("/tall.bmp") + "\r\n" +
                         site.Url("/dot.bmp") + "\r\n");

    // Esc closes the dialog, from the address box clicked (the found page's view had the
    // keys until then, and a page takes its keys itself).
    ASSERT_TRUE(RealInput::Click(Item(IDC_ADDRESS)));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return GetFocus() == Item(IDC_ADDRESS); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEscape));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(hwnd); }, kTimeoutMs));
    EXPECT_EQ(dialog->GetEndCode(), IDCANCEL);
}

}  // namespace
