#include "platform/browser/BandSite.h"

ComPointer<BandSite> BandSite::Make(HWND window, IWebBrowser2* browser) {
    return ComPointer<BandSite>(new BandSite(window, browser));
}

HRESULT BandSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow) {
        *object = static_cast<IOleWindow*>(this);
    } else if (iid == IID_IInputObjectSite) {
        *object = static_cast<IInputObjectSite*>(this);
    } else if (iid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else if (iid == IID_IOleCommandTarget) {
        *object = static_cast<IOleCommandTarget*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG BandSite::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT BandSite::GetWindow(HWND* window) {
    if (window == nullptr)
        return E_INVALIDARG;
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
}

HRESULT BandSite::OnFocusChangeIS(IUnknown* object, BOOL focus) {
    lastFocus_ = focus != FALSE;
    ++focusReports_;
    lastObject_ = ComPointer<IUnknown>(object);
    return S_OK;
}

HRESULT BandSite::QueryService(REFGUID service, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (service != SID_SWebBrowserApp || !browser_)
        return E_NOINTERFACE;
    return browser_->QueryInterface(iid, object);
}
