// A web browser of the test's own for the finder bands: a top-level window holding a
// browser control on a local test site, and a band created by class id from the registry
// store, sited in it, as a browser does. Everything runs on the test's thread; PumpUntil
// serves it. Each band's fixture adds what its tests read of its panel.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The bands' timing: the crawl's short record, the panel's progress every 20 ms.
inline TimingRecord BandTestTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.panelProgressMs = 20;
    return timing;
}

// A frame window that does what any window does by default, and counts the markers
// posted to it (ServePostedMessages).
class TestFrame final : public WindowHandler {
public:
    static constexpr UINT WM_TEST_MARKER = WM_APP + 0x51;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TEST_MARKER) {
            markersServed = static_cast<int>(wParam);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    int markersServed = 0;
};

// A band module loaded by path, with its registration entry points.
class BandLibrary {
public:
    explicit BandLibrary(const char* path) {
        std::string reason;
        module_ = LoadSharedLibrary(path, &reason);
        if (module_ == nullptr) {
            ADD_FAILURE() << path << " does not load: " << reason;
            return;
        }
        register_ = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        unregister_ = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllUnregisterServer"));
    }
    ~BandLibrary() {
        if (module_ != nullptr)
            FreeSharedLibrary(module_);
    }
    BandLibrary(const BandLibrary&) = delete;
    BandLibrary& operator=(const BandLibrary&) = delete;
    HRESULT Register() const { return register_ ? register_() : E_FAIL; }
    HRESULT Unregister() const { return unregister_ ? unregister_() : E_FAIL; }

private:
    HLIBRARY module_ = nullptr;
    DllRegisterServerFunction register_ = nullptr;
    DllRegisterServerFunction unregister_ = nullptr;
};

// The test browser's own view. It records every address it is asked to show, and shows
// only the test's own pages (its servers on 127.0.0.1 and localhost, files, module
// pages): any other address, such as a product's web site, is recorded and refused, so
// no test reaches a server it did not start.
class TestHostView final : public CHtmlView {
public:
    std::vector<std::string> asked;

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD, const std::string&, const std::string&,
                           const std::string&, BOOL* cancel) override {
        asked.push_back(url);
        bool local = false;
        for (const char* start : {"http://127.0.0.1:", "http://localhost:", "file:", "res:"})
            local = local || url.rfind(start, 0) == 0;
        if (!local)
            *cancel = TRUE;
    }
};

class BandHostTest : public ::testing::Test {
protected:
    // The band of that module, class id and settings key (below HKEY_CURRENT_USER); its
    // storage folder; the local site's fixture folder ("" for routes alone).
    BandHostTest(const char* modulePath, const CLSID& classId, std::string settingsKey,
                 std::string storage, std::string siteFolder)
        : timing_(BandTestTiming()),
          library_(modulePath),
          site_(std::move(siteFolder)),
          storage_(std::move(storage)),
          classId_(classId),
          settingsKey_(std::move(settingsKey)) {}

    void SetUp() override {
        ASSERT_EQ(library_.Register(), S_OK);
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

    // A panel value before the band starts.
    void StoreSetting(const std::string& name, const std::string& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, settingsKey_, &key), ERROR_SUCCESS);
        RegWriteString(key, name, value);
        RegCloseKey(key);
    }

    // The host shows url, completely.
    void Browse(const std::string& url) {
        ASSERT_TRUE(host_.Navigate2(url));
        ASSERT_TRUE(PumpUntil([&] {
            auto document = host_.GetHtmlDocument();
            return document && document->ReadyState() == "complete" &&
                   host_.GetLocationURL() == url;
        })) << host_.GetLocationURL();
    }

    // Creates the band by class id and sites it in the frame; waits for its main page (the
    // tail of its address, "/214"). The storage folder is stored first unless keepSettings.
    void OpenBandShowing(const std::string& mainPage, bool keepSettings = false) {
        if (!keepSettings)
            StoreSetting("storage", storage_);
        ASSERT_EQ(CoCreateInstance(classId_, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                   bandObject_.putVoid()),
                  S_OK);
        bandSite_ = BandSite::Make(frame_, browser_.get());
        ASSERT_EQ(bandObject_->SetSite(static_cast<IOleWindow*>(bandSite_.get())), S_OK);
        ComPointer<IOleWindow> window = bandObject_.query<IOleWindow>();
        ASSERT_TRUE(window);
        ASSERT_EQ(window->GetWindow(&panelWindow_), S_OK);
        panel_ = CHtmlView::FromHandle(panelWindow_);
        ASSERT_NE(panel_, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return PanelShows(mainPage); }));
    }

    void CloseBand() {
        if (!bandObject_)
            return;
        if (ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>())
            desk->CloseDW(0);
        bandObject_->SetSite(nullptr);
        bandObject_.reset();
        panel_ = nullptr;
        // The panel's deferred clean-up.
        ServePostedMessages();
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

    // The value of the panel's field of that name in the first form of that name that
    // holds one (any form for ""): "checked" or "clear" for a check box.
    std::string PanelFieldIn(const std::string& form, const std::string& field) {
        auto document = panel_->GetHtmlDocument();
        if (!document)
            return "<no page>";
        for (LONG i = 0; i < document->Forms().Length(); ++i) {
            auto candidate = document->Forms().Item(i);
            if (!form.empty() && candidate->Name() != form)
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

    // Serves every message posted to the test's thread before the call: what a command
    // posted for later has been done once this returns. (A marker posted behind them is
    // served after them.)
    void ServePostedMessages() {
        const int marker = ++markersPosted_;
        ASSERT_TRUE(PostMessage(frame_, TestFrame::WM_TEST_MARKER, marker, 0));
        ASSERT_TRUE(PumpUntil([&] { return frameHandler_.markersServed >= marker; }));
    }

    // The site folder is the host with its port, without the ":".
    std::string ViewFolder(const std::string& view = "default") const {
        return storage_ + "\\127.0.0.1" + std::to_string(site_.Port()) + "\\" + view;
    }

    ScopedTiming timing_;
    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    BandLibrary library_;
    LocalSiteServer site_;
    std::string storage_;
    const CLSID classId_;
    const std::string settingsKey_;
    TestFrame frameHandler_;
    int markersPosted_ = 0;
    HWND frame_ = nullptr;
    TestHostView host_;
    ComPointer<IWebBrowser2> browser_;
    ComPointer<BandSite> bandSite_;
    ComPointer<IObjectWithSite> bandObject_;
    HWND panelWindow_ = nullptr;
    CHtmlView* panel_ = nullptr;
};
