// Wrenlow as a browser meets it: the built libWrenlow.so registered in the test's own
// registry store, the band made by CoCreateInstance and sited in a window with or
// without a browser, and its Extract command recorded by the shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/browser/BandSite.h"
#include "platform/browser/CWebBrowser2.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/ComLibrary.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Toolbar.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"
#include "toolbar/GorsebeckInterfaces.h"

namespace {

constexpr const char* kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr const char* kClassId = "{5DE4E98D-DE09-4BC3-8A70-A6D9A24F4EC9}";

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A site that gives the band its window and nothing else: no focus reports, no browser.
class WindowOnlySite final : public IOleWindow {
public:
    explicit WindowOnlySite(HWND window) : window_(window) {}
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IOleWindow)
            return E_NOINTERFACE;
        *object = static_cast<IOleWindow*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }  // lives on the test's stack
    HRESULT GetWindow(HWND* window) override {
        if (!window)
            return E_INVALIDARG;
        *window = window_;
        return S_OK;
    }
    HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
    ULONG References() const { return references_; }

private:
    HWND window_;
    ULONG references_ = 0;
};

std::string Folder(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

class WrenlowTest : public testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        module_ = LoadSharedLibrary(WRENLOW_MODULE_PATH, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        ASSERT_EQ(Call("DllRegisterServer"), S_OK);
        frame_ = CreateWindowForHandler(&frameHandler_, 0, "BrowserFrame", "", WS_VISIBLE, 0, 0,
                                        640, 60, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
        ASSERT_EQ(
            CoCreateInstance(CLSID_Gorsebeck, nullptr, CLSCTX_ALL, IID_IDeskBand, band_.putVoid()),
            S_OK);
        withSite_ = band_.query<IObjectWithSite>();
        ASSERT_TRUE(withSite_);
    }
    void TearDown() override {
        if (withSite_)
            withSite_->SetSite(nullptr);
        withSite_.reset();
        band_.reset();
        if (frame_)
            DestroyWindow(frame_);
        if (module_) {
            EXPECT_EQ(Call("DllCanUnloadNow"), S_OK) << "no band lives";
            FreeSharedLibrary(module_);
        }
    }
    HRESULT Call(const char* entry) {
        auto function = reinterpret_cast<HRESULT (*)()>(GetLibrarySymbol(module_, entry));
        return function ? function() : E_NOTIMPL;
    }
    HWND Toolbar() {
        HWND host = nullptr;
        band_->GetWindow(&host);
        return host ? GetWindow(host, GW_CHILD) : nullptr;
    }

    ScopedRegistryStore store_;
    RecordingShell shell_;
    HLIBRARY module_ = nullptr;
    FunctionWindow frameHandler_{nullptr};
    HWND frame_ = nullptr;
    ComPointer<IDeskBand> band_;
    ComPointer<IObjectWithSite> withSite_;
};

}  // namespace

TEST_F(WrenlowTest, RegistrationWritesTheToolbarValueAndTheClassKeys) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    std::string data = "x";
    EXPECT_EQ(RegQueryValueBytes(key, kClassId, &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(data.size(), 0u) << "a binary value of length 0";
    RegCloseKey(key);

    const auto value = [](const std::string& path, const std::string& name) {
        HKEY opened = nullptr;
        if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return std::string("<no key>");
        DWORD kind = 0;
        std::string bytes;
        const LONG result = RegQueryValueBytes(opened, name, &kind, &bytes);
        RegCloseKey(opened);
        if (result != ERROR_SUCCESS)
            return std::string("<no value>");
        return bytes.substr(0, bytes.find('\0'));
    };
    const std::string clsid = std::string("CLSID\\") + kClassId;
    EXPECT_EQ(value(clsid, ""), "Sollet");
    EXPECT_EQ(value(clsid + "\\ProgID", ""), "Gorsebeck.Gorsebeck.1");
    EXPECT_EQ(value(clsid + "\\VersionIndependentProgID", ""), "Gorsebeck.Gorsebeck");
    EXPECT_EQ(value(clsid + "\\InprocServer32", ""), std::string(WRENLOW_MODULE_PATH));
    EXPECT_EQ(value(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(value(clsid + "\\TypeLib", ""), "{FB1CCD0F-D917-435A-9E2E-4B21DDE5B68E}");
    EXPECT_EQ(value(clsid + "\\Programmable", "x"), "<no value>") << "the key alone";
    EXPECT_EQ(value("Gorsebeck.Gorsebeck.1", ""), "Gorsebeck Class");
    EXPECT_EQ(value("Gorsebeck.Gorsebeck\\CurVer", ""), "Gorsebeck.Gorsebeck.1");
    EXPECT_EQ(value("Gorsebeck.Gorsebeck\\CLSID", ""), kClassId);

    band_.reset();
    withSite_.reset();
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(RegQueryValueBytes(key, kClassId, &type, &data), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(value(clsid, ""), "<no key>");
}

TEST_F(WrenlowTest, BandInfoAndWindows) {
    EXPECT_EQ(band_->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, nullptr), S_OK);
    DESKBANDINFO info;
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                  DBIM_MODEFLAGS | DBIM_BKCOLOR;
    EXPECT_EQ(band_->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &info), S_OK);
    EXPECT_EQ(info.ptMinSize.x, 250);
    EXPECT_EQ(info.ptMinSize.y, 22);
    EXPECT_EQ(info.ptMaxSize.y, -1);
    EXPECT_EQ(info.ptActual.x, 250);
    EXPECT_EQ(std::u16string(info.wszTitle), u"Sollet");
    EXPECT_EQ(info.dwModeFlags, DBIMF_VARIABLEHEIGHT);
    EXPECT_EQ(info.dwMask & DBIM_BKCOLOR, 0u) << "the default background";
    EXPECT_EQ(band_->GetWindow(nullptr), E_INVALIDARG);
    EXPECT_EQ(band_->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);

    ComPointer<BandSite> site = BandSite::Make(frame_, nullptr);
    ASSERT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(site.get())), S_OK);
    HWND host = nullptr;
    ASSERT_EQ(band_->GetWindow(&host), S_OK);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(GetParent(host), frame_);
    EXPECT_FALSE(IsWindowVisible(host)) << "hidden until ShowDW";
    EXPECT_EQ(GetClassName(Toolbar()), "WrenlowToolbar");
    ASSERT_EQ(SendMessage(Toolbar(), TB_BUTTONCOUNT, 0, 0), 1);
    TBBUTTON button;
    ASSERT_TRUE(SendMessage(Toolbar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(button.idCommand, 500);
    EXPECT_EQ(button.fsStyle, BTNS_AUTOSIZE | BTNS_SHOWTEXT);
    EXPECT_EQ(button.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
    char text[32] = {};
    SendMessage(Toolbar(), TB_GETBUTTONTEXT, 500, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Extract");
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessage(Toolbar(), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 1);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    // The button's picture is the module's icon 128, drawn 16 x 16.
    const HMODULE module = LoadLibrary(WRENLOW_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    const HICON icon = LoadIcon(module, 128);
    ASSERT_NE(icon, nullptr);
    std::vector<DWORD> pixels;
    ASSERT_TRUE(GetIconPixels(icon, &width, &height, &pixels));
    ASSERT_EQ(width, 16);
    DrawingSurface drawn(16, 16);
    ASSERT_TRUE(ImageList_Draw(images, 0, drawn.Dc(), 0, 0, ILD_TRANSPARENT));
    for (const int at : {1 * 16 + 1, 7 * 16 + 7, 12 * 16 + 3}) {
        const DWORD pixel = pixels[static_cast<std::size_t>(at)];
        EXPECT_EQ(drawn.Pixel(at % 16, at / 16),
                  RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF))
            << at;
    }
    FreeLibrary(module);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(Toolbar(), GWL_STYLE)), 0x5401BB4Du);
    EXPECT_EQ(band_->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(IsWindowVisible(host));
    EXPECT_EQ(band_->CloseDW(0), S_OK);
    EXPECT_FALSE(IsWindowVisible(host));

    // A second site: the first host window goes, one host window stays.
    ComPointer<BandSite> second = BandSite::Make(frame_, nullptr);
    ASSERT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(second.get())), S_OK);
    EXPECT_FALSE(IsWindow(host));
    EXPECT_EQ(Children(frame_).size(), 1u);

    // A site without a window fails.
    ComPointer<BandSite> windowless = BandSite::Make(nullptr, nullptr);
    EXPECT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(windowless.get())), E_FAIL);
    EXPECT_TRUE(Children(frame_).empty());

    // A site with a window but no focus reports fails too, and leaves no host window.
    WindowOnlySite windowOnly(frame_);
    EXPECT_EQ(withSite_->SetSite(&windowOnly), E_FAIL);
    EXPECT_TRUE(Children(frame_).empty()) << "the host window made for it is gone";
    HWND none = frame_;
    EXPECT_EQ(band_->GetWindow(&none), S_OK);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(windowOnly.References(), 0u) << "the band keeps no reference to the site";
    // A working site afterwards gets its one host window.
    ComPointer<BandSite> third = BandSite::Make(frame_, nullptr);
    ASSERT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(third.get())), S_OK);
    EXPECT_EQ(Children(frame_).size(), 1u);
}

TEST_F(WrenlowTest, ExtractStartsSolletBesideTheModuleWithThePageAddressWhole) {
    // Without a browser: the switch alone.
    ComPointer<BandSite> site = BandSite::Make(frame_, nullptr);
    ASSERT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(site.get())), S_OK);
    EXPECT_FALSE(ControlInput::ClickToolbarButton(Toolbar(), 500)) << "hidden until ShowDW";
    ASSERT_EQ(band_->ShowDW(TRUE), S_OK);
    ASSERT_TRUE(ControlInput::ClickToolbarButton(Toolbar(), 500));
    SendMessage(Toolbar(), WM_COMMAND, MAKEWPARAM(501, 0), 0);  // not a command of the band
    ASSERT_EQ(shell_.starts.size(), 1u);
    EXPECT_EQ(shell_.starts[0].program, Folder(WRENLOW_MODULE_PATH) + "/sollet");
    EXPECT_EQ(shell_.starts[0].arguments, StringArray{"-httpvrl"});

    // With a browser showing a page whose address holds "%20" and a blank-free query.
    LocalSiteServer server;
    server.SetBody("/my page.htm", "<html><body>page</body></html>");
    CWebBrowser2 browser;
    ASSERT_TRUE(browser.Create(frame_, 1000));
    const std::string address = server.Url("/my%20page.htm?a=1&b=%202");
    ASSERT_TRUE(browser.Navigate(address));
    ASSERT_TRUE(WaitUntil([&] {
        ServePendingMessages(nullptr);
        auto document = browser.View().GetHtmlDocument();
        return document && document->ReadyState() == "complete";
    }));
    ComPointer<IWebBrowser2> web;
    browser.GetControlUnknown()->QueryInterface(IID_IWebBrowser2, web.putVoid());
    ASSERT_TRUE(web);
    ComPointer<BandSite> browsing = BandSite::Make(frame_, web.get());
    ASSERT_EQ(withSite_->SetSite(static_cast<IOleWindow*>(browsing.get())), S_OK);
    ASSERT_TRUE(band_->ShowDW(TRUE) == S_OK);
    ASSERT_TRUE(ControlInput::ClickToolbarButton(Toolbar(), 500));
    ASSERT_EQ(shell_.starts.size(), 2u);
    EXPECT_EQ(shell_.starts[1].arguments, (StringArray{"-httpvrl", address}));
    withSite_->SetSite(nullptr);
    browser.DestroyWindow();
}
