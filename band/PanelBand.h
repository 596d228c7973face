// The band object a browser creates by class id and shows beside its pages: its only
// content is the panel view (HtmlPanelView.h), a child of the window its site gives it.
// It is the client and in-place site of the panel's browser control, finds the hosting
// browser through its site, and hears that browser's events through its dispatch
// interface (advised while a site is set, unadvised at CloseDW, SetSite(NULL) and its
// end, so band and browser never keep each other alive).
//
// Threads: the browser's user-interface thread only (apartment model).
#pragma once

#include <atomic>

#include "band/BandProduct.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/Dispatch.h"
#include "platform/com/OleInterfaces.h"

class CHtmlPanelView;

class CPanelBand final : public IDeskBand,
                         public IInputObject,
                         public IObjectWithSite,
                         public IOleClientSite,
                         public IPersistStream,
                         public IOleControlSite,
                         public IOleInPlaceSite,
                         public IDispatch {
public:
    // A new band with one reference, asked for iid.
    static HRESULT Create(const BandProduct& product, REFIID iid, void** object);

    // Called by the panel view.
    IWebBrowser2* HostingBrowser() const { return hostingBrowser_.get(); }
    void OnFocusChange(bool focus);
    // The view's window is going: the band forgets the view and its control.
    void OnViewDestroyed();
    CHtmlPanelView* View() const { return view_; }
    HWND PanelWindow() const { return panelWindow_; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    // IOleWindow (of IDeskBand and IOleInPlaceSite alike)
    HRESULT GetWindow(HWND* window) override;
    HRESULT ContextSensitiveHelp(BOOL enterMode) override;
    // IDockingWindow
    HRESULT ShowDW(BOOL show) override;
    HRESULT CloseDW(DWORD reserved) override;
    HRESULT ResizeBorderDW(const RECT*, IUnknown*, BOOL) override { return E_NOTIMPL; }
    // IDeskBand
    HRESULT GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;
    // IInputObject
    HRESULT UIActivateIO(BOOL activate, MSG* message) override;
    HRESULT HasFocusIO() override;
    HRESULT TranslateAcceleratorIO(MSG* message) override;
    // IObjectWithSite
    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID iid, void** site) override;
    // IOleClientSite
    HRESULT SaveObject() override { return E_NOTIMPL; }
    HRESULT GetMoniker(DWORD, DWORD, IUnknown**) override { return E_NOTIMPL; }
    HRESULT GetContainer(IUnknown** container) override;
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IPersistStream
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT IsDirty() override { return S_FALSE; }
    HRESULT Load(IStream*) override { return S_OK; }
    HRESULT Save(IStream*, BOOL) override { return S_OK; }
    HRESULT GetSizeMax(std::uint64_t*) override { return E_NOTIMPL; }
    // IOleControlSite
    HRESULT OnControlInfoChanged() override { return E_NOTIMPL; }
    HRESULT LockInPlaceActive(BOOL) override { return E_NOTIMPL; }
    HRESULT GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
    HRESULT TransformCoords(POINT*, POINT*, DWORD) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(MSG*, DWORD) override { return E_NOTIMPL; }
    HRESULT OnFocus(BOOL gotFocus) override;
    HRESULT ShowPropertyFrame() override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnUIActivate() override { return S_OK; }
    HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                             RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    HRESULT Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT OnUIDeactivate(BOOL) override { return E_NOTIMPL; }
    HRESULT OnInPlaceDeactivate() override;
    HRESULT DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT OnPosRectChange(const RECT*) override { return S_OK; }
    // IDispatch: the hosting browser's events. No type information is offered.
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override;
    HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    DWORD LastBandId() const { return bandId_; }
    DWORD LastViewMode() const { return viewMode_; }
    bool IsShown() const { return shown_; }

private:
    explicit CPanelBand(const BandProduct& product);
    ~CPanelBand();

    // The panel, its control and the hosting browser go (the sink unadvised first).
    void DropPanel();
    void DropHostingBrowser();
    bool CreatePanelWindow();

    const BandProduct& product_;
    std::atomic<ULONG> references_{1};
    DWORD bandId_ = 0;
    DWORD viewMode_ = 0;
    HWND parentWindow_ = nullptr;
    HWND panelWindow_ = nullptr;
    HWND controlWindow_ = nullptr;
    bool shown_ = false;
    bool helpMode_ = false;
    bool focus_ = false;
    ComPointer<IInputObjectSite> inputSite_;
    ComPointer<IOleObject> controlObject_;
    ComPointer<IWebBrowser2> controlBrowser_;
    ComPointer<IOleInPlaceObject> controlInPlace_;
    ComPointer<IWebBrowser2> hostingBrowser_;
    ComPointer<IConnectionPoint> eventsPoint_;  // where the sink is advised
    DWORD eventsCookie_ = 0;
    CHtmlPanelView* view_ = nullptr;
};
