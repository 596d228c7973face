// The band object: a browser's toolbar band that shows the Extract toolbar in a host
// window of its own, and finds the browser through its site.
//
// Threading: the browser's thread that owns the site's window, like every COM call on it.
#pragma once

#include <atomic>
#include <memory>

#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/OleInterfaces.h"
#include "toolbar/BandHostWindow.h"
#include "toolbar/GorsebeckInterfaces.h"

// How many band objects live; the module may unload only at 0.
LONG LiveGorsebeckObjects();

class CGorsebeck final : public IDeskBand,
                         public IObjectWithSite,
                         public IInputObject,
                         public IGorsebeck {
public:
    // A new band asked for iid.
    static HRESULT Create(REFIID iid, void** object);

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    // IOleWindow
    HRESULT GetWindow(HWND* window) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
    // IDockingWindow
    HRESULT ShowDW(BOOL show) override;
    HRESULT CloseDW(DWORD reserved) override;
    HRESULT ResizeBorderDW(const RECT*, IUnknown*, BOOL) override { return E_NOTIMPL; }
    // IDeskBand: 250 x 22 at least and ideally, any width, variable height, "Sollet".
    HRESULT GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;
    // IObjectWithSite
    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID iid, void** site) override;
    // IInputObject
    HRESULT UIActivateIO(BOOL, MSG*) override { return S_OK; }
    HRESULT HasFocusIO() override;
    HRESULT TranslateAcceleratorIO(MSG*) override { return S_FALSE; }
    // IDispatch (IGorsebeck has no members)
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT count, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    DWORD BandId() const { return bandId_; }
    DWORD ViewMode() const { return viewMode_; }
    BandHostWindow* Host() const { return host_.get(); }

private:
    CGorsebeck();
    ~CGorsebeck();
    void OnFocusChange(bool focus);
    void DropSite();

    std::atomic<ULONG> references_{0};
    DWORD bandId_ = 0;
    DWORD viewMode_ = 0;
    bool show_ = false;
    HWND parent_ = nullptr;
    ComPointer<IInputObjectSite> site_;
    std::unique_ptr<BandHostWindow> host_;
};
