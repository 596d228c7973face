// The file and MP3 finder bands on screen: each opened in the web browser beside a page
// of a local site, an extraction started by clicks in the band's web view, and the list
// page the hosting view ends on saved as a screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/timing/Timing.h"
#include "platform/ui/screen/Screen.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

constexpr int kTimeoutMs = 60000;

struct ScreenBand {
    const char* modulePath;
    const char* title;
    const char* settingsKey;
    const char* listPage;
    const char* screenshot;
};

class ListBandsScreenTest : public ::testing::Test {
protected:
    ListBandsScreenTest() : timing_(ShortCrawlTiming()) {}

    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        corvane_.emplace();
        server_.SetBody("/index.htm",
                        "<html><body><h1>Downloads</h1><ul>"
                        "<li><a href='/docs/guide.pdf'>The guide</a></li>"
                        "<li><a href='/docs/prices.pdf'>Prices</a></li>"
                        "<li><a href='/docs/OLD.PDF'>Old guide</a></li>"
                        "<li><a href='/music/theme.mp3'>Theme tune</a></li>"
                        "<li><a href='/music.htm'>More music</a></li></ul></body></html>");
        server_.SetBody("/music.htm",
                        "<html><body><a href='/music/theme.mp3'>Theme</a>"
                        "<a href='/music/encore.MP3'>Encore</a></body></html>");
    }
    void TearDown() override {
        host_.Destroy();
        if (module_)
            FreeSharedLibrary(module_);
        if (ScreenForTests())
            CoUninitialize();
    }

    void Register(const ScreenBand& band) {
        std::string reason;
        module_ = LoadSharedLibrary(band.modulePath, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, band.settingsKey, &key), ERROR_SUCCESS);
        // A text value, with its terminating zero, as the band's settings keep it.
        const std::string storage = std::string("c:\\screen\\") + band.title;
        RegSetValueEx(key, "storage", REG_SZ, reinterpret_cast<const BYTE*>(storage.c_str()),
                      static_cast<DWORD>(storage.size() + 1));
        RegCloseKey(key);
    }

    // The band's panel: its web view, once its main page is shown.
    HWND OpenPanel(const ScreenBand& band) {
        const std::string start = server_.Url("/index.htm");
        EXPECT_TRUE(host_.Create(start));
        EXPECT_TRUE(PumpScreenUntil(
            [&] {
                return BrowserViewAddress(host_.View()) == start &&
                       !BrowserViewLoading(host_.View());
            },
            kTimeoutMs));
        EXPECT_TRUE(host_.OpenBand(band.title));
        HWND panel = host_.BandWindow();
        if (GetClassName(panel) != kBrowserControlClassName)
            panel = GetWindow(panel, GW_CHILD);
        EXPECT_TRUE(PumpScreenUntil(
            [&] {
                return BrowserViewAddress(panel).rfind("res://", 0) == 0 &&
                       !BrowserViewLoading(panel);
            },
            kTimeoutMs));
        return panel;
    }

    // Types text into the panel's field as a person does, in WebKit.
    void TypeInPanel(HWND panel, const std::string& field, const std::string& text) {
        std::string answer;
        ASSERT_TRUE(RunScriptInBrowserView(
            panel,
            "var f=document.getElementsByName('" + field + "')[0];f.focus();f.value='" + text +
                "';f.dispatchEvent(new Event('input',{bubbles:true}));'typed'",
            &answer, kTimeoutMs));
        ASSERT_EQ(answer, "typed");
    }

    // Clicks extract in the panel and waits for the list page in the hosting view.
    void ExtractAndShoot(HWND panel, const ScreenBand& band) {
        std::string answer;
        ASSERT_TRUE(RunScriptInBrowserView(
            panel, "document.querySelector('a[href=\"#/panel/extract\"]').click();'clicked'",
            &answer, kTimeoutMs));
        ASSERT_TRUE(PumpScreenUntil(
            [&] {
                return BrowserViewAddress(host_.View()).find(band.listPage) != std::string::npos &&
                       !BrowserViewLoading(host_.View());
            },
            kTimeoutMs))
            << "host shows " << BrowserViewAddress(host_.View());
        const std::string shot = ScreenshotPath(band.screenshot);
        ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(), shot));
        EXPECT_GT(std::filesystem::file_size(shot), 1000u);
    }

    // The text the hosting view shows.
    std::string HostText() {
        std::string text;
        EXPECT_TRUE(
            RunScriptInBrowserView(host_.View(), "document.body.innerText", &text, kTimeoutMs));
        return text;
    }

    ScopedTiming timing_;
    ScopedRegistryStore store_;
    std::optional<RegisteredCorvane> corvane_;
    LocalSiteServer server_;
    HLIBRARY module_ = nullptr;
    BrowserHost host_;
};

TEST_F(ListBandsScreenTest, TheFileBandListsThePdfsOfThePage) {
    const ScreenBand band{DOVETINE_MODULE_PATH, "Ferncastle", "Software\\Morvelle\\Ferncastle",
                          "allFiles.htm", "ferncastle-list"};
    Register(band);
    const HWND panel = OpenPanel(band);
    TypeInPanel(panel, "filter", "pdf");
    TypeInPanel(panel, "depth", "0");
    ExtractAndShoot(panel, band);
    const std::string text = HostText();
    EXPECT_NE(text.find("guide.pdf"), std::string::npos) << text;
    EXPECT_NE(text.find("prices.pdf"), std::string::npos) << text;
    EXPECT_EQ(text.find("OLD.PDF"), std::string::npos) << text;
}

TEST_F(ListBandsScreenTest, TheMp3BandListsTheMp3sOfTheSite) {
    const ScreenBand band{HARROWBY_MODULE_PATH, "Harrowby", "Software\\Morvelle\\Harrowby",
                          "allMP3s.htm", "harrowby-list"};
    Register(band);
    const HWND panel = OpenPanel(band);
    TypeInPanel(panel, "depth", "1");
    ExtractAndShoot(panel, band);
    const std::string text = HostText();
    EXPECT_NE(text.find("theme.mp3"), std::string::npos) << text;
    EXPECT_NE(text.find("encore.MP3"), std::string::npos) << text;
}

}  // namespace
