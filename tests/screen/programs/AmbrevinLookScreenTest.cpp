// Ambrevin's look on the screen: every text of its dialog shows whole (the labels of the
// edits on one line, the list header, the tab labels below the pages that lie over the
// tab control), the window carries the program's icon, and the About box shows it.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/ambrevin/AdvancedFinderDialog.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/MessageBoxCheck.h"

namespace {

constexpr int kTimeoutMs = 30000;

// The labels of a notebook's tabs.
void TabLabels(GtkWidget* widget, std::vector<GtkWidget*>* labels) {
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (GTK_IS_LABEL(child) && gtk_widget_get_mapped(child))
            labels->push_back(child);
        else if (!GTK_IS_STACK(child))  // the pages are the stack's
            TabLabels(child, labels);
    }
}

TEST(AmbrevinLookScreenTest, EveryTextShowsWholeAndTheIconIsTheWindowsAndTheAboutBoxs) {
    SKIP_WITHOUT_SCREEN();
    SetMessageBoxService(&MessageBoxCheck::Instance());
    LocalSiteServer site;
    site.SetBody("/start.html", "<html><body><h1>Nothing here</h1></body></html>");
    std::unique_ptr<AdvancedFinderDialog> dialog;
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect(kScriptsQuestion, IDNO);
        dialog = std::make_unique<AdvancedFinderDialog>(site.Url("/start.html"));
        ASSERT_TRUE(dialog->Create());
    }
    const HWND hwnd = dialog->GetSafeHwnd();
    ASSERT_TRUE(ShowAndWait(hwnd));
    EXPECT_EQ(CutTexts(hwnd), std::vector<std::string>{});

    // The tab labels lie in the tab row at the bottom, below the display area that the
    // browser controls cover.
    GtkWidget* notebook = ScreenWidgetOf(dialog->GetDlgItem(IDC_TABS));
    ASSERT_TRUE(notebook && GTK_IS_NOTEBOOK(notebook));
    std::vector<GtkWidget*> labels;
    TabLabels(notebook, &labels);
    ASSERT_EQ(labels.size(), 2u);
    const int height = gtk_widget_get_height(notebook);
    for (GtkWidget* label : labels) {
        const graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0);
        graphene_point_t at;
        ASSERT_TRUE(gtk_widget_compute_point(label, notebook, &origin, &at));
        EXPECT_GE(at.y, height - kTabRowHeight) << gtk_label_get_text(GTK_LABEL(label));
        EXPECT_LE(at.y + gtk_widget_get_height(label), height)
            << gtk_label_get_text(GTK_LABEL(label));
    }

    std::vector<std::string> sizes;
    ASSERT_TRUE(PumpScreenUntil([&] { return !(sizes = WindowManagerIconSizes(hwnd)).empty(); },
                                kTimeoutMs));
    EXPECT_EQ(sizes, std::vector<std::string>{"32x32"});
    ASSERT_TRUE(SaveWindowScreenshot(hwnd, ScreenshotPath("ambrevin-dialog")));

    // The About box: the icon, its texts whole.
    CDialog about(IDD_ABOUTBOX, hwnd);
    ASSERT_TRUE(about.Create());
    ASSERT_TRUE(ShowAndWait(about.m_hWnd));
    EXPECT_EQ(CutTexts(about.m_hWnd), std::vector<std::string>{});
    bool iconShown = false;
    for (HWND child = GetWindow(about.m_hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GtkWidget* widget = ScreenWidgetOf(child); widget && GTK_IS_IMAGE(widget))
            iconShown = gtk_image_get_paintable(GTK_IMAGE(widget)) != nullptr;
    EXPECT_TRUE(iconShown);
    ASSERT_TRUE(SaveWindowScreenshot(about.m_hWnd, ScreenshotPath("ambrevin-about")));
    about.DestroyWindow();
    dialog->DestroyWindow();
    PumpScreenUntil([] { return false; }, 50);
}

}  // namespace
