// Ambrevin on the screen: the dialog shows with its owner-drawn buttons drawn on their
// canvases, the person's Extract (a click on the drawing) lists the pictures of a local
// page, the found page shows on the second tab, and screenshots are saved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/util/ControlHelpers.h"
#include "platform/timing/Timing.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WindowSurface.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/ambrevin/AdvancedFinderDialog.h"
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
    PumpScreenUntil([] { return false; }, 200);
    const std::string start = ScreenshotPath("ambrevin-start");
    ASSERT_TRUE(SaveWindowScreenshot(hwnd, start));
    EXPECT_GT(std::filesystem::file_size(start), 1000u);
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
    // The window keeps its size while its contents change.
    PumpScreenUntil([] { return false; }, 300);
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
    PumpScreenUntil([] { return false; }, 300);
    const std::string foundShot = ScreenshotPath("ambrevin-found");
    ASSERT_TRUE(SaveWindowScreenshot(hwnd, foundShot));
    EXPECT_GT(std::filesystem::file_size(foundShot), 1000u);
}

}  // namespace
