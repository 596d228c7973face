// A vertical band for the screen tests (tests/modules/TestBandInterface.h).
#include <atomic>
#include <memory>
#include <string>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComError.h"
#include "platform/com/ServerExports.h"
#include "platform/com/ServerRegistration.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"
#include "tests/modules/TestBandInterface.h"

namespace {

std::atomic<LONG> moduleLocks{0};

void WriteText(const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, kTestBandKey, &key) != ERROR_SUCCESS)
        return;
    RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                  static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

class TestBand;

// The panel: a browser control whose "#/panel/..." links are commands.
class PanelView final : public CHtmlView {
public:
    explicit PanelView(TestBand& band) : band_(band) {}

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD, const std::string&, const std::string&,
                           const std::string&, BOOL* cancel) override;

private:
    TestBand& band_;
};

class TestBand final : public IDeskBand, public IObjectWithSite {
public:
    TestBand() { ++moduleLocks; }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDeskBand || iid == IID_IDockingWindow ||
            iid == IID_IOleWindow)
            *object = static_cast<IDeskBand*>(this);
        else if (iid == IID_IObjectWithSite)
            *object = static_cast<IObjectWithSite*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleWindow
    HRESULT GetWindow(HWND* window) override {
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IDockingWindow
    HRESULT ShowDW(BOOL show) override {
        if (window_)
            ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
        return S_OK;
    }
    HRESULT CloseDW(DWORD) override {
        EndWindow();
        return S_OK;
    }
    HRESULT ResizeBorderDW(const RECT*, IUnknown*, BOOL) override { return E_NOTIMPL; }
    // IDeskBand
    HRESULT GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) override {
        if (info == nullptr)
            return S_OK;
        if (info->dwMask & DBIM_MINSIZE)
            info->ptMinSize = {kTestBandMinWidth, 30};
        if (info->dwMask & DBIM_ACTUAL)
            info->ptActual = {kTestBandActualWidth, -1};
        if (info->dwMask & DBIM_TITLE) {
            const std::u16string title = Utf8ToUtf16(kTestBandTitle);
            title.copy(info->wszTitle, std::size(info->wszTitle) - 1);
        }
        return S_OK;
    }
    // IObjectWithSite
    HRESULT SetSite(IUnknown* site) override {
        browser_.reset();
        if (site == nullptr) {
            EndWindow();
            return S_OK;
        }
        IOleWindow* oleWindow = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow))))
            return E_FAIL;
        HWND parent = nullptr;
        oleWindow->GetWindow(&parent);
        oleWindow->Release();
        IServiceProvider* services = nullptr;
        if (SUCCEEDED(
                site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services)))) {
            IWebBrowser2* browser = nullptr;
            if (SUCCEEDED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                                 reinterpret_cast<void**>(&browser))))
                browser_ = ComPointer<IWebBrowser2>::adopt(browser);
            services->Release();
        }
        window_ = CreateWindowForHandler(&holder_, 0, "TestBandWindow", "", WS_CHILD, 0, 0, 0, 0,
                                         parent, ControlIdMenu(1));
        if (window_ == nullptr)
            return E_FAIL;
        panel_ = std::make_unique<PanelView>(*this);
        if (!panel_->Create(window_, 1))
            return E_FAIL;
        holder_.panel = panel_->GetSafeHwnd();
        panel_->Navigate2(FormatText("res://%s/300", GetModuleFileName(ThisModule()).c_str()));
        return S_OK;
    }
    HRESULT GetSite(REFIID, void** site) override {
        *site = nullptr;
        return E_FAIL;
    }

    // A command link of the panel: the field's value through the model, then the host.
    void RunCommand(const std::string& command) {
        std::string value;
        try {
            if (auto document = panel_->GetHtmlDocument())
                if (auto field = document->GetElementById("target"))
                    value = field->Value();
        } catch (const ComError&) {
        }
        WriteText("LastCommand", command);
        WriteText("LastField", value);
        if (browser_ && !value.empty()) {
            BSTR address = Utf8ToBstr(value);
            browser_->Navigate(address, nullptr, nullptr, nullptr, nullptr);
            SysFreeString(address);
        }
    }

private:
    ~TestBand() {
        EndWindow();
        --moduleLocks;
    }

    void EndWindow() {
        if (panel_)
            panel_->DestroyWindow();
        panel_.reset();
        if (window_)
            DestroyWindow(window_);
        window_ = nullptr;
    }

    // The band's window keeps its panel over its whole client area.
    struct Holder final : WindowHandler {
        LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_SIZE && panel != nullptr && IsWindow(panel)) {
                RECT client{};
                GetClientRect(hwnd, &client);
                MoveWindow(panel, 0, 0, client.right, client.bottom, TRUE);
            }
            return DefWindowProc(hwnd, message, wParam, lParam);
        }
        HWND panel = nullptr;
    };

    std::atomic<ULONG> references_{0};
    HWND window_ = nullptr;
    Holder holder_;
    std::unique_ptr<PanelView> panel_;
    ComPointer<IWebBrowser2> browser_;
};

void PanelView::OnBeforeNavigate2(const std::string& url, DWORD, const std::string&,
                                  const std::string&, const std::string&, BOOL* cancel) {
    const std::string marker = "#/panel/";
    const std::size_t at = url.find(marker);
    if (at == std::string::npos)
        return;
    *cancel = TRUE;
    band_.RunCommand(url.substr(at + marker.size()));
}

class Factory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        return *object = nullptr, E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* band = new TestBand();
        band->AddRef();
        const HRESULT hr = band->QueryInterface(iid, object);
        band->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override {
        moduleLocks += lock ? 1 : -1;
        return S_OK;
    }
};

Factory factory;

RegistryScript Script() {
    const std::string key = "CLSID\\" + GuidToString(CLSID_TestBand);
    RegistryScript script;
    script.ownedKeys = {key};
    script.keys = {
        {key, {{"", kTestBandTitle}}},
        {key + "\\InprocServer32", {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
        {key + "\\Implemented Categories\\" + GuidToString(CATID_InfoBand), {}},
    };
    return script;
}

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (clsid != CLSID_TestBand)
        return *object = nullptr, CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return moduleLocks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT DllRegisterServer() {
    return RegisterServerScript(Script(), CurrentModulePath());
}

extern "C" HRESULT DllUnregisterServer() {
    return UnregisterServerScript(Script());
}
