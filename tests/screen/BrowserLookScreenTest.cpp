// The stand-in web browser's look: a toolbar band gets the row its band information asks
// for and its button shows whole and framed, the Bands menu opens inside the window, a
// failed load shows an error page under its address, and res: addresses show with "/".
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/resource/Resource.h"
#include "platform/timing/Timing.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ScopedRegistryStore.h"
#include "toolbar/ExtractToolbar.h"

namespace {

constexpr int kTimeoutMs = 30000;

TEST(BrowserAddressTest, ResAddressesShowWithSlashesAndComeBackAsTheControlsForm) {
    const std::string program = GetModuleFileName(ThisModule());  // "\...\screen_tests"
    std::string shown = program;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    struct Case {
        std::string control;  // the control's form
        std::string bar;      // the address bar's
    };
    const Case cases[] = {
        {"res://" + program + "/216", "res://" + shown + "/216"},
        {"res://" + program + "/GIF/320", "res://" + shown + "/GIF/320"},
        {"res://" + program + "/214#/panel/extract", "res://" + shown + "/214#/panel/extract"},
        {"http://127.0.0.1:8080/a\\b", "http://127.0.0.1:8080/a\\b"},
        {"about:blank", "about:blank"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddressForDisplay(c.control), c.bar);
        EXPECT_EQ(AddressFromDisplay(c.bar), c.control);
    }
    // A path that names no loaded module is left as it was typed.
    EXPECT_EQ(AddressFromDisplay("res:///no/such/module.so/216"), "res:///no/such/module.so/216");
    EXPECT_EQ(AddressFromDisplay("res://"), "res://");
}

// The first widget of type in widget's tree; null when none.
GtkWidget* FindWidget(GtkWidget* widget, GType type) {
    if (widget == nullptr || G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
        return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child))
        if (GtkWidget* found = FindWidget(child, type))
            return found;
    return nullptr;
}

HWND FindDescendant(HWND parent, const std::string& className) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetClassName(child) == className)
            return child;
        if (HWND found = FindDescendant(child, className))
            return found;
    }
    return nullptr;
}

class BrowserLookScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        std::string reason;
        wrenlow_ = LoadSharedLibrary(WRENLOW_MODULE_PATH, &reason);
        ASSERT_NE(wrenlow_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(wrenlow_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        site_.SetBody("/", "<html><body><h1>A page</h1></body></html>");
    }
    void TearDown() override {
        host_.Destroy();
        if (wrenlow_)
            FreeSharedLibrary(wrenlow_);
        if (ScreenForTests())
            CoUninitialize();
    }
    bool Shows(const std::string& address) {
        return BrowserViewAddress(host_.View()) == address && !BrowserViewLoading(host_.View());
    }

    ScopedRegistryStore registry_;
    LocalSiteServer site_;
    HLIBRARY wrenlow_ = nullptr;
    BrowserHost host_;
};

TEST_F(BrowserLookScreenTest, TheToolbarBandGetsItsRowAndTheBandsMenuOpensInsideTheWindow) {
    ASSERT_TRUE(host_.Create(site_.Url("/")));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(site_.Url("/")); }, kTimeoutMs));
    // Wrenlow asks for 250 x 22.
    EXPECT_EQ(host_.ToolbarHeight(), 22);
    const HWND toolbar = FindDescendant(host_.Frame(), kToolbarClassName);
    ASSERT_NE(toolbar, nullptr);
    const HWND band = GetParent(toolbar);
    RECT bandRect{};
    GetWindowRect(band, &bandRect);
    EXPECT_EQ(bandRect.right - bandRect.left, 250);
    EXPECT_EQ(bandRect.bottom - bandRect.top, 22);
    ASSERT_TRUE(ShowAndWait(host_.Frame()));

    // Its button: framed, its picture and text whole inside the row.
    GtkWidget* button = FindWidget(ScreenWidgetOf(toolbar), GTK_TYPE_BUTTON);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(gtk_button_get_has_frame(GTK_BUTTON(button)));
    int least = 0;
    int natural = 0;
    gtk_widget_measure(button, GTK_ORIENTATION_VERTICAL, -1, &least, &natural, nullptr, nullptr);
    EXPECT_LE(natural, 22);
    EXPECT_LE(gtk_widget_get_height(button), 22);
    GtkWidget* row = ScreenWidgetOf(band);
    const graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0);
    graphene_point_t at;
    ASSERT_TRUE(gtk_widget_compute_point(button, row, &origin, &at));
    EXPECT_GE(at.y, 0);
    EXPECT_LE(at.y + gtk_widget_get_height(button), 22);
    EXPECT_EQ(CutTexts(band), std::vector<std::string>{});
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), ScreenshotPath("browser-toolbar-row")));

    // The Bands menu, at the window's right end, opens leftwards inside it.
    GtkWidget* frame = ScreenWidgetOf(host_.Frame());
    GtkWidget* menuButton = FindWidget(frame, GTK_TYPE_MENU_BUTTON);
    ASSERT_NE(menuButton, nullptr);
    gtk_menu_button_popup(GTK_MENU_BUTTON(menuButton));
    GtkPopover* popover = gtk_menu_button_get_popover(GTK_MENU_BUTTON(menuButton));
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return gtk_widget_get_mapped(GTK_WIDGET(popover)) &&
                   gtk_widget_get_width(GTK_WIDGET(popover)) > 0;
        },
        kTimeoutMs));
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(popover));
    ASSERT_TRUE(surface && GDK_IS_POPUP(surface));
    // The menu's items (the popover's surface also holds its shadow).
    GtkWidget* items = gtk_popover_get_child(popover);
    graphene_rect_t bounds;
    ASSERT_TRUE(gtk_widget_compute_bounds(items, GTK_WIDGET(popover), &bounds));
    double surfaceX = 0;
    double surfaceY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(popover), &surfaceX, &surfaceY);
    const double left = gdk_popup_get_position_x(GDK_POPUP(surface)) + surfaceX + bounds.origin.x;
    EXPECT_GE(left, 0);
    EXPECT_LE(left + bounds.size.width, gtk_widget_get_width(frame));
    EXPECT_TRUE(SaveWidgetScreenshot(GTK_WIDGET(popover), ScreenshotPath("browser-bands-menu")));
    gtk_menu_button_popdown(GTK_MENU_BUTTON(menuButton));
}

TEST_F(BrowserLookScreenTest, AFailedLoadShowsAnErrorPageAndResAddressesShowWithSlashes) {
    TimingRecord timing;
    timing.reachabilityProbeTimeoutMs = 2000;
    ScopedTiming shortTiming(timing);
    ASSERT_TRUE(host_.Create(site_.Url("/")));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(site_.Url("/")); }, kTimeoutMs));

    // A server that is gone: the view shows the error page under the address asked for.
    LocalSiteServer gone;
    const std::string dead = gone.Url("/away.htm");
    gone.Stop();
    CHtmlView* view = BrowserControlFromWindow(host_.View());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->Navigate2(dead));
    std::string marker;
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return Shows(dead) &&
                   RunScriptInBrowserView(
                       host_.View(),
                       "String(!!document.getElementById('morvelle-load-failed'))"
                       " + document.body.innerText.indexOf('" +
                           dead + "')",
                       &marker, 2000) &&
                   marker.rfind("true", 0) == 0;
        },
        kTimeoutMs))
        << BrowserViewAddress(host_.View()) << " " << marker;
    EXPECT_NE(marker, "true-1") << "the page names the address";
    EXPECT_EQ(host_.AddressText(), dead);
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), ScreenshotPath("browser-error-page")));

    // A page again: the error page goes.
    ASSERT_TRUE(view->Navigate2(site_.Url("/")));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(site_.Url("/")); }, kTimeoutMs));

    // A res: page: the address bar shows the module's path with "/".
    const HMODULE quillet = LoadLibrary(QUILLET_MODULE_PATH);
    ASSERT_NE(quillet, nullptr);
    const std::string help = "res://" + GetModuleFileName(quillet) + "/216";
    ASSERT_TRUE(view->Navigate2(help));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(help); }, kTimeoutMs))
        << BrowserViewAddress(host_.View());
    ASSERT_TRUE(
        PumpScreenUntil([&] { return host_.AddressText() == AddressForDisplay(help); }, kTimeoutMs))
        << host_.AddressText();
    EXPECT_EQ(host_.AddressText().rfind("res:///", 0), 0u) << host_.AddressText();
    EXPECT_EQ(host_.AddressText().find('\\'), std::string::npos) << host_.AddressText();
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), ScreenshotPath("browser-res-address")));
    host_.Destroy();
    FreeLibrary(quillet);
}

}  // namespace
