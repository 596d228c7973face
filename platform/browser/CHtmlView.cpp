#include "platform/browser/CHtmlView.h"

#include <cassert>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlParser.h"
#include "platform/browser/HtmlTree.h"
#include "platform/browser/LinkAddress.h"
#include "platform/browser/PageLoaderFactory.h"
#include "platform/browser/ResourcePage.h"
#include "platform/browser/WebBrowserObject.h"
#include "platform/file/FileLayer.h"
#include "platform/text/Text.h"
#include "platform/thread/Thread.h"
#include "platform/window/Window.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

// The view's own messages, posted to its window: a load event (wParam: the LoadEvent),
// a navigation request (wParam: the address) and a stop request.
constexpr UINT WM_VIEW_LOAD_EVENT = 0x0390;
constexpr UINT WM_VIEW_NAVIGATE = 0x0391;
constexpr UINT WM_VIEW_STOP = 0x0392;
// Asks a window whether it is a view's (wParam kViewSelfKey): the view's address.
constexpr UINT WM_VIEW_SELF = 0x0393;
constexpr WPARAM kViewSelfKey = 0x56494557;

// The screen's presenter of browser controls (SetBrowserControlPresenter).
BrowserControlPresenter* presenter = nullptr;

// What the control loads when its host does not answer the download-control property.
constexpr DWORD kDefaultDownloadControl = DLCTL_DLIMAGES;

struct LoadEvent {
    enum class Kind { BeforeNavigate, NavigateComplete, DocumentComplete, LoadFailed };
    Kind kind;
    PageLoadId load;
    std::string url;
    std::shared_ptr<HtmlDocument> document;
    HRESULT error = S_OK;
    bool local = false;  // a res: load of the view itself, numbered apart from the loader's
};

bool OnWindowThread(HWND hwnd) {
    return hwnd != nullptr && GetWindowThreadId(hwnd) == GetCurrentThreadId();
}

std::string WithoutFragment(const std::string& address) {
    return address.substr(0, address.find('#'));
}

bool IsSystemPath(const std::string& text) {
    const bool drive = text.size() >= 3 &&
                       ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z')) &&
                       text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    return drive || (!text.empty() && text[0] == '\\');
}

std::string Trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsAsciiSpace(text[first]))
        ++first;
    while (last > first && IsAsciiSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The address a load uses: a system path, or a file: address in the drive form
// ("file:///c:/x"), becomes the file: address of the file it names.
std::string NormaliseAddress(const std::string& url) {
    const std::string address = Trimmed(url);
    if (IsSystemPath(address))
        return PathToFileUrl(address);
    if (SchemeOfAddress(address) == "file") {
        std::string linuxPath;
        if (FileUrlToPath(address, &linuxPath)) {
            const size_t hash = address.find('#');
            return PathToFileUrl(linuxPath) +
                   (hash == std::string::npos ? std::string() : address.substr(hash));
        }
    }
    return address;
}

}  // namespace

// The window's handler, the loader's sink and the documents' observer. The sink side
// runs on the loader's thread and only posts; everything else runs on the view's thread.
struct CHtmlView::Host final : PageLoadSink, WindowHandler {
    // Tells the host of changes to its documents; held weakly by them, so documents
    // that outlive the view tell nobody.
    struct Relay final : HtmlDocumentObserver {
        explicit Relay(Host& owner) : host(owner) {}
        void OnDocumentWritten(HtmlDocument& document) override {
            if (host.presentation)
                host.presentation->OnDocumentWritten(document);
        }
        void OnAttributeSet(HtmlElement& element, const std::string& name,
                            const std::string& value) override {
            if (host.presentation)
                host.presentation->OnAttributeSet(element, name, value);
        }
        void OnContentChanged(HtmlElement& element) override {
            if (host.presentation)
                host.presentation->OnContentChanged(element);
        }
        void OnValueChanged(HtmlElement& element) override {
            if (host.presentation)
                host.presentation->OnValueChanged(element);
        }
        void OnDesignModeChanged(HtmlDocument& document, const std::string& mode) override {
            host.designMode = mode;
            if (host.presentation)
                host.presentation->OnDesignModeChanged(document, mode);
        }
        Host& host;
    };

    explicit Host(CHtmlView& owner)
        : view(owner), relay(std::make_shared<Relay>(*this)), object(new WebBrowserObject(&owner)) {
        object->AddRef();
    }
    ~Host() override {
        object->Detach();
        object->Release();
    }

    void OnBeforeNavigate(PageLoadId load, const std::string& url) override {
        Post({LoadEvent::Kind::BeforeNavigate, load, url, nullptr});
    }
    void OnNavigateComplete(PageLoadId load, const std::string& url,
                            const std::shared_ptr<HtmlDocument>& document) override {
        Post({LoadEvent::Kind::NavigateComplete, load, url, document});
    }
    void OnDocumentComplete(PageLoadId load, const std::string& url,
                            const std::shared_ptr<HtmlDocument>& document) override {
        Post({LoadEvent::Kind::DocumentComplete, load, url, document});
    }
    void OnLoadFailed(PageLoadId load, const std::string& url, HRESULT error) override {
        Post({LoadEvent::Kind::LoadFailed, load, url, nullptr, error});
    }

    // On the loader's thread (or the view's, for its own loads): a dead window frees
    // the event.
    void Post(LoadEvent event) {
        PostOwnedMessage(hwnd, WM_VIEW_LOAD_EVENT, std::make_unique<LoadEvent>(std::move(event)),
                         0);
    }

    LRESULT WindowProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_VIEW_LOAD_EVENT:
                Deliver(*reinterpret_cast<LoadEvent*>(wParam));
                return 0;
            case WM_VIEW_NAVIGATE:
                StartNavigation(*reinterpret_cast<std::string*>(wParam), 0, {}, {}, {}, -1);
                return 0;
            case WM_VIEW_STOP:
                StopLoad();
                return 0;
            case WM_VIEW_SELF:
                if (wParam == kViewSelfKey)
                    return reinterpret_cast<LRESULT>(&view);
                return view.WindowProc(message, wParam, lParam);
            default:
                return view.WindowProc(message, wParam, lParam);
        }
    }

    // A navigation on the view's thread: BeforeNavigate2 first, then a move to a
    // fragment of the current document or a load. historyEntry: the history index it
    // goes to (GoBack, GoForward), -1 for a new entry.
    void StartNavigation(const std::string& url, DWORD flags, const std::string& target,
                         const std::string& postedData, const std::string& headers,
                         int historyEntry) {
        if (!loader)
            return;
        const std::string address = NormaliseAddress(url);
        const std::uint64_t mine = ++navigation;
        BOOL cancel = FALSE;
        object->FireBeforeNavigate2(address, flags, target, postedData, headers);
        if (navigation == mine)
            view.OnBeforeNavigate2(address, flags, target, postedData, headers, &cancel);
        if (cancel || navigation != mine)
            return;  // cancelled, or superseded by a navigation started in a handler
        pendingHistory = historyEntry;
        if (document && postedData.empty() && address.find('#') != std::string::npos &&
            WithoutFragment(address) == WithoutFragment(document->Url())) {
            MoveToFragment(address);
            return;
        }
        DWORD downloadControl = kDefaultDownloadControl;
        VARIANT answer;
        if (view.OnAmbientProperty(DISPID_AMBIENT_DLCONTROL, &answer) && answer.vt == VT_I4)
            downloadControl = static_cast<DWORD>(answer.intVal);
        if (navigation != mine)
            return;
        document.reset();
        loading = true;
        topNavigated = false;
        skipTopBefore = true;
        if (SchemeOfAddress(address) == "res") {
            loader->Stop();
            current = 0;
            currentLocal = ++lastLocal;
            LoadResourcePage(address);
        } else {
            currentLocal = 0;
            current = loader->Navigate(address, downloadControl);
        }
    }

    // Plays the events of a res: page as a loader would: before-navigate,
    // navigate-complete and document-complete, or a failure. Resource pages load no
    // frames or pictures.
    void LoadResourcePage(const std::string& address) {
        const PageLoadId id = currentLocal;
        Post({LoadEvent::Kind::BeforeNavigate, id, address, nullptr, S_OK, true});
        std::string bytes;
        bool html = false;
        const HRESULT result = ReadResourcePage(address, &bytes, &html);
        if (FAILED(result)) {
            Post({LoadEvent::Kind::LoadFailed, id, address, nullptr, result, true});
            return;
        }
        auto tree = html ? ParseHtml(bytes, address) : ParseHtml({}, address);
        auto started = std::make_shared<HtmlDocument>(address, tree, "interactive");
        Post({LoadEvent::Kind::NavigateComplete, id, address, started, S_OK, true});
        Post({LoadEvent::Kind::DocumentComplete, id, address, started->WithReadyState("complete"),
              S_OK, true});
    }

    void MoveToFragment(const std::string& address) {
        document->SetUrl(address);
        location = address;
        if (presentation)
            presentation->OnFragmentMoved(address);
        object->FireNavigateComplete2(address);
        const std::uint64_t mine = navigation;
        view.OnNavigateComplete2(address);
        if (navigation == mine)
            RecordHistory(address);
    }

    void StopLoad() {
        if (!loader)
            return;
        if (presentation)
            presentation->OnLoadStopped();
        if (currentLocal != 0 && loading) {
            // A resource page is read at once; only its events can still be pending.
            currentLocal = 0;
            loading = false;
            const std::string url = location;
            object->FireNavigateError(url, E_ABORT);
            view.OnNavigateError(url, E_ABORT);
            return;
        }
        loader->Stop();
    }

    void Show(const std::shared_ptr<HtmlDocument>& shown) {
        document = shown;
        document->SetObserver(relay);
        if (designMode != "Inherit")
            document->ApplyDesignMode(designMode);
        if (presentation)
            presentation->OnDocumentShown(*document);
    }

    void RecordHistory(const std::string& url) {
        if (pendingHistory >= 0 && static_cast<size_t>(pendingHistory) < history.size()) {
            historyIndex = pendingHistory;
        } else {
            history.resize(static_cast<size_t>(historyIndex + 1));
            history.push_back(url);
            historyIndex = static_cast<int>(history.size()) - 1;
        }
        pendingHistory = -1;
        const BOOL back = historyIndex > 0 ? TRUE : FALSE;
        const BOOL forward = historyIndex + 1 < static_cast<int>(history.size()) ? TRUE : FALSE;
        object->FireCommandStateChange(CSC_NAVIGATEBACK, back);
        view.OnCommandStateChange(CSC_NAVIGATEBACK, back);
        object->FireCommandStateChange(CSC_NAVIGATEFORWARD, forward);
        view.OnCommandStateChange(CSC_NAVIGATEFORWARD, forward);
    }

    void Deliver(const LoadEvent& event) {
        if (event.local ? event.load != currentLocal : event.load != current)
            return;
        if (event.kind == LoadEvent::Kind::BeforeNavigate && skipTopBefore) {
            skipTopBefore = false;  // the top's: raised when the navigation started
            return;
        }
        if (event.document)
            Show(event.document);
        const std::uint64_t mine = navigation;
        switch (event.kind) {
            case LoadEvent::Kind::BeforeNavigate: {
                // A frame (or a redirect's next address): already on its way.
                BOOL cancel = FALSE;
                object->FireBeforeNavigate2(event.url, 0, {}, {}, {});
                view.OnBeforeNavigate2(event.url, 0, {}, {}, {}, &cancel);
                break;
            }
            case LoadEvent::Kind::NavigateComplete: {
                const bool top = !topNavigated;
                topNavigated = true;
                if (top)
                    location = event.url;
                object->FireNavigateComplete2(event.url);
                view.OnNavigateComplete2(event.url);
                if (top && navigation == mine)
                    RecordHistory(event.url);
                break;
            }
            case LoadEvent::Kind::DocumentComplete:
                if (event.document && event.document->ReadyState() == "complete")
                    loading = false;
                object->FireDocumentComplete(event.url);
                view.OnDocumentComplete(event.url);
                break;
            case LoadEvent::Kind::LoadFailed:
                loading = false;
                if (presentation && event.error != E_ABORT)
                    presentation->OnLoadFailed(event.url, event.error);
                object->FireNavigateError(event.url, event.error);
                view.OnNavigateError(event.url, event.error);
                break;
        }
    }

    CHtmlView& view;
    HWND hwnd = nullptr;  // set before the loader exists, never changed after
    const std::shared_ptr<Relay> relay;
    WebBrowserObject* const object;  // one reference of the host's
    std::shared_ptr<BrowserControlObserver> presentation;
    std::uint64_t navigation = 0;  // counts navigations started, fragment moves included
    PageLoadId current = 0;        // the loader's load whose events are delivered
    PageLoadId currentLocal = 0;   // or the view's own res: load
    PageLoadId lastLocal = 0;
    bool loading = false;
    bool topNavigated = false;
    bool skipTopBefore = false;
    std::shared_ptr<HtmlDocument> document;
    std::string location;
    std::string designMode = "Inherit";
    std::vector<PrintRecord> prints;
    std::vector<std::string> history;
    int historyIndex = -1;
    int pendingHistory = -1;
    std::unique_ptr<PageLoader> loader;  // last: it stops calling the sink before the rest goes
};

CHtmlView::CHtmlView() = default;

CHtmlView* CHtmlView::FromHandle(HWND hwnd) {
    if (!IsWindow(hwnd) || !OnWindowThread(hwnd))
        return nullptr;
    return reinterpret_cast<CHtmlView*>(SendMessage(hwnd, WM_VIEW_SELF, kViewSelfKey, 0));
}

CHtmlView::~CHtmlView() {
    if (host_ == nullptr)
        return;
    host_->loader.reset();
    if (IsWindow(host_->hwnd)) {
        assert(OnWindowThread(host_->hwnd) &&
               "a view is destroyed on another thread while its window lives");
        ::DestroyWindow(host_->hwnd);
    }
}

BOOL CHtmlView::Create(HWND parent, UINT controlId) {
    return Create(parent, controlId, "", WS_CHILD | WS_VISIBLE);
}

BOOL CHtmlView::Create(HWND parent, UINT controlId, std::string_view windowName, DWORD style) {
    if (host_ != nullptr)
        return FALSE;
    auto host = std::make_unique<Host>(*this);
    // A parent of the window tree on this thread gets the view as a visible child filling
    // its client area; a message window (or none) leaves the view a message window of its
    // own.
    HWND hwnd = nullptr;
    bool child = false;
    if (parent != nullptr && IsWindow(parent) && OnWindowThread(parent) &&
        !GetClassName(parent).empty()) {
        RECT area{};
        GetClientRect(parent, &area);
        hwnd = CreateWindowForHandler(host.get(), 0, kBrowserControlClassName, windowName,
                                      style | WS_CHILD, area.left, area.top, area.right - area.left,
                                      area.bottom - area.top, parent,
                                      ControlIdMenu(static_cast<int>(controlId)));
        child = hwnd != nullptr;
    }
    if (hwnd == nullptr)
        hwnd = CreateMessageWindow(host.get());
    if (hwnd == nullptr)
        return FALSE;
    host->hwnd = hwnd;
    host->loader = MakePageLoader(*host);
    if (!host->loader) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    parent_ = parent;
    controlId_ = controlId;
    host_ = std::move(host);
    hwnd_ = hwnd;
    if (child && presenter != nullptr)
        presenter->ControlCreated(*this);
    return TRUE;
}

void CHtmlView::DestroyWindow() {
    if (host_ == nullptr)
        return;
    host_->loader.reset();
    host_->object->Detach();
    if (OnWindowThread(host_->hwnd))
        ::DestroyWindow(host_->hwnd);
}

BOOL CHtmlView::Navigate2(const std::string& url) {
    const HWND hwnd = hwnd_.load();
    if (hwnd == nullptr)
        return FALSE;
    if (OnWindowThread(hwnd)) {
        host_->StartNavigation(url, 0, {}, {}, {}, -1);
        return TRUE;
    }
    return PostOwnedMessage(hwnd, WM_VIEW_NAVIGATE, std::make_unique<std::string>(url), 0);
}

BOOL CHtmlView::Stop() {
    const HWND hwnd = hwnd_.load();
    if (hwnd == nullptr)
        return FALSE;
    if (OnWindowThread(hwnd)) {
        host_->StopLoad();
        return TRUE;
    }
    return PostMessage(hwnd, WM_VIEW_STOP, 0, 0);
}

BOOL CHtmlView::GoBack() {
    if (host_ == nullptr || !host_->loader || host_->historyIndex <= 0)
        return FALSE;
    const int entry = host_->historyIndex - 1;
    host_->StartNavigation(host_->history[static_cast<size_t>(entry)], 0, {}, {}, {}, entry);
    return TRUE;
}

BOOL CHtmlView::GoForward() {
    if (host_ == nullptr || !host_->loader ||
        host_->historyIndex + 1 >= static_cast<int>(host_->history.size())) {
        return FALSE;
    }
    const int entry = host_->historyIndex + 1;
    host_->StartNavigation(host_->history[static_cast<size_t>(entry)], 0, {}, {}, {}, entry);
    return TRUE;
}

std::shared_ptr<HtmlDocument> CHtmlView::GetHtmlDocument() const {
    if (host_ == nullptr)
        return nullptr;
    if (host_->presentation && host_->document) {
        // The observer may replace the content; the document object stays.
        const std::shared_ptr<BrowserControlObserver> presentation = host_->presentation;
        presentation->OnDocumentRead(*host_->document);
    }
    return host_->document;
}

void SetBrowserControlPresenter(BrowserControlPresenter* controlPresenter) {
    presenter = controlPresenter;
}

CHtmlView* BrowserControlFromWindow(HWND hwnd) {
    if (GetClassName(hwnd) != kBrowserControlClassName)
        return nullptr;
    return CHtmlView::FromHandle(hwnd);
}

std::string CHtmlView::GetLocationURL() const {
    return host_ != nullptr ? host_->location : std::string();
}

std::string CHtmlView::GetDesignMode() const {
    return host_ != nullptr ? host_->designMode : std::string("Inherit");
}

void CHtmlView::SetDesignMode(const std::string& mode) {
    if (host_ == nullptr)
        return;
    host_->designMode = mode;
    if (host_->document)
        host_->document->SetDesignMode(mode);
}

HRESULT CHtmlView::ExecWB(LONG command, LONG option, VARIANT*, VARIANT*) {
    if (command != OLECMDID_PRINT)
        return OLECMDERR_E_NOTSUPPORTED;
    if (host_ == nullptr || !host_->document)
        return E_FAIL;
    const PrintRecord print{host_->location, option != OLECMDEXECOPT_DONTPROMPTUSER};
    host_->prints.push_back(print);
    if (const std::shared_ptr<BrowserControlObserver> presentation = host_->presentation)
        presentation->OnPrint(print);
    return S_OK;
}

void CHtmlView::OnFilePrint() {
    ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
}

std::vector<PrintRecord> CHtmlView::GetPrints() const {
    return host_ != nullptr ? host_->prints : std::vector<PrintRecord>{};
}

void CHtmlView::SetPresentationObserver(std::shared_ptr<BrowserControlObserver> observer) {
    if (host_ != nullptr)
        host_->presentation = std::move(observer);
}

HRESULT CHtmlView::ReplaceDocumentFromHtml(const std::string& html) {
    if (host_ == nullptr || !host_->document)
        return E_FAIL;
    host_->document->ReplaceFromHtml(html);
    return S_OK;
}

IUnknown* CHtmlView::GetControlUnknown() const {
    return host_ != nullptr ? static_cast<IWebBrowser2*>(host_->object) : nullptr;
}

void CHtmlView::StartNavigation(const std::string& url, const std::string& targetFrameName,
                                const std::string& postedData, const std::string& headers) {
    if (host_ != nullptr)
        host_->StartNavigation(url, 0, targetFrameName, postedData, headers, -1);
}

void CHtmlView::OnBeforeNavigate2(const std::string&, DWORD, const std::string&, const std::string&,
                                  const std::string&, BOOL*) {}

void CHtmlView::OnNavigateComplete2(const std::string&) {}

void CHtmlView::OnDocumentComplete(const std::string&) {}

void CHtmlView::OnNavigateError(const std::string&, HRESULT) {}

void CHtmlView::OnCommandStateChange(LONG, BOOL) {}

BOOL CHtmlView::OnAmbientProperty(DISPID, VARIANT*) {
    return FALSE;
}

LRESULT CHtmlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(GetSafeHwnd(), message, wParam, lParam);
}
