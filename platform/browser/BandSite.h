// The site a browser gives the band it hosts: the band's parent window (IOleWindow),
// focus reports (IInputObjectSite), the hosting browser as the SID_SWebBrowserApp
// service (IServiceProvider), and a command target that supports no commands
// (IOleCommandTarget; a band asks it for the service provider).
//
// Threading: the thread of the band's parent window only.
#pragma once

#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/OleInterfaces.h"

class BandSite final : public IOleWindow,
                       public IInputObjectSite,
                       public IServiceProvider,
                       public IOleCommandTarget {
public:
    // window: the band's parent window; browser: the hosting browser, or null for a
    // site that offers none.
    static ComPointer<BandSite> Make(HWND window, IWebBrowser2* browser);

    // The focus the band last reported, and how often it reported.
    bool LastFocus() const { return lastFocus_; }
    int FocusReports() const { return focusReports_; }
    // The object that last reported (an added reference; empty before any report).
    ComPointer<IUnknown> LastFocusObject() const { return lastObject_; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    // IOleWindow
    HRESULT GetWindow(HWND* window) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
    // IInputObjectSite
    HRESULT OnFocusChangeIS(IUnknown* object, BOOL focus) override;
    // IServiceProvider: SID_SWebBrowserApp is the hosting browser, asked for iid;
    // E_NOINTERFACE for any other service or without a browser.
    HRESULT QueryService(REFGUID service, REFIID iid, void** object) override;
    // IOleCommandTarget: no commands.
    HRESULT QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    HRESULT Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override {
        return OLECMDERR_E_NOTSUPPORTED;
    }

private:
    BandSite(HWND window, IWebBrowser2* browser) : window_(window), browser_(browser) {}
    ~BandSite() = default;

    ULONG references_ = 0;
    HWND window_;
    ComPointer<IWebBrowser2> browser_;
    bool lastFocus_ = false;
    int focusReports_ = 0;
    ComPointer<IUnknown> lastObject_;
};
