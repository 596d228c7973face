// A web browser of the test's own for the list bands (the file finder band Ferncastle
// and the MP3 finder band Harrowby): a top-level window holding a browser control on a
// local test site, and the band created by class id from the registry store, sited in
// it, as a browser does. Everything runs on the test's thread; PumpUntil serves it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

// What the test knows of one band module.
struct ListBandUnderTest {
    const char* modulePath;
    CLSID classId;
    const char* title;
    const char* settingsKey;  // below HKEY_CURRENT_USER
    const char* mainPage;     // the tail of the main page's address ("/222")
    const char* progressPage;
    const char* markerPage;  // the list page of a view
};

inline const ListBandUnderTest kFileBand = {
    DOVETINE_MODULE_PATH,
    {0x7F0EA224, 0x395B, 0x4E44, {0x97, 0x65, 0x79, 0x25, 0x8A, 0xE5, 0xF4, 0xA0}},
    "Ferncastle",
    "Software\\Morvelle\\Ferncastle",
    "/222",
    "/217",
    "allFiles.htm"};

inline const ListBandUnderTest kMp3Band = {
    HARROWBY_MODULE_PATH,
    {0xFF1D8FCB, 0x4F52, 0x4D19, {0x95, 0xCC, 0xCD, 0x02, 0x9C, 0x32, 0x2B, 0x70}},
    "Harrowby",
    "Software\\Morvelle\\Harrowby",
    "/216",
    "/217",
    "allMP3s.htm"};

// A frame window that does what any window does by default.
class ListTestFrame final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
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

inline TimingRecord ListBandTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.panelProgressMs = 20;
    return timing;
}

class ListBandTest : public ::testing::Test {
protected:
    explicit ListBandTest(const ListBandUnderTest& band)
        : band_(band), timing_(ListBandTiming()), library_(band.modulePath) {
        static std::atomic<int> count{0};
        storage_ = "c:\\lists\\bandstorage" + std::to_string(++count);
    }

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

    void StoreSetting(const std::string& name, const std::string& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, band_.settingsKey, &key), ERROR_SUCCESS);
        RegWriteString(key, name, value);
        RegCloseKey(key);
    }
    // The stored value, "<none>" for a value or "<no key>" for a key that is missing.
    std::string StoredSetting(const std::string& name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, band_.settingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        DWORD type = 0;
        std::string data;
        const bool found = RegQueryValueBytes(key, name, &type, &data) == ERROR_SUCCESS;
        std::string value = found ? RegReadString(key, name) : "<none>";
        RegCloseKey(key);
        return value;
    }

    void Browse(const std::string& url) {
        ASSERT_TRUE(host_.Navigate2(url));
        ASSERT_TRUE(PumpUntil([&] {
            auto document = host_.GetHtmlDocument();
            return document && document->ReadyState() == "complete" &&
                   host_.GetLocationURL() == url;
        })) << host_.GetLocationURL();
    }

    // Creates the band by class id and sites it in the frame; waits for its main page.
    // The storage folder is stored first unless keepSettings.
    void OpenBand(bool keepSettings = false) {
        if (!keepSettings)
            StoreSetting("storage", storage_);
        ASSERT_EQ(CoCreateInstance(band_.classId, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IObjectWithSite, bandObject_.putVoid()),
                  S_OK);
        bandSite_ = BandSite::Make(frame_, browser_.get());
        ASSERT_EQ(bandObject_->SetSite(static_cast<IOleWindow*>(bandSite_.get())), S_OK);
        ComPointer<IOleWindow> window = bandObject_.query<IOleWindow>();
        ASSERT_TRUE(window);
        ASSERT_EQ(window->GetWindow(&panelWindow_), S_OK);
        panel_ = CHtmlView::FromHandle(panelWindow_);
        ASSERT_NE(panel_, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return PanelShows(band_.mainPage); }));
    }

    void CloseBand() {
        if (!bandObject_)
            return;
        if (ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>())
            desk->CloseDW(0);
        bandObject_->SetSite(nullptr);
        bandObject_.reset();
        panel_ = nullptr;
        PumpPending();
    }

    bool PanelShows(const std::string& tail) {
        if (panel_ == nullptr)
            return false;
        auto document = panel_->GetHtmlDocument();
        const std::string location =
            panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
        return document && document->ReadyState() == "complete" && location.size() >= tail.size() &&
               location.compare(location.size() - tail.size(), tail.size(), tail) == 0;
    }
    bool HostShowsPage(const std::string& name) {
        return host_.GetLocationURL().find(name) != std::string::npos &&
               host_.GetHtmlDocument() != nullptr;
    }

    std::string PanelField(const std::string& field) {
        auto document = panel_->GetHtmlDocument();
        if (!document)
            return "<no page>";
        for (LONG i = 0; i < document->Forms().Length(); ++i) {
            auto form = document->Forms().Item(i);
            for (LONG k = 0; k < form->Elements().Length(); ++k) {
                auto element = form->Elements().Item(k);
                if (element->Name() == field)
                    return element->GetAttribute("type") == "checkbox"
                               ? (element->Checked() ? "checked" : "clear")
                               : element->Value();
            }
        }
        return "<none>";
    }

    HRESULT Click(const std::string& href) { return panel_->ClickLink(href); }
    // A command that no link of the page carries, as an address of the panel's page.
    void Command(const std::string& fragment) {
        const std::string page =
            panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
        ASSERT_TRUE(panel_->Navigate2(page + "#" + fragment));
        PumpPending();
    }
    HRESULT Type(const std::string& field, const std::string& text) {
        return panel_->TypeIntoField("extract", field, text);
    }

    // An extraction from the panel, to its end: the host shows the list page and the
    // panel its main page again.
    void Extract() {
        ASSERT_EQ(Click("#/panel/extract"), S_OK);
        ASSERT_TRUE(
            PumpUntil([&] { return HostShowsPage(band_.markerPage) && PanelShows(band_.mainPage); },
                      std::chrono::seconds(60)))
            << host_.GetLocationURL();
    }

    std::string ViewFolder(const std::string& view = "default") const {
        return storage_ + "\\127.0.0.1\\" + view;
    }
    std::string ListPage(const std::string& view = "default") const {
        return ViewFolder(view) + "\\" + band_.markerPage;
    }

    const ListBandUnderTest& band_;
    ScopedTiming timing_;
    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    BandLibrary library_;
    LocalSiteServer site_;
    std::string storage_;
    ListTestFrame frameHandler_;
    HWND frame_ = nullptr;
    CHtmlView host_;
    ComPointer<IWebBrowser2> browser_;
    ComPointer<BandSite> bandSite_;
    ComPointer<IObjectWithSite> bandObject_;
    HWND panelWindow_ = nullptr;
    CHtmlView* panel_ = nullptr;
};
