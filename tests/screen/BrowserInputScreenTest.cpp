// The stand-in web browser driven as a person drives it, through the X server: an
// address typed into its bar and Enter, its back, forward, reload and stop buttons, a
// band chosen from its Bands menu with the pointer, and a click on Wrenlow's Extract
// button in its toolbar row. The model is read afterwards.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/shell/Shell.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/modules/TestBandInterface.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/RealInputChecks.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedRegistryStore.h"
#include "toolbar/ExtractToolbar.h"

namespace {

constexpr int kTimeoutMs = 30000;

// The browser's navigation errors, as "<url> <status>", from its DWebBrowserEvents2.
class NavigateErrorSink final : public IDispatch {
public:
    std::vector<std::string> errors;
    std::vector<std::string> completed;  // the documents loaded whole

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // lives in the test's fixture
    HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                   UINT*) override {
        if (member == DISPID_DOCUMENTCOMPLETE)
            completed.push_back(params->rgvarg[0].bstrVal);
        if (member == DISPID_NAVIGATEERROR)
            errors.push_back(params->rgvarg[3].bstrVal + " " +
                             (params->rgvarg[1].intVal == E_ABORT ? "abort" : "failed"));
        return S_OK;
    }
    ULONG references = 0;
};

// The first widget of type in widget's tree (a button: with that label); null when none.
GtkWidget* FindWidget(GtkWidget* widget, GType type, const char* label = nullptr) {
    if (widget == nullptr)
        return nullptr;
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type) &&
        (label == nullptr || (GTK_IS_BUTTON(widget) &&
                              g_strcmp0(gtk_button_get_label(GTK_BUTTON(widget)), label) == 0)))
        return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child))
        if (GtkWidget* found = FindWidget(child, type, label))
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

bool Register(HLIBRARY* module, const char* path) {
    std::string reason;
    *module = LoadSharedLibrary(path, &reason);
    if (*module == nullptr)
        return false;
    auto registerServer =
        reinterpret_cast<DllRegisterServerFunction>(GetLibrarySymbol(*module, "DllRegisterServer"));
    return registerServer != nullptr && registerServer() == S_OK;
}

class BrowserInputScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        std::string reason;
        if (!RealInput::Available(&reason))
            GTEST_SKIP() << reason;
        CoInitialize(nullptr);
        started_ = true;
        ASSERT_TRUE(Register(&band_, TEST_BAND_MODULE));
        site_.SetBody("/one.htm", "<html><body><h1>One</h1></body></html>");
        site_.SetBody("/two.htm", "<html><body><h1>Two</h1></body></html>");
        site_.SetStalled("/slow.htm");
    }
    void TearDown() override {
        if (!started_)
            return;
        host_.Destroy();
        site_.Stop();
        if (wrenlow_)
            FreeSharedLibrary(wrenlow_);
        if (band_)
            FreeSharedLibrary(band_);
        CoUninitialize();
    }

    // The view shows url, in the model and in WebKit, and is done loading.
    bool Shows(const std::string& url) {
        CHtmlView* view = BrowserControlFromWindow(host_.View());
        return view && view->GetLocationURL() == url && BrowserViewAddress(host_.View()) == url &&
               !BrowserViewLoading(host_.View());
    }
    GtkWidget* Chrome(const char* label) {
        return FindWidget(ScreenWidgetOf(host_.Frame()), GTK_TYPE_BUTTON, label);
    }
    // Clicks the address bar, replaces its text with keys and presses Enter.
    bool TypeAddress(const std::string& url) {
        GtkWidget* bar = FindWidget(gtk_widget_get_parent(Chrome("Back")), GTK_TYPE_ENTRY);
        return bar != nullptr && RealInput::ClickWidget(bar) &&
               RealInput::WaitUntil(
                   [&] {
                       return gtk_widget_has_focus(bar) ||
                              gtk_widget_is_ancestor(gtk_root_get_focus(gtk_widget_get_root(bar)),
                                                     bar);
                   },
                   kTimeoutMs) &&
               RealInput::PressKey(RealInput::kSelectAll) && RealInput::TypeText(url) &&
               RealInput::WaitUntil([&] { return url == gtk_editable_get_text(GTK_EDITABLE(bar)); },
                                    kTimeoutMs) &&
               RealInput::PressKey(RealInput::kEnter);
    }

    bool started_ = false;
    ScopedRegistryStore registry_;
    LocalSiteServer site_;
    HLIBRARY band_ = nullptr;
    HLIBRARY wrenlow_ = nullptr;
    NavigateErrorSink sink_;  // outlives the browser it may be advised to
    BrowserHost host_;
};

TEST_F(BrowserInputScreenTest, TheAddressBarAndTheHistoryButtonsTakeRealInput) {
    const std::string one = site_.Url("/one.htm");
    const std::string two = site_.Url("/two.htm");
    ASSERT_TRUE(host_.Create(one));
    RealInput::ExpectLayoutFits(host_.Frame(), kTimeoutMs);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(one); }, kTimeoutMs));
    auto container =
        ComPointer<IUnknown>(BrowserControlFromWindow(host_.View())->GetControlUnknown())
            .query<IConnectionPointContainer>();
    ASSERT_TRUE(container);
    ComPointer<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink_, &cookie), S_OK);

    // An address typed and Enter.
    ASSERT_TRUE(TypeAddress(two));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(two); }, kTimeoutMs))
        << BrowserViewAddress(host_.View());
    EXPECT_EQ(host_.AddressText(), two);

    // Back and forward.
    GtkWidget* back = Chrome("Back");
    GtkWidget* forward = Chrome("Forward");
    ASSERT_TRUE(back && forward);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return gtk_widget_get_sensitive(back); }, kTimeoutMs));
    EXPECT_FALSE(gtk_widget_get_sensitive(forward));
    ASSERT_TRUE(RealInput::ClickWidget(back));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(one); }, kTimeoutMs))
        << BrowserControlFromWindow(host_.View())->GetLocationURL() << " "
        << BrowserViewAddress(host_.View()) << " " << BrowserViewLoading(host_.View());
    EXPECT_EQ(host_.AddressText(), one);
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return gtk_widget_get_sensitive(forward); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::ClickWidget(forward));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(two); }, kTimeoutMs));
    EXPECT_EQ(host_.AddressText(), two);

    // Reload asks the server again.
    const std::size_t asked = site_.RequestsFor("/two.htm").size();
    const std::size_t loaded = sink_.completed.size();
    ASSERT_TRUE(RealInput::ClickWidget(Chrome("Reload")));
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            return site_.RequestsFor("/two.htm").size() > asked &&
                   sink_.completed.size() > loaded && sink_.completed.back() == two && Shows(two);
        },
        kTimeoutMs));

    // Stop ends a load the server holds back: aborted, no error page, the page stays.
    const std::string slow = site_.Url("/slow.htm");
    ASSERT_TRUE(TypeAddress(slow));
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return !site_.RequestsFor("/slow.htm").empty(); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::ClickWidget(Chrome("Stop")));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return !sink_.errors.empty(); }, kTimeoutMs));
    EXPECT_EQ(sink_.errors, std::vector<std::string>{slow + " abort"});
    EXPECT_EQ(BrowserViewAddress(host_.View()), two);
    EXPECT_TRUE(RealInput::SaveShot(host_.Frame(), "browser-real-input"));
}

TEST_F(BrowserInputScreenTest, ABandChosenFromTheBandsMenuWithThePointerOpensInThePane) {
    ASSERT_TRUE(host_.Create(site_.Url("/one.htm")));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(site_.Url("/one.htm")); }, kTimeoutMs));
    GtkWidget* menuButton = FindWidget(ScreenWidgetOf(host_.Frame()), GTK_TYPE_MENU_BUTTON);
    ASSERT_NE(menuButton, nullptr);
    ASSERT_TRUE(RealInput::ClickWidget(menuButton));
    GtkPopover* popover = gtk_menu_button_get_popover(GTK_MENU_BUTTON(menuButton));
    GtkWidget* item = FindWidget(GTK_WIDGET(popover), GTK_TYPE_BUTTON, kTestBandTitle);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return RealInput::WidgetRect(item).has_value(); }, kTimeoutMs));
    EXPECT_TRUE(SaveWidgetScreenshot(GTK_WIDGET(popover), ScreenshotPath("browser-bands-chosen")));
    ASSERT_TRUE(RealInput::ClickWidget(item));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return IsWindow(host_.BandWindow()); }, kTimeoutMs));
    EXPECT_EQ(host_.PaneWidth(), kTestBandActualWidth);
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !gtk_widget_get_mapped(GTK_WIDGET(popover)); },
                                     kTimeoutMs))
        << "the menu closes";
    const HWND panel = GetWindow(host_.BandWindow(), GW_CHILD);
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            return BrowserViewAddress(panel).rfind("res://", 0) == 0 && !BrowserViewLoading(panel);
        },
        kTimeoutMs));
    RealInput::ExpectLayoutFits(host_.Frame(), kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(host_.Frame(), "browser-band-chosen"));

    // "Close band" from the same menu.
    ASSERT_TRUE(RealInput::ClickWidget(menuButton));
    GtkWidget* close = FindWidget(GTK_WIDGET(popover), GTK_TYPE_BUTTON, "Close band");
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return RealInput::WidgetRect(close).has_value(); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::ClickWidget(close));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return host_.BandWindow() == nullptr; }, kTimeoutMs));
    EXPECT_EQ(host_.PaneWidth(), 0);
}

TEST_F(BrowserInputScreenTest, AClickOnWrenlowsExtractStartsSolletOnThePageShown) {
    RecordingShell shell;
    ASSERT_TRUE(Register(&wrenlow_, WRENLOW_MODULE_PATH));
    const std::string page = site_.Url("/one.htm");
    ASSERT_TRUE(host_.Create(page));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return Shows(page); }, kTimeoutMs));
    const HWND toolbar = FindDescendant(host_.Frame(), kToolbarClassName);
    ASSERT_NE(toolbar, nullptr);
    GtkWidget* extract = FindWidget(ScreenWidgetOf(toolbar), GTK_TYPE_BUTTON);
    ASSERT_NE(extract, nullptr);
    ASSERT_TRUE(RealInput::WaitUntil([&] { return RealInput::WidgetRect(extract).has_value(); },
                                     kTimeoutMs));
    // The button shows whole inside the band's window (the toolbar itself is as wide as
    // the row was when the band made it, and the band's window cuts it).
    const std::optional<RealInput::ScreenRect> button = RealInput::WidgetRect(extract);
    const std::optional<RealInput::ScreenRect> band = RealInput::WindowRect(GetParent(toolbar));
    ASSERT_TRUE(button && band);
    EXPECT_TRUE(band->Holds(button->x, button->y) &&
                band->Holds(button->x + button->width - 1, button->y + button->height - 1));
    ASSERT_TRUE(RealInput::ClickWidget(extract));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return !shell.starts.empty(); }, kTimeoutMs));
    ASSERT_EQ(shell.starts.size(), 1u);
    const std::string program = shell.starts[0].program;
    EXPECT_EQ(program.substr(program.rfind('/') + 1), "sollet");
    EXPECT_EQ(shell.starts[0].arguments, (StringArray{"-httpvrl", page}));
    EXPECT_TRUE(RealInput::SaveShot(host_.Frame(), "browser-wrenlow-extract"));
}

}  // namespace
