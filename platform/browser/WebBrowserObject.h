// The COM object of a browser control (CHtmlView::GetControlUnknown): IWebBrowser2 over
// the view, the DWebBrowserEvents2 connection point, and what an in-place object answers
// its container. Internal to platform/browser.
//
// Threading: the view's thread only. The object may outlive the view (a band holds
// references); once the view has gone (Detach) its calls fail with E_FAIL.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/browser/WebBrowserInterfaces.h"

class CHtmlView;

class WebBrowserObject final : public IWebBrowser2,
                               public IConnectionPointContainer,
                               public IConnectionPoint,
                               public IOleObject,
                               public IOleInPlaceObject,
                               public IOleInPlaceActiveObject {
public:
    explicit WebBrowserObject(CHtmlView* view) : view_(view) {}

    // The view is going: every later call fails, and no event is sent any more.
    void Detach();

    // Calls every advised sink's Invoke with the event's dispatch id and arguments (see
    // WebBrowserInterfaces.h). A sink unadvised meanwhile is not called.
    void FireBeforeNavigate2(const std::string& url, DWORD flags, const std::string& target,
                             const std::string& postedData, const std::string& headers);
    void FireNavigateComplete2(const std::string& url);
    void FireDocumentComplete(const std::string& url);
    void FireNavigateError(const std::string& url, HRESULT error);
    void FireCommandStateChange(LONG command, BOOL enable);

    // The place DoVerb and SetObjectRects gave, and the client site (tests, hosts).
    const RECT& ObjectRect() const { return rect_; }
    bool IsInPlaceActive() const { return inPlaceActive_; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;

    // IDispatch (no members by name: the interfaces are called directly)
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IWebBrowser2
    HRESULT GoBack() override;
    HRESULT GoForward() override;
    HRESULT Stop() override;
    HRESULT get_Application(IDispatch** application) override;
    HRESULT get_Document(IDispatch** document) override;
    HRESULT get_LocationURL(BSTR* url) override;
    HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                     VARIANT* headers) override;
    HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                      VARIANT* headers) override;
    HRESULT ExecWB(LONG command, LONG option, VARIANT* in, VARIANT* out) override;

    // IConnectionPointContainer
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    // IConnectionPoint (DWebBrowserEvents2)
    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;

    // IOleObject
    HRESULT SetClientSite(IOleClientSite* site) override;
    HRESULT GetClientSite(IOleClientSite** site) override;
    HRESULT Close(DWORD saveOption) override;
    HRESULT DoVerb(LONG verb, MSG* message, IOleClientSite* site, LONG index, HWND parent,
                   const RECT* position) override;

    // IOleWindow (of both in-place interfaces)
    HRESULT GetWindow(HWND* window) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
    // IOleInPlaceObject
    HRESULT InPlaceDeactivate() override;
    HRESULT UIDeactivate() override { return S_OK; }
    HRESULT SetObjectRects(const RECT* position, const RECT* clip) override;
    HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleInPlaceActiveObject: the control uses no accelerators of its own (S_FALSE).
    HRESULT TranslateAccelerator(MSG* message) override;
    HRESULT OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT EnableModeless(BOOL) override { return S_OK; }

private:
    ~WebBrowserObject() = default;
    void Fire(DISPID member, std::vector<VARIANT> arguments);

    ULONG references_ = 0;  // the view's thread only
    CHtmlView* view_;
    ComPointer<IOleClientSite> site_;
    RECT rect_;
    bool inPlaceActive_ = false;
    DWORD lastCookie_ = 0;
    std::vector<std::pair<DWORD, ComPointer<IDispatch>>> sinks_;
};
