// The band object: its window, sizes and focus for the browser, its site, the panel
// view's control as an embedded object, and the hosting browser's events.
#include "band/PanelBand.h"

#include <new>

#include "band/BandModule.h"
#include "band/HtmlPanelView.h"
#include "platform/com/Variant.h"
#include "platform/text/Text.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/WindowTree.h"

namespace {

RECT ClientRectOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

}  // namespace

CPanelBand::CPanelBand(const BandProduct& product) : product_(product) {
    BandObjectCreated();
}

CPanelBand::~CPanelBand() {
    DropPanel();
    inputSite_.reset();
    BandObjectDestroyed();
}

HRESULT CPanelBand::Create(const BandProduct& product, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    auto* band = new (std::nothrow) CPanelBand(product);
    if (band == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = band->QueryInterface(iid, object);
    band->Release();
    return result;
}

HRESULT CPanelBand::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    void* answer = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IDockingWindow ||
        iid == IID_IDeskBand)
        answer = static_cast<IDeskBand*>(this);
    else if (iid == IID_IInputObject)
        answer = static_cast<IInputObject*>(this);
    else if (iid == IID_IObjectWithSite)
        answer = static_cast<IObjectWithSite*>(this);
    else if (iid == IID_IOleClientSite)
        answer = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStream)
        answer = static_cast<IPersistStream*>(this);
    else if (iid == IID_IOleControlSite)
        answer = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IOleInPlaceSite)
        answer = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IDispatch || iid == product_.interfaceId || iid == DIID_DWebBrowserEvents2)
        answer = static_cast<IDispatch*>(this);
    *object = answer;
    if (answer == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CPanelBand::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

// --- IOleWindow, IDockingWindow, IDeskBand ---

HRESULT CPanelBand::GetWindow(HWND* window) {
    if (window == nullptr)
        return E_INVALIDARG;
    *window = panelWindow_;
    return S_OK;
}

HRESULT CPanelBand::ContextSensitiveHelp(BOOL enterMode) {
    helpMode_ = enterMode != FALSE;
    return S_OK;
}

HRESULT CPanelBand::ShowDW(BOOL show) {
    shown_ = show != FALSE;
    if (panelWindow_ != nullptr)
        ShowWindow(panelWindow_, show ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT CPanelBand::CloseDW(DWORD) {
    DropPanel();
    return S_OK;
}

HRESULT CPanelBand::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
    bandId_ = bandId;
    viewMode_ = viewMode;
    if (info == nullptr)
        return S_OK;
    if (info->dwMask & DBIM_MINSIZE)
        info->ptMinSize = POINT{250, 20};
    if (info->dwMask & DBIM_MAXSIZE)
        info->ptMaxSize = POINT{0, -1};
    if (info->dwMask & DBIM_INTEGRAL)
        info->ptIntegral = POINT{1, 1};
    if (info->dwMask & DBIM_ACTUAL)
        info->ptActual = POINT{250, 20};
    if (info->dwMask & DBIM_TITLE) {
        const std::u16string title = Utf8ToUtf16(product_.title);
        const size_t count = std::min(title.size(), std::size(info->wszTitle) - 1);
        std::copy_n(title.begin(), count, info->wszTitle);
        info->wszTitle[count] = u'\0';
    }
    if (info->dwMask & DBIM_BKCOLOR)
        info->dwMask &= ~DBIM_BKCOLOR;
    if (info->dwMask & DBIM_MODEFLAGS)
        info->dwModeFlags = DBIMF_VARIABLEHEIGHT;
    return S_OK;
}

// --- IInputObject ---

HRESULT CPanelBand::UIActivateIO(BOOL activate, MSG* message) {
    if (!controlObject_)
        return E_FAIL;
    const RECT rect = ClientRectOf(parentWindow_);
    return controlObject_->DoVerb(activate ? OLEIVERB_UIACTIVATE : OLEIVERB_INPLACEACTIVATE,
                                  message, static_cast<IOleClientSite*>(this), 0, parentWindow_,
                                  &rect);
}

HRESULT CPanelBand::HasFocusIO() {
    const HWND focus = GetFocus();
    for (HWND window = controlWindow_; window != nullptr; window = ::GetWindow(window, GW_CHILD)) {
        if (window == focus)
            return S_OK;
    }
    return S_FALSE;
}

HRESULT CPanelBand::TranslateAcceleratorIO(MSG* message) {
    if (!controlBrowser_)
        return E_FAIL;
    ComPointer<IDispatch> application;
    HRESULT result = controlBrowser_->get_Application(application.put());
    if (FAILED(result))
        return result;
    if (!application)
        return E_FAIL;
    ComPointer<IOleInPlaceActiveObject> active;
    result = application->QueryInterface(IID_IOleInPlaceActiveObject, active.putVoid());
    if (FAILED(result))
        return result;
    return active->TranslateAccelerator(message);
}

// --- IObjectWithSite ---

HRESULT CPanelBand::SetSite(IUnknown* site) {
    // Without a site the band hears the hosting browser no more and holds it no more;
    // the panel stays.
    DropHostingBrowser();
    if (site == nullptr)
        return S_OK;
    inputSite_.reset();

    ComPointer<IOleWindow> siteWindow;
    site->QueryInterface(IID_IOleWindow, siteWindow.putVoid());
    HWND parent = nullptr;
    if (!siteWindow || FAILED(siteWindow->GetWindow(&parent)) || parent == nullptr)
        return E_FAIL;
    // A second site replaces the first panel.
    DropPanel();
    parentWindow_ = parent;
    if (!CreatePanelWindow())
        return E_FAIL;

    site->QueryInterface(IID_IInputObjectSite, inputSite_.putVoid());

    ComPointer<IOleCommandTarget> target;
    site->QueryInterface(IID_IOleCommandTarget, target.putVoid());
    if (target) {
        ComPointer<IServiceProvider> services = target.query<IServiceProvider>();
        if (services) {
            services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, hostingBrowser_.putVoid());
        }
    }

    // From here on a failure takes the panel down again.
    auto fail = [this] {
        DropPanel();
        return E_FAIL;
    };
    IUnknown* control = view_ != nullptr ? view_->GetControlUnknown() : nullptr;
    if (control == nullptr)
        return fail();
    control->QueryInterface(IID_IOleObject, controlObject_.putVoid());
    if (!controlObject_ || FAILED(controlObject_->SetClientSite(this)))
        return fail();
    const RECT rect = ClientRectOf(panelWindow_);
    if (FAILED(controlObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, panelWindow_,
                                      &rect)))
        return fail();
    control->QueryInterface(IID_IWebBrowser2, controlBrowser_.putVoid());
    if (!controlBrowser_)
        return fail();
    if (hostingBrowser_ && product_.listensToBrowserEvents) {
        ComPointer<IConnectionPointContainer> container =
            hostingBrowser_.query<IConnectionPointContainer>();
        ComPointer<IConnectionPoint> point;
        if (container &&
            SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())) &&
            SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &eventsCookie_)))
            eventsPoint_ = point;
    }
    control->QueryInterface(IID_IOleInPlaceObject, controlInPlace_.putVoid());
    if (!controlInPlace_)
        return fail();
    controlInPlace_->SetObjectRects(&rect, &rect);
    ComPointer<IOleWindow> controlWindow;
    control->QueryInterface(IID_IOleWindow, controlWindow.putVoid());
    if (controlWindow)
        controlWindow->GetWindow(&controlWindow_);
    return S_OK;
}

HRESULT CPanelBand::GetSite(REFIID iid, void** site) {
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    if (!inputSite_)
        return E_FAIL;
    return inputSite_->QueryInterface(iid, site);
}

bool CPanelBand::CreatePanelWindow() {
    view_ = CHtmlPanelView::CreatePanel(product_, this, parentWindow_);
    if (view_ == nullptr)
        return false;
    panelWindow_ = view_->GetSafeHwnd();
    return IsWindow(panelWindow_) != FALSE;
}

void CPanelBand::DropHostingBrowser() {
    if (eventsPoint_) {
        eventsPoint_->Unadvise(eventsCookie_);
        eventsPoint_.reset();
        eventsCookie_ = 0;
    }
    hostingBrowser_.reset();
}

void CPanelBand::DropPanel() {
    DropHostingBrowser();
    controlInPlace_.reset();
    controlBrowser_.reset();
    if (controlObject_) {
        controlObject_->SetClientSite(nullptr);
        controlObject_.reset();
    }
    CHtmlPanelView* view = view_;
    view_ = nullptr;
    if (view != nullptr) {
        view->DetachBand();
        view->DestroyWindow();
    }
    panelWindow_ = nullptr;
    controlWindow_ = nullptr;
}

void CPanelBand::OnViewDestroyed() {
    view_ = nullptr;
    panelWindow_ = nullptr;
    controlWindow_ = nullptr;
    controlInPlace_.reset();
    controlBrowser_.reset();
    controlObject_.reset();
}

void CPanelBand::OnFocusChange(bool focus) {
    focus_ = focus;
    if (inputSite_)
        inputSite_->OnFocusChangeIS(static_cast<IInputObject*>(this), focus);
}

// --- IOleClientSite, IPersist, IOleControlSite, IOleInPlaceSite ---

HRESULT CPanelBand::GetContainer(IUnknown** container) {
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT CPanelBand::GetClassID(CLSID* clsid) {
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = product_.classId;
    return S_OK;
}

HRESULT CPanelBand::OnFocus(BOOL gotFocus) {
    if (inputSite_)
        inputSite_->OnFocusChangeIS(static_cast<IInputObject*>(this), gotFocus);
    return S_OK;
}

HRESULT CPanelBand::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                     RECT* position, RECT* clip, OLEINPLACEFRAMEINFO*) {
    if (frame != nullptr)
        *frame = nullptr;
    if (document != nullptr)
        *document = nullptr;
    const RECT rect = ClientRectOf(panelWindow_);
    if (position != nullptr)
        *position = rect;
    if (clip != nullptr)
        *clip = rect;
    return S_OK;
}

HRESULT CPanelBand::OnInPlaceDeactivate() {
    controlInPlace_.reset();
    return S_OK;
}

// --- IDispatch: the hosting browser's events ---

HRESULT CPanelBand::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CPanelBand::GetIDsOfNames(REFIID, OLECHAR**, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CPanelBand::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                           UINT*) {
    if ((member == DISPID_NAVIGATECOMPLETE || member == DISPID_NAVIGATECOMPLETE2) &&
        view_ != nullptr)
        view_->OnMainNavigateComplete();
    return S_OK;
}
