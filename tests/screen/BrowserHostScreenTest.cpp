// The web browser on screen with the test band: a real click in the band's web view runs
// the band's command, which reads the typed field through the model and makes the
// hosting view navigate.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/ui/screen/Screen.h"
#include "platform/window/WindowTree.h"
#include "tests/modules/TestBandInterface.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"

namespace {

constexpr int kTimeoutMs = 20000;

std::string ReadBandValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kTestBandKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string data;
    DWORD type = 0;
    RegQueryValueBytes(key, name, &type, &data);
    RegCloseKey(key);
    while (!data.empty() && data.back() == '\0')
        data.pop_back();
    return data;
}

class BrowserHostScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        std::string reason;
        module_ = LoadSharedLibrary(TEST_BAND_MODULE, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        server_.SetBody("/index.htm", "<html><body><h1>Start page</h1></body></html>");
        server_.SetBody("/next.htm",
                        "<html><body><h1 id='h'>Next page</h1><p>Opened by the band.</p>"
                        "</body></html>");
    }
    void TearDown() override {
        host_.Destroy();
        if (module_)
            FreeSharedLibrary(module_);
        if (ScreenForTests())
            CoUninitialize();
    }

    // The view shows url, in the model and in WebKit, and is done loading.
    bool Shows(HWND control, const std::string& url) {
        CHtmlView* view = BrowserControlFromWindow(control);
        return view && view->GetLocationURL() == url && BrowserViewAddress(control) == url &&
               !BrowserViewLoading(control);
    }

    LocalSiteServer server_;
    HLIBRARY module_ = nullptr;
    BrowserHost host_;
};

TEST_F(BrowserHostScreenTest, ListsTheRegisteredBandAndHostsItWithItsWidth) {
    const std::vector<RegisteredBand> bands = RegisteredVerticalBands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].clsid, CLSID_TestBand);
    EXPECT_EQ(bands[0].title, kTestBandTitle);

    ASSERT_TRUE(host_.Create(server_.Url("/index.htm")));
    EXPECT_FALSE(host_.OpenBand("No such band"));
    ASSERT_TRUE(host_.OpenBand(kTestBandTitle));
    EXPECT_EQ(host_.PaneWidth(), kTestBandActualWidth);
    const HWND band = host_.BandWindow();
    ASSERT_TRUE(IsWindow(band));
    EXPECT_EQ(GetParent(band), host_.BandPane());
    RECT pane{};
    GetWindowRect(host_.BandPane(), &pane);
    EXPECT_EQ(pane.right - pane.left, kTestBandActualWidth);

    host_.CloseBand();
    EXPECT_FALSE(IsWindow(band));
    EXPECT_EQ(host_.BandWindow(), nullptr);
    EXPECT_EQ(host_.PaneWidth(), 0);
}

TEST_F(BrowserHostScreenTest, AClickInTheBandsViewRunsItsCommandAndTheHostNavigates) {
    const std::string start = server_.Url("/index.htm");
    const std::string next = server_.Url("/next.htm");
    ASSERT_TRUE(host_.Create(start));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(host_.View(), start); }, kTimeoutMs));
    ASSERT_TRUE(host_.OpenBand(kTestBandTitle));
    const HWND panel = GetWindow(host_.BandWindow(), GW_CHILD);
    ASSERT_EQ(GetClassName(panel), kBrowserControlClassName);
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return BrowserViewAddress(panel).rfind("res://", 0) == 0 && !BrowserViewLoading(panel);
        },
        kTimeoutMs));

    // The person types the address into the page's field and clicks the link, in WebKit.
    std::string answer;
    ASSERT_TRUE(
        RunScriptInBrowserView(panel,
                               "var f=document.getElementById('target');f.focus();"
                               "f.value='" +
                                   next +
                                   "';"
                                   "f.dispatchEvent(new Event('input',{bubbles:true}));'typed'",
                               &answer, kTimeoutMs));
    EXPECT_EQ(answer, "typed");
    ASSERT_TRUE(RunScriptInBrowserView(panel, "document.getElementById('go').click();'clicked'",
                                       &answer, kTimeoutMs));

    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(host_.View(), next); }, kTimeoutMs))
        << "host shows " << BrowserViewAddress(host_.View());
    EXPECT_EQ(ReadBandValue("LastCommand"), "open");
    // The value the person typed, read by the band through the model.
    EXPECT_EQ(ReadBandValue("LastField"), next);
    // The command link was cancelled: the panel still shows its page.
    EXPECT_EQ(BrowserViewAddress(panel).rfind("res://", 0), 0u);

    // The model of the hosting view reads the page WebKit shows.
    std::string title;
    ASSERT_TRUE(RunScriptInBrowserView(host_.View(),
                                       "document.getElementById('h').textContent='Changed';'ok'",
                                       &title, kTimeoutMs));
    CHtmlView* view = BrowserControlFromWindow(host_.View());
    ASSERT_NE(view, nullptr);
    auto document = view->GetHtmlDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetElementById("h")->InnerText(), "Changed");

    const std::string shot = ScreenshotPath("browser-with-test-band");
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), shot));
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

TEST_F(BrowserHostScreenTest, WritesOfTheCodeReachThePageShown) {
    const std::string start = server_.Url("/next.htm");
    ASSERT_TRUE(host_.Create(start));
    ASSERT_TRUE(PumpScreenUntil([&] { return Shows(host_.View(), start); }, kTimeoutMs));
    CHtmlView* view = BrowserControlFromWindow(host_.View());
    ASSERT_NE(view, nullptr);
    auto document = view->GetHtmlDocument();
    ASSERT_NE(document, nullptr);
    document->GetElementById("h")->SetInnerText("Written by the code");
    document->GetElementById("h")->SetAttribute("title", "set");
    std::string text;
    ASSERT_TRUE(RunScriptInBrowserView(
        host_.View(), "var h=document.getElementById('h');h.textContent+'|'+h.title", &text,
        kTimeoutMs));
    EXPECT_EQ(text, "Written by the code|set");

    view->SetDesignMode("On");
    ASSERT_TRUE(RunScriptInBrowserView(host_.View(), "document.designMode", &text, kTimeoutMs));
    EXPECT_EQ(text, "on");
}

}  // namespace
