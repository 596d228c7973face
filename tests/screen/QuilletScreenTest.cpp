// The image finder band on screen: the web browser on a local site opens the built
// Quillet from a test registry store, a real click on the panel's "extract" link in
// WebKit runs an extraction, the progress page shows in the panel while it runs, and the
// hosting view ends on the view's allImages.htm. Screenshots of both are saved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/timing/Timing.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

constexpr int kTimeoutMs = 30000;
constexpr const char* kBandTitle = "Brisquel";
constexpr const char* kStalledPicture = "/pictures/logo.gif";

TimingRecord BandTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.panelProgressMs = 100;
    return timing;
}

// The built Quillet, registered in the test's store while the test runs.
class RegisteredQuillet {
public:
    RegisteredQuillet() {
        std::string reason;
        module_ = LoadSharedLibrary(QUILLET_MODULE_PATH, &reason);
        if (module_ == nullptr) {
            ADD_FAILURE() << "Quillet does not load: " << reason;
            return;
        }
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        if (registerServer == nullptr || registerServer() != S_OK)
            ADD_FAILURE() << "Quillet did not register";
    }
    ~RegisteredQuillet() {
        if (module_ != nullptr)
            FreeSharedLibrary(module_);
    }
    RegisteredQuillet(const RegisteredQuillet&) = delete;
    RegisteredQuillet& operator=(const RegisteredQuillet&) = delete;

private:
    HLIBRARY module_ = nullptr;
};

void StoreSetting(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &key),
              ERROR_SUCCESS);
    // A string value with its NUL, as the band writes its own.
    ASSERT_EQ(RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The address without its fragment.
std::string Page(const std::string& address) {
    return address.substr(0, address.find('#'));
}

// The screen's own view of a browser control: WebKit shows that page, done loading.
bool ViewShows(HWND control, const std::string& tail) {
    return IsWindow(control) && EndsWith(Page(BrowserViewAddress(control)), tail) &&
           !BrowserViewLoading(control);
}

// The text of the browser's address bar (the first entry of the frame's chrome).
std::string AddressBarText(HWND frame) {
    std::vector<GtkWidget*> pending{ScreenContainerOf(frame)};
    for (std::size_t i = 0; i < pending.size() && pending[i]; ++i) {
        if (GTK_IS_ENTRY(pending[i]))
            return gtk_editable_get_text(GTK_EDITABLE(pending[i]));
        for (GtkWidget* child = gtk_widget_get_first_child(pending[i]); child;
             child = gtk_widget_get_next_sibling(child))
            pending.push_back(child);
    }
    return "<no address bar>";
}

// What a script answers in the view ("" on an error).
std::string Ask(HWND control, const std::string& script) {
    std::string answer;
    return RunScriptInBrowserView(control, script, &answer, kTimeoutMs) ? answer : std::string();
}

// Clicks the panel's first link whose address holds command, in WebKit; "clicked" when
// there is one.
std::string ClickPanelLink(HWND panel, const std::string& command) {
    return Ask(panel,
               "var links=document.getElementsByTagName('a');var hit='none';"
               "for(var i=0;i<links.length;i++){if(links[i].getAttribute('href').indexOf('" +
                   command + "')>=0){links[i].click();hit='clicked';break;}}hit");
}

// Watches for the print dialog while a print runs: cancels the first one it sees and
// remembers its title; gives up after kTimeoutMs.
class PrintDialogWatch {
public:
    PrintDialogWatch()
        : deadline_(g_get_monotonic_time() + gint64{kTimeoutMs} * 1000),
          source_(g_timeout_add(20, &PrintDialogWatch::Look, this)) {}
    ~PrintDialogWatch() {
        if (source_ != 0)
            g_source_remove(source_);
    }
    PrintDialogWatch(const PrintDialogWatch&) = delete;
    PrintDialogWatch& operator=(const PrintDialogWatch&) = delete;

    const std::string& SeenTitle() const { return seenTitle_; }

private:
    static gboolean Look(gpointer data) {
        auto* watch = static_cast<PrintDialogWatch*>(data);
        GListModel* windows = gtk_window_get_toplevels();
        for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
            auto* window = GTK_WINDOW(g_list_model_get_item(windows, i));
            bool print = g_str_has_prefix(G_OBJECT_TYPE_NAME(window), "GtkPrint");
            if (print && g_get_monotonic_time() < watch->deadline_) {
                // As a person answers it: once it has been drawn on the screen, a few
                // frames after it showed.
                GdkFrameClock* clock = gtk_widget_get_mapped(GTK_WIDGET(window))
                                           ? gtk_widget_get_frame_clock(GTK_WIDGET(window))
                                           : nullptr;
                if (clock != nullptr && watch->firstFrame_ < 0)
                    watch->firstFrame_ = gdk_frame_clock_get_frame_counter(clock);
                print = clock != nullptr &&
                        gdk_frame_clock_get_frame_counter(clock) >= watch->firstFrame_ + 3;
                if (clock != nullptr && !print)
                    gtk_widget_queue_draw(GTK_WIDGET(window));
            }
            if (print) {
                const char* title = gtk_window_get_title(window);
                watch->seenTitle_ = title != nullptr && *title ? title : "<untitled>";
                // The person's Cancel: the dialog's answer, as its button gives it.
                g_signal_emit_by_name(window, "response", GTK_RESPONSE_CANCEL);
            }
            g_object_unref(window);
            if (print) {
                watch->source_ = 0;
                return G_SOURCE_REMOVE;
            }
        }
        if (g_get_monotonic_time() < watch->deadline_)
            return G_SOURCE_CONTINUE;
        watch->source_ = 0;
        return G_SOURCE_REMOVE;
    }

    gint64 deadline_;
    guint source_;
    gint64 firstFrame_ = -1;
    std::string seenTitle_;
};

class QuilletScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        store_.emplace();
        corvane_.emplace();
        quillet_.emplace();
        StoreSetting("storage", "c:\\quillet\\screen");
        StoreSetting("minwidth", "0");
        StoreSetting("minheight", "0");
    }
    void TearDown() override {
        if (!ScreenForTests())
            return;
        site_.SetDelay(kStalledPicture, std::chrono::milliseconds(0));
        host_.Destroy();
        PumpScreenUntil([] { return false; }, 50);  // the band's deferred clean-up
        quillet_.reset();
        corvane_.reset();
        store_.reset();
        CoUninitialize();
    }

    // The band's panel: the browser control that is, or is in, the band's window.
    HWND Panel() const {
        const HWND band = host_.BandWindow();
        if (band == nullptr || GetClassName(band) == kBrowserControlClassName)
            return band;
        return GetWindow(band, GW_CHILD);
    }

    ScopedTiming timing_{BandTiming()};
    std::optional<ScopedRegistryStore> store_;
    std::optional<RegisteredCorvane> corvane_;
    std::optional<RegisteredQuillet> quillet_;
    LocalSiteServer site_{std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site"};
    BrowserHost host_;
};

TEST_F(QuilletScreenTest, AClickOnExtractRunsTheExtractionAndTheHostEndsOnTheView) {
    const std::string start = site_.Url("/index.htm");
    ASSERT_TRUE(host_.Create(start));
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(host_.View(), "/index.htm"); }, kTimeoutMs));
    // The page's frames load after it; the address bar keeps the page's address.
    EXPECT_EQ(AddressBarText(host_.Frame()), start);
    ASSERT_TRUE(host_.OpenBand(kBandTitle));
    const HWND panel = Panel();
    ASSERT_EQ(GetClassName(panel), kBrowserControlClassName);
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(panel, "/214"); }, kTimeoutMs))
        << BrowserViewAddress(panel);
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), ScreenshotPath("quillet-panel-start")));

    // One picture of the page holds the run until the screenshot of its progress is taken.
    site_.SetStalled(kStalledPicture);
    // The person types the depth into the panel's form and clicks "extract", in WebKit.
    EXPECT_EQ(Ask(panel,
                  "var d=document.forms['extract'].elements['depth'];d.focus();d.value='0';"
                  "d.dispatchEvent(new Event('input',{bubbles:true}));'typed'"),
              "typed");
    EXPECT_EQ(Ask(panel,
                  "var links=document.getElementsByTagName('a');var hit='none';"
                  "for(var i=0;i<links.length;i++){if(links[i].getAttribute('href').indexOf("
                  "'/panel/extract')>=0){links[i].click();hit='clicked';break;}}hit"),
              "clicked");

    // The progress page, in the panel, follows the run on its timer.
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(panel, "/215"); }, kTimeoutMs))
        << BrowserViewAddress(panel);
    EXPECT_TRUE(PumpScreenUntil(
        [&] { return Ask(panel, "document.forms['stop'].elements['url'].value") == start; },
        kTimeoutMs))
        << Ask(panel, "document.forms['stop'].elements['url'].value");
    const std::string running = ScreenshotPath("quillet-panel-running");
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), running));
    EXPECT_GT(std::filesystem::file_size(running), 1000u);
    site_.SetDelay(kStalledPicture, std::chrono::milliseconds(0));

    // The run ends: the hosting view shows allImages.htm and the panel its main page.
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return ViewShows(host_.View(), "allImages.htm") && ViewShows(panel, "/214"); },
        kTimeoutMs))
        << BrowserViewAddress(host_.View()) << " / " << BrowserViewAddress(panel);
    EXPECT_NE(Ask(host_.View(), "String(document.images.length)"), "0");
    EXPECT_EQ(Ask(panel, "document.getElementById('curview').textContent"),
              "127.0.0.1:" + std::to_string(site_.Port()));
    const std::string view = ScreenshotPath("quillet-view");
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), view));
    EXPECT_GT(std::filesystem::file_size(view), 1000u);
}

TEST_F(QuilletScreenTest, CancelInEditModeShowsTheUneditedPageAgain) {
    ASSERT_TRUE(host_.Create(site_.Url("/index.htm")));
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(host_.View(), "/index.htm"); }, kTimeoutMs));
    ASSERT_TRUE(host_.OpenBand(kBandTitle));
    const HWND panel = Panel();
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(panel, "/214"); }, kTimeoutMs));
    EXPECT_EQ(Ask(panel, "document.forms['extract'].elements['depth'].value='0';'typed'"), "typed");
    EXPECT_EQ(ClickPanelLink(panel, "/panel/extract"), "clicked");
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return ViewShows(host_.View(), "allImages.htm") && ViewShows(panel, "/214"); },
        kTimeoutMs))
        << BrowserViewAddress(host_.View()) << " / " << BrowserViewAddress(panel);

    EXPECT_EQ(ClickPanelLink(panel, "/panel/edit"), "clicked");
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return ViewShows(host_.View(), "allImages.htm") &&
                   Ask(host_.View(), "document.designMode") == "on";
        },
        kTimeoutMs))
        << Ask(host_.View(), "document.designMode");
    // The person types over the page in WebKit, then cancels.
    EXPECT_EQ(Ask(host_.View(),
                  "var p=document.createElement('p');p.id='typed';p.textContent='Typed';"
                  "document.body.insertBefore(p,document.body.firstChild);'typed'"),
              "typed");
    EXPECT_EQ(ClickPanelLink(panel, "/panel/cancel"), "clicked");
    EXPECT_TRUE(PumpScreenUntil(
        [&] {
            return ViewShows(host_.View(), "allImages.htm") &&
                   Ask(host_.View(), "String(document.getElementById('typed')===null)") == "true";
        },
        kTimeoutMs))
        << Ask(host_.View(), "document.body.innerHTML");
    EXPECT_EQ(Ask(host_.View(), "document.designMode"), "off");
    EXPECT_NE(Ask(host_.View(), "String(document.images.length)"), "0");
}

TEST_F(QuilletScreenTest, ThePrintCommandOpensWebKitsPrintDialogForThePanelsPage) {
    ASSERT_TRUE(host_.Create(site_.Url("/index.htm")));
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(host_.View(), "/index.htm"); }, kTimeoutMs));
    ASSERT_TRUE(host_.OpenBand(kBandTitle));
    const HWND panel = Panel();
    ASSERT_TRUE(PumpScreenUntil([&] { return ViewShows(panel, "/214"); }, kTimeoutMs));
    // The print asks the person first; the watch closes the dialog it opened.
    PrintDialogWatch watch;
    SendMessage(panel, WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 0), 0);
    EXPECT_FALSE(watch.SeenTitle().empty()) << "no print dialog was shown";
}

}  // namespace
