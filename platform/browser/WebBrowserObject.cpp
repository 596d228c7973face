#include "platform/browser/WebBrowserObject.h"

#include "platform/browser/CHtmlView.h"

namespace {

VARIANT BoolVariant(bool value) {
    VARIANT variant;
    variant.vt = VT_BOOL;
    variant.boolVal = value;
    return variant;
}

// The text of an optional VT_BSTR argument; "" when absent or of another type.
std::string TextOf(const VARIANT* value) {
    return value != nullptr && value->vt == VT_BSTR ? value->bstrVal : std::string();
}

}  // namespace

void WebBrowserObject::Detach() {
    view_ = nullptr;
    sinks_.clear();
    site_.reset();
}

HRESULT WebBrowserObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser2) {
        *object = static_cast<IWebBrowser2*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else if (iid == IID_IOleObject) {
        *object = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        *object = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG WebBrowserObject::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT WebBrowserObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

void WebBrowserObject::Fire(DISPID member, std::vector<VARIANT> arguments) {
    if (view_ == nullptr || sinks_.empty())
        return;
    // The browser itself is the first argument, so it comes last in rgvarg.
    const auto sinks = sinks_;
    DISPPARAMS params;
    params.rgvarg = arguments.data();
    params.cArgs = static_cast<UINT>(arguments.size());
    const ComPointer<WebBrowserObject> keep(this);
    for (const auto& [cookie, sink] : sinks) {
        bool live = false;
        for (const auto& entry : sinks_)
            live = live || entry.first == cookie;
        if (live)
            sink->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
    }
}

void WebBrowserObject::FireBeforeNavigate2(const std::string& url, DWORD flags,
                                           const std::string& target, const std::string& postedData,
                                           const std::string& headers) {
    Fire(DISPID_BEFORENAVIGATE2,
         {BoolVariant(false), VariantFromText(headers), VariantFromText(postedData),
          VariantFromText(target), VariantFromInteger(static_cast<LONG>(flags)),
          VariantFromText(url), VariantFromDispatch(static_cast<IWebBrowser2*>(this))});
}

void WebBrowserObject::FireNavigateComplete2(const std::string& url) {
    Fire(DISPID_NAVIGATECOMPLETE2,
         {VariantFromText(url), VariantFromDispatch(static_cast<IWebBrowser2*>(this))});
}

void WebBrowserObject::FireDocumentComplete(const std::string& url) {
    Fire(DISPID_DOCUMENTCOMPLETE,
         {VariantFromText(url), VariantFromDispatch(static_cast<IWebBrowser2*>(this))});
}

void WebBrowserObject::FireNavigateError(const std::string& url, HRESULT error) {
    Fire(DISPID_NAVIGATEERROR,
         {BoolVariant(false), VariantFromInteger(error), VariantFromText({}), VariantFromText(url),
          VariantFromDispatch(static_cast<IWebBrowser2*>(this))});
}

void WebBrowserObject::FireCommandStateChange(LONG command, BOOL enable) {
    Fire(DISPID_COMMANDSTATECHANGE, {BoolVariant(enable != FALSE), VariantFromInteger(command)});
}

HRESULT WebBrowserObject::GoBack() {
    if (view_ == nullptr)
        return E_FAIL;
    return view_->GoBack() ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::GoForward() {
    if (view_ == nullptr)
        return E_FAIL;
    return view_->GoForward() ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::Stop() {
    if (view_ == nullptr)
        return E_FAIL;
    return view_->Stop() ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::ExecWB(LONG command, LONG option, VARIANT* in, VARIANT* out) {
    if (view_ == nullptr)
        return E_FAIL;
    return view_->ExecWB(command, option, in, out);
}

HRESULT WebBrowserObject::get_Application(IDispatch** application) {
    if (application == nullptr)
        return E_POINTER;
    *application = nullptr;
    if (view_ == nullptr)
        return E_FAIL;
    *application = static_cast<IWebBrowser2*>(this);
    AddRef();
    return S_OK;
}

HRESULT WebBrowserObject::get_Document(IDispatch** document) {
    if (document == nullptr)
        return E_POINTER;
    *document = nullptr;
    if (view_ == nullptr)
        return E_FAIL;
    ComPointer<IHTMLDocument2> object = MakeHtmlDocumentObject(view_->GetHtmlDocument());
    if (!object)
        return S_FALSE;
    *document = object.detach();
    return S_OK;
}

HRESULT WebBrowserObject::get_LocationURL(BSTR* url) {
    if (url == nullptr)
        return E_POINTER;
    *url = nullptr;
    if (view_ == nullptr)
        return E_FAIL;
    *url = Utf8ToBstr(view_->GetLocationURL());
    return *url ? S_OK : E_OUTOFMEMORY;
}

HRESULT WebBrowserObject::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (view_ == nullptr)
        return E_FAIL;
    const std::string address = BstrToUtf8(url);
    if (address.empty())
        return E_INVALIDARG;
    return view_->Navigate2(address) ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                                    VARIANT* postData, VARIANT* headers) {
    const std::string address = TextOf(url);
    if (address.empty())
        return E_INVALIDARG;
    ScopedBstr text(address);
    return Navigate(text.get(), flags, targetFrameName, postData, headers);
}

HRESULT WebBrowserObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr)
        return E_POINTER;
    *point = nullptr;
    if (iid != DIID_DWebBrowserEvents2)
        return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT WebBrowserObject::GetConnectionInterface(IID* iid) {
    if (iid == nullptr)
        return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

HRESULT WebBrowserObject::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr)
        return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT WebBrowserObject::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr)
        return E_POINTER;
    *cookie = 0;
    if (view_ == nullptr)
        return E_FAIL;
    ComPointer<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, dispatch.putVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid()))) {
        return CONNECT_E_NOCONNECTION;
    }
    *cookie = ++lastCookie_;
    sinks_.emplace_back(*cookie, std::move(dispatch));
    return S_OK;
}

HRESULT WebBrowserObject::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT WebBrowserObject::SetClientSite(IOleClientSite* site) {
    site_ = ComPointer<IOleClientSite>(site);
    return view_ != nullptr || site == nullptr ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::GetClientSite(IOleClientSite** site) {
    if (site == nullptr)
        return E_POINTER;
    *site = site_.get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT WebBrowserObject::Close(DWORD) {
    inPlaceActive_ = false;
    return S_OK;
}

HRESULT WebBrowserObject::DoVerb(LONG verb, MSG*, IOleClientSite* site, LONG, HWND,
                                 const RECT* position) {
    if (view_ == nullptr)
        return E_FAIL;
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_INPLACEACTIVATE:
            inPlaceActive_ = true;
            break;
        case OLEIVERB_HIDE:
            break;
        default:
            return OLEOBJ_E_INVALIDVERB;
    }
    if (site != nullptr && !site_)
        site_ = ComPointer<IOleClientSite>(site);
    if (position != nullptr)
        rect_ = *position;
    return S_OK;
}

HRESULT WebBrowserObject::GetWindow(HWND* window) {
    if (window == nullptr)
        return E_INVALIDARG;
    *window = view_ != nullptr ? view_->GetSafeHwnd() : nullptr;
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT WebBrowserObject::InPlaceDeactivate() {
    inPlaceActive_ = false;
    return S_OK;
}

HRESULT WebBrowserObject::SetObjectRects(const RECT* position, const RECT*) {
    if (position == nullptr)
        return E_INVALIDARG;
    if (view_ == nullptr)
        return E_FAIL;
    rect_ = *position;
    return S_OK;
}

HRESULT WebBrowserObject::TranslateAccelerator(MSG* message) {
    if (message == nullptr)
        return E_INVALIDARG;
    return view_ != nullptr ? S_FALSE : E_FAIL;
}
