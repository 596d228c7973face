// A web browser of the test's own: a top-level window holding a browser control on a
// local test site, and the image finder band created by class id from the registry
// store, sited in it. Everything runs on the test's thread; PumpUntil serves it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "engine/util/RegistryValues.h"
#include "platform/browser/BandSite.h"
#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/timing/Timing.h"
#include "platform/window/WindowTree.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

inline constexpr CLSID kQuilletClassId = {
    0x0FF527A4, 0x6274, 0x44FF, {0xA1, 0x4C, 0xC2, 0xFB, 0x99, 0xE6, 0x48, 0xC9}};

inline TimingRecord QuilletTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.panelProgressMs = 20;
    return timing;
}

// A frame window that does what any window does by default.
class TestFrame final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
};

class QuilletModule {
public:
    QuilletModule() {
        std::string reason;
        module_ = LoadSharedLibrary(QUILLET_MODULE_PATH, &reason);
        if (module_ == nullptr) {
            ADD_FAILURE() << "Quillet does not load: " << reason;
            return;
        }
        registerServer_ = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        unregisterServer_ = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllUnregisterServer"));
    }
    ~QuilletModule() {
        if (module_ != nullptr)
            FreeSharedLibrary(module_);
    }
    HRESULT Register() const { return registerServer_ ? registerServer_() : E_FAIL; }
    HRESULT Unregister() const { return unregisterServer_ ? unregisterServer_() : E_FAIL; }

private:
    HLIBRARY module_ = nullptr;
    DllRegisterServerFunction registerServer_ = nullptr;
    DllRegisterServerFunction unregisterServer_ = nullptr;
};

class QuilletTest : public ::testing::Test {
protected:
    QuilletTest() : timing_(QuilletTiming()) {
        static std::atomic<int> count{0};
        storage_ = "c:\\quillet\\storage" + std::to_string(++count);
    }

    void SetUp() override {
        ASSERT_EQ(quillet_.Register(), S_OK);
        frame_ = CreateWindowForHandler(&frameHandler_, 0, "TestFrame", "Test browser",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 900, nullptr,
                                        nullptr);
        ASSERT_NE(frame_, nullptr);
        ASSERT_TRUE(host_.Create(frame_, 100));
        ComPointer<IUnknown> control(host_.GetControlUnknown());
        browser_ = control.query<IWebBrowser2>();
        ASSERT_TRUE(browser_);
    }

    void TearDown() override {
        CloseBand();
        host_.DestroyWindow();
        DestroyWindow(frame_);
        PumpPending();
    }

    // The panel's values before the band starts.
    void StoreSetting(const std::string& name, const std::string& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &key),
                  ERROR_SUCCESS);
        RegWriteString(key, name, value);
        RegCloseKey(key);
    }
    std::string StoredSetting(const std::string& name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return "<no key>";
        std::string value = RegReadString(key, name);
        RegCloseKey(key);
        return value;
    }

    // The host shows url.
    void Browse(const std::string& url) {
        ASSERT_TRUE(host_.Navigate2(url));
        ASSERT_TRUE(PumpUntil([&] { return HostShowsComplete(url); })) << host_.GetLocationURL();
    }
    bool HostShowsComplete(const std::string& url) {
        auto document = host_.GetHtmlDocument();
        return document && document->ReadyState() == "complete" && host_.GetLocationURL() == url;
    }

    // Creates the band by class id and sites it in the frame; waits for its main page.
    void OpenBand() {
        StoreSetting("storage", storage_);
        ASSERT_EQ(CoCreateInstance(kQuilletClassId, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IObjectWithSite, band_.putVoid()),
                  S_OK);
        bandSite_ = BandSite::Make(frame_, browser_.get());
        ASSERT_EQ(band_->SetSite(static_cast<IOleWindow*>(bandSite_.get())), S_OK);
        ComPointer<IOleWindow> window = band_.query<IOleWindow>();
        ASSERT_TRUE(window);
        ASSERT_EQ(window->GetWindow(&panelWindow_), S_OK);
        panel_ = CHtmlView::FromHandle(panelWindow_);
        ASSERT_NE(panel_, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return PanelShows("/214"); }));
    }

    void CloseBand() {
        if (!band_)
            return;
        if (ComPointer<IDeskBand> desk = band_.query<IDeskBand>())
            desk->CloseDW(0);
        band_->SetSite(nullptr);
        band_.reset();
        panel_ = nullptr;
        PumpPending();
    }

    // Whether the panel shows its page of that tail ("/214") completely.
    bool PanelShows(const std::string& tail) {
        if (panel_ == nullptr)
            return false;
        auto document = panel_->GetHtmlDocument();
        // A command link moves the page to its fragment; the page stays.
        const std::string location =
            panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
        return document && document->ReadyState() == "complete" && location.size() >= tail.size() &&
               location.compare(location.size() - tail.size(), tail.size(), tail) == 0;
    }
    bool HostShowsPage(const std::string& name) {
        return host_.GetLocationURL().find(name) != std::string::npos &&
               host_.GetHtmlDocument() != nullptr;
    }

    std::string PanelField(const std::string& form, const std::string& field) {
        auto document = panel_->GetHtmlDocument();
        if (!document)
            return "<no page>";
        for (LONG i = 0; i < document->Forms().Length(); ++i) {
            auto candidate = document->Forms().Item(i);
            if (candidate->Name() != form)
                continue;
            for (LONG k = 0; k < candidate->Elements().Length(); ++k) {
                auto element = candidate->Elements().Item(k);
                if (element->Name() == field)
                    return element->GetAttribute("type") == "checkbox"
                               ? (element->Checked() ? "checked" : "clear")
                               : element->Value();
            }
        }
        return "<none>";
    }

    HRESULT Click(const std::string& href) { return panel_->ClickLink(href); }

    // An extraction from the panel with the given depth, to its end.
    void Extract(const std::string& depth) {
        ASSERT_EQ(panel_->TypeIntoField("extract", "depth", depth), S_OK);
        ASSERT_EQ(Click("#/panel/extract"), S_OK);
        ASSERT_TRUE(PumpUntil([&] { return PanelShows("/215"); }));
        ASSERT_TRUE(PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); },
                              std::chrono::seconds(60)))
            << host_.GetLocationURL();
    }

    std::string ViewFolder(const std::string& view = "default") const {
        return storage_ + "\\127.0.0.1\\" + view;
    }

    ScopedTiming timing_;
    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    QuilletModule quillet_;
    LocalSiteServer site_{std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site"};
    std::string storage_;
    TestFrame frameHandler_;
    HWND frame_ = nullptr;
    CHtmlView host_;
    ComPointer<IWebBrowser2> browser_;
    ComPointer<BandSite> bandSite_;
    ComPointer<IObjectWithSite> band_;
    HWND panelWindow_ = nullptr;
    CHtmlView* panel_ = nullptr;
};
