// Wrenlow and Sollet on screen: the Extract button in the web browser's toolbar row
// starts Sollet on the page shown (the test's shell records the start), and Sollet,
// started with that command line, searches the local site with its loaders' browser
// views on the screen, and "show" opens the viewer, whose web view shows every picture.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/shell/Shell.h"
#include "platform/timing/Timing.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/sollet/CommandLine.h"
#include "programs/sollet/OneClickFinderDialog.h"
#include "programs/sollet/SolletIds.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/RealInputChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestImages.h"
#include "toolbar/ExtractToolbar.h"

namespace {

constexpr int kTimeoutMs = 30000;

// The first window under parent (at any depth) of that class; null when none.
HWND FindDescendant(HWND parent, const std::string& className) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetClassName(child) == className)
            return child;
        if (HWND found = FindDescendant(child, className))
            return found;
    }
    return nullptr;
}

// The first GTK button in widget's tree; null when none.
GtkWidget* FindButton(GtkWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    if (GTK_IS_BUTTON(widget))
        return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (GtkWidget* found = FindButton(child))
            return found;
    }
    return nullptr;
}

// Whether a label in widget's tree reads text.
bool HasLabel(GtkWidget* widget, const char* text) {
    if (GTK_IS_LABEL(widget) && g_strcmp0(gtk_label_get_text(GTK_LABEL(widget)), text) == 0)
        return true;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (HasLabel(child, text))
            return true;
    }
    return false;
}

// A site of two pages and three pictures (one linked, not shown), each a small bitmap.
void ServeSite(LocalSiteServer& server) {
    server.SetBody("/",
                   "<html><body><h1>Holiday pictures</h1><a href='more.htm'>more</a> "
                   "<a href='big.bmp'>the big one</a><img src='sea.bmp'></body></html>");
    server.SetBody("/more.htm",
                   "<html><body><a href='/'>home</a><img src='hills.bmp'><img src='SEA.BMP'>"
                   "</body></html>");
    server.SetBody("/sea.bmp", TestBitmapBytes(96, 64, 24), "image/bmp");
    server.SetBody("/SEA.BMP", TestBitmapBytes(96, 64, 24), "image/bmp");
    server.SetBody("/hills.bmp", TestBitmapBytes(64, 96, 24), "image/bmp");
    server.SetBody("/big.bmp", TestBitmapBytes(128, 80, 24), "image/bmp");
}

TimingRecord ShortLoaderTiming() {
    TimingRecord timing;
    timing.reachabilityProbeTimeoutMs = 500;
    timing.oneClickLoaderGuardMs = 3000;
    return timing;
}

class SolletScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        std::string reason;
        module_ = LoadSharedLibrary(WRENLOW_MODULE_PATH, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        ServeSite(server_);
    }
    void TearDown() override {
        if (dialog_)
            dialog_->DestroyWindow();
        dialog_.reset();
        host_.Destroy();
        if (module_)
            FreeSharedLibrary(module_);
        if (ScreenForTests())
            CoUninitialize();
    }

    bool Shows(HWND control, const std::string& url) {
        CHtmlView* view = BrowserControlFromWindow(control);
        return view && view->GetLocationURL() == url && BrowserViewAddress(control) == url &&
               !BrowserViewLoading(control);
    }

    HWND Item(int id) const { return GetDlgItem(dialog_->m_hWnd, id); }
    std::string Text(int id) const { return GetDlgItemText(dialog_->m_hWnd, id); }

    ScopedRegistryStore registry_;
    RecordingShell shell_;
    ScopedTiming timing_{ShortLoaderTiming()};
    LocalSiteServer server_;
    HLIBRARY module_ = nullptr;
    BrowserHost host_;
    std::unique_ptr<OneClickFinderDialog> dialog_;
};

TEST_F(SolletScreenTest, ExtractStartsSolletOnThePageShownWhichFindsTheSiteAndShowsItsPictures) {
    // The browser shows the site with Wrenlow in its toolbar row.
    const std::string start = server_.Url("/");
    ASSERT_TRUE(host_.Create(start));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(host_.View(), start); }, kTimeoutMs));
    EXPECT_GE(host_.ToolbarHeight(), 22);
    const HWND toolbar = FindDescendant(host_.Frame(), kToolbarClassName);
    ASSERT_NE(toolbar, nullptr) << "Wrenlow's toolbar is not in the browser";
    EXPECT_TRUE(IsWindowVisible(toolbar));
    // The toolbar shows as the platform's toolbar: its button, with the picture and
    // "Extract".
    GtkWidget* button = nullptr;
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            button = FindButton(ScreenWidgetOf(toolbar));
            return button != nullptr && gtk_widget_get_mapped(button);
        },
        kTimeoutMs));
    EXPECT_TRUE(HasLabel(button, "Extract"));
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), ScreenshotPath("browser-with-wrenlow")));

    // The person clicks Extract: Sollet beside the band module, on the page shown.
    g_signal_emit_by_name(button, "clicked");
    ASSERT_TRUE(PumpScreenUntil([&] { return !shell_.starts.empty(); }, kTimeoutMs));
    ASSERT_EQ(shell_.starts.size(), 1u);
    const ProgramStartRecord started = shell_.starts[0];
    EXPECT_EQ(started.program,
              std::filesystem::path(WRENLOW_MODULE_PATH).parent_path().string() + "/sollet");
    EXPECT_EQ(started.arguments, (StringArray{"-httpvrl", start}));

    // Sollet as that command line starts it, its dialog on the screen.
    dialog_ = std::make_unique<OneClickFinderDialog>(ReadStartUrl(started.arguments));
    ASSERT_TRUE(dialog_->Create());
    ShowWindow(dialog_->m_hWnd, SW_SHOW);
    EXPECT_EQ(GetWindowText(dialog_->m_hWnd), "Sollet - " + start);
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return !dialog_->Searching() && dialog_->PagesVisited() >= 2; }, kTimeoutMs))
        << "pages visited: " << dialog_->PagesVisited();
    EXPECT_EQ(Text(IDC_PAGES_VISITED), "3") << "the start page, more.htm and the start page";
    EXPECT_EQ(Text(IDC_IMAGES_FOUND), "3");
    EXPECT_EQ(dialog_->FoundImages(), (StringArray{server_.Url("/sea.bmp"), server_.Url("/big.bmp"),
                                                   server_.Url("/hills.bmp")}));
    ASSERT_TRUE(SaveWindowScreenshot(dialog_->m_hWnd, ScreenshotPath("sollet-search-done")));

    // "show" opens the viewer on the gallery page; its view shows the three pictures.
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_SHOW)));
    ASSERT_EQ(dialog_->Viewers().size(), 1u);
    GalleryViewerDialog& viewer = *dialog_->Viewers()[0];
    const HWND view = viewer.Browser().GetSafeHwnd();
    ASSERT_TRUE(IsWindowVisible(viewer.m_hWnd));
    std::string loaded;
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            if (BrowserViewLoading(view) ||
                !RunScriptInBrowserView(view,
                                        "Array.from(document.images).filter("
                                        "i=>i.complete&&i.naturalWidth>0).length",
                                        &loaded, 2000))
                return false;
            return loaded == "3";
        },
        kTimeoutMs))
        << "pictures shown: " << loaded << ", view at " << BrowserViewAddress(view);
    const std::string shot = ScreenshotPath("sollet-gallery-viewer");
    ASSERT_TRUE(SaveWindowScreenshot(viewer.m_hWnd, shot));
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

// Sollet started without an address, driven by a person's keys and clicks through the X
// server: its first frame shows the whole template; the address typed and Enter (the
// default "go") search the local site; Tab and Shift+Tab move between the address and
// "go"; a click on "show" opens the viewer, which Esc ends; Esc closes the idle dialog.
TEST_F(SolletScreenTest, APersonTypesTheAddressPressesEnterShowsTheViewerAndEscapesBoth) {
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    dialog_ = std::make_unique<OneClickFinderDialog>("");
    ASSERT_TRUE(dialog_->Create());
    const HWND hwnd = dialog_->m_hWnd;
    RealInput::ExpectLayoutFits(hwnd, kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(hwnd, "sollet-idle"));

    const std::string start = server_.Url("/");
    ASSERT_TRUE(RealInput::TypeInto(Item(IDC_URL), start, kTimeoutMs)) << Text(IDC_URL);
    ASSERT_TRUE(RealInput::PressKey(RealInput::kTab));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return GetFocus() == Item(IDC_GO); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kShiftTab));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return GetFocus() == Item(IDC_URL); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEnter));
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] { return !dialog_->Searching() && dialog_->PagesVisited() >= 2; }, kTimeoutMs))
        << "pages visited: " << dialog_->PagesVisited();
    EXPECT_EQ(Text(IDC_IMAGES_FOUND), "3");
    EXPECT_EQ(GetWindowText(hwnd), "Sollet - " + start);

    ASSERT_TRUE(RealInput::Click(Item(IDC_SHOW)));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return dialog_->Viewers().size() == 1; }, kTimeoutMs));
    GalleryViewerDialog& viewer = *dialog_->Viewers()[0];
    RealInput::ExpectLayoutFits(viewer.m_hWnd, kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(viewer.m_hWnd, "sollet-viewer"));
    // Esc ends the viewer, which asks first; Esc answers the question No.
    {
        RealInput::MessageBoxAnswers answers({RealInput::kEscape});
        const HWND viewerWindow = viewer.m_hWnd;
        ASSERT_TRUE(RealInput::FocusWindow(ScreenWidgetOf(viewerWindow)));
        ASSERT_TRUE(RealInput::PressKey(RealInput::kEscape));
        EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindow(viewerWindow); }, kTimeoutMs));
        EXPECT_EQ(answers.Texts(),
                  std::vector<std::string>{"Would you like to save these images?"});
    }

    ASSERT_TRUE(RealInput::FocusWindow(ScreenWidgetOf(hwnd)));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEscape));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(hwnd); }, kTimeoutMs));
    EXPECT_EQ(dialog_->GetEndCode(), IDCANCEL);
}

}  // namespace
