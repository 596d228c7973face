#include "toolbar/Gorsebeck.h"

#include <new>

#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

std::atomic<LONG> liveObjects{0};

}  // namespace

LONG LiveGorsebeckObjects() {
    return liveObjects.load();
}

CGorsebeck::CGorsebeck() {
    ++liveObjects;
}

CGorsebeck::~CGorsebeck() {
    DropSite();
    host_.reset();
    --liveObjects;
}

HRESULT CGorsebeck::Create(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CGorsebeck* band = new (std::nothrow) CGorsebeck();
    if (!band)
        return E_OUTOFMEMORY;
    band->AddRef();
    const HRESULT result = band->QueryInterface(iid, object);
    band->Release();
    return result;
}

HRESULT CGorsebeck::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IDockingWindow ||
        iid == IID_IDeskBand) {
        *object = static_cast<IDeskBand*>(this);
    } else if (iid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IInputObject) {
        *object = static_cast<IInputObject*>(this);
    } else if (iid == IID_IGorsebeck || iid == IID_IDispatch) {
        *object = static_cast<IGorsebeck*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CGorsebeck::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CGorsebeck::GetWindow(HWND* window) {
    if (!window)
        return E_INVALIDARG;
    *window = host_ ? host_->Hwnd() : nullptr;
    return S_OK;
}

HRESULT CGorsebeck::ShowDW(BOOL show) {
    show_ = show != FALSE;
    if (host_ && host_->Hwnd())
        ShowWindow(host_->Hwnd(), show_ ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT CGorsebeck::CloseDW(DWORD) {
    ShowDW(FALSE);
    return S_OK;
}

HRESULT CGorsebeck::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
    bandId_ = bandId;
    viewMode_ = viewMode;
    if (!info)
        return S_OK;
    if (info->dwMask & DBIM_MINSIZE)
        info->ptMinSize = {250, 22};
    if (info->dwMask & DBIM_MAXSIZE)
        info->ptMaxSize = {0, -1};
    if (info->dwMask & DBIM_INTEGRAL)
        info->ptIntegral = {0, 0};
    if (info->dwMask & DBIM_ACTUAL)
        info->ptActual = {250, 22};
    if (info->dwMask & DBIM_TITLE) {
        const char16_t title[] = u"Sollet";
        for (size_t i = 0; i < sizeof title / sizeof title[0]; ++i)
            info->wszTitle[i] = title[i];
    }
    if (info->dwMask & DBIM_MODEFLAGS)
        info->dwModeFlags = DBIMF_VARIABLEHEIGHT;
    if (info->dwMask & DBIM_BKCOLOR)
        info->dwMask &= ~DBIM_BKCOLOR;  // the default background
    return S_OK;
}

void CGorsebeck::DropSite() {
    if (host_)
        host_->Toolbar().SetBrowser(nullptr);
    site_.reset();
}

HRESULT CGorsebeck::SetSite(IUnknown* site) {
    DropSite();
    // A new site gets a new host window; the old one must not stay behind.
    host_.reset();
    parent_ = nullptr;
    if (!site)
        return S_OK;

    ComPointer<IOleWindow> window;
    if (site->QueryInterface(IID_IOleWindow, window.putVoid()) == S_OK && window)
        window->GetWindow(&parent_);
    window.reset();
    if (!parent_ || !IsWindow(parent_))
        return E_FAIL;
    auto host = std::make_unique<BandHostWindow>([this](bool focus) { OnFocusChange(focus); });
    if (!host->Create(parent_))
        return E_FAIL;
    if (site->QueryInterface(IID_IInputObjectSite, site_.putVoid()) != S_OK || !site_) {
        // A failed SetSite leaves nothing behind in the site's window.
        site_.reset();
        parent_ = nullptr;
        return E_FAIL;
    }
    host_ = std::move(host);

    // The band works without a browser too: Extract then has no page address.
    ComPointer<IOleCommandTarget> target;
    if (site->QueryInterface(IID_IOleCommandTarget, target.putVoid()) != S_OK || !target)
        return S_OK;
    ComPointer<IServiceProvider> services = target.query<IServiceProvider>();
    target.reset();
    if (!services)
        return S_OK;
    ComPointer<IWebBrowser2> browser;
    services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.putVoid());
    services.reset();
    if (browser)
        host_->Toolbar().SetBrowser(browser.get());
    return S_OK;
}

HRESULT CGorsebeck::GetSite(REFIID iid, void** site) {
    if (!site)
        return E_POINTER;
    *site = nullptr;
    if (!site_)
        return E_FAIL;
    return site_->QueryInterface(iid, site);
}

HRESULT CGorsebeck::HasFocusIO() {
    if (!host_ || !host_->Hwnd())
        return S_FALSE;
    const HWND focus = GetFocus();
    return focus && (focus == host_->Hwnd() || IsChild(host_->Hwnd(), focus)) ? S_OK : S_FALSE;
}

void CGorsebeck::OnFocusChange(bool focus) {
    if (site_)
        site_->OnFocusChangeIS(static_cast<IDeskBand*>(this), focus ? TRUE : FALSE);
}

HRESULT CGorsebeck::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CGorsebeck::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CGorsebeck::GetIDsOfNames(REFIID, OLECHAR**, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CGorsebeck::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}
