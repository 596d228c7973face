// The windows' texts on the screen: every label of every control of Tallowmere's main
// dialog and of the bands' dialogs shows whole (a list header's text against
// its column, a check box's beside its box, a static's in its lines), and screenshots of
// each are saved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/util/RegistryValues.h"
#include "platform/module/SharedLibrary.h"
#include "platform/resource/Resource.h"
#include "platform/timing/Timing.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ListView.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/tallowmere/MainDialog.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/CrawlFixture.h"

namespace {

constexpr int kTimeoutMs = 10000;

// The natural widths of a list view's header titles against the widths of their
// buttons: "title: natural / given" for each that does not fit.
std::vector<std::string> CutHeaders(HWND list) {
    std::vector<std::string> cut;
    GtkWidget* widget = ScreenWidgetOf(list);
    GtkWidget* header = ListViewHeader(widget);
    int column = 0;
    for (GtkWidget* button = header ? gtk_widget_get_first_child(header) : nullptr;
         button != nullptr; button = gtk_widget_get_next_sibling(button), ++column) {
        GtkWidget* title = gtk_button_get_child(GTK_BUTTON(button));
        int least = 0;
        int natural = 0;
        gtk_widget_measure(title, GTK_ORIENTATION_HORIZONTAL, -1, &least, &natural, nullptr,
                           nullptr);
        LVCOLUMN info;
        info.mask = LVCF_WIDTH;
        SendMessage(list, LVM_GETCOLUMN, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(&info));
        if (natural > gtk_widget_get_width(title) || gtk_widget_get_width(button) > info.cx)
            cut.push_back(std::string(gtk_label_get_text(GTK_LABEL(title))) + ": " +
                          std::to_string(natural) + " / " +
                          std::to_string(gtk_widget_get_width(title)) + " in a column of " +
                          std::to_string(info.cx));
    }
    if (column == 0)
        cut.push_back(std::string("no header shown in a ") +
                      (widget ? G_OBJECT_TYPE_NAME(widget) : "missing widget") + " of " +
                      (header ? G_OBJECT_TYPE_NAME(header) : "nothing"));
    return cut;
}

TimingRecord QuietDialogTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.siteFinderShutdownWaitMs = 0;
    return timing;
}

class TallowmereTextFitTest : public CrawlFixture {
protected:
    TallowmereTextFitTest()
        : CrawlFixture(SiteMp3FinderJobLimit, SiteMp3FinderBrowserThreads, QuietDialogTiming()) {}
    void TearDown() override {
        if (dialog_ != nullptr && IsWindow(dialog_->m_hWnd))
            dialog_->DestroyWindow();
        if (dialog_ != nullptr) {
            for (Job* job : dialog_->TakeLeftJobs()) {
                EXPECT_TRUE(WaitForJobEnd(*job));
                DeleteJob(job);
            }
        }
        dialog_.reset();
        Manager().Reset();
        EXPECT_TRUE(WaitForIdleManager());
        RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    }
    std::unique_ptr<MainDialog> dialog_;
};

TEST_F(TallowmereTextFitTest, TheMainDialogShowsEveryTextWholeBeforeAnyRowArrives) {
    SKIP_WITHOUT_SCREEN();
    RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey);
    dialog_ = std::make_unique<MainDialog>();
    ASSERT_TRUE(dialog_->Create());
    const HWND hwnd = dialog_->m_hWnd;
    ASSERT_TRUE(ShowAndWait(hwnd));
    const HWND mp3s = GetDlgItem(hwnd, IDC_MP3_LIST);
    ASSERT_EQ(ListView_GetItemCount(mp3s), 0);
    EXPECT_EQ(CutHeaders(mp3s), std::vector<std::string>{});
    EXPECT_EQ(CutHeaders(GetDlgItem(hwnd, IDC_SITE_LIST)), std::vector<std::string>{});
    EXPECT_EQ(CutTexts(hwnd), std::vector<std::string>{});
    // The program's icon is the window's, as the window manager sees it.
    std::vector<std::string> sizes;
    ASSERT_TRUE(PumpScreenUntil([&] { return !(sizes = WindowManagerIconSizes(hwnd)).empty(); },
                                kTimeoutMs));
    EXPECT_EQ(sizes, std::vector<std::string>{"32x32"});
    ASSERT_TRUE(SaveWindowScreenshot(hwnd, ScreenshotPath("tallowmere-start")));
}

// The bands' dialogs, from the built modules' own templates.
TEST(BandDialogTextFitTest, EveryDialogOfEachBandShowsEveryTextWhole) {
    SKIP_WITHOUT_SCREEN();
    struct Band {
        const char* name;
        const char* path;
    };
    const Band bands[] = {{"quillet", QUILLET_MODULE_PATH},
                          {"dovetine", DOVETINE_MODULE_PATH},
                          {"harrowby", HARROWBY_MODULE_PATH}};
    for (const Band& band : bands) {
        const HMODULE module = LoadLibrary(band.path);
        ASSERT_NE(module, nullptr) << band.path;
        for (const int id : {201, 206, 210}) {
            SCOPED_TRACE(std::string(band.name) + " " + std::to_string(id));
            std::optional<DialogTemplate> shown = LoadDialogTemplate(module, id);
            ASSERT_TRUE(shown);
            CDialog dialog(std::move(*shown));
            ASSERT_TRUE(dialog.Create());
            ASSERT_TRUE(ShowAndWait(dialog.m_hWnd));
            EXPECT_EQ(CutTexts(dialog.m_hWnd), std::vector<std::string>{});
            ASSERT_TRUE(SaveWindowScreenshot(
                dialog.m_hWnd,
                ScreenshotPath(std::string(band.name) + "-dialog-" + std::to_string(id))));
            dialog.DestroyWindow();
        }
        FreeLibrary(module);
    }
}

}  // namespace
