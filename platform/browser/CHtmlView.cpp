#include "platform/browser/CHtmlView.h"

#include <cassert>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageLoaderFactory.h"
#include "platform/thread/Thread.h"
#include "platform/window/Window.h"

namespace {

// The view's own messages, posted to its window: a loader event (wParam: the
// LoadEvent), a navigation request (wParam: the address) and a stop request.
constexpr UINT WM_VIEW_LOAD_EVENT = 0x0390;
constexpr UINT WM_VIEW_NAVIGATE = 0x0391;
constexpr UINT WM_VIEW_STOP = 0x0392;

// What the control loads when its host does not answer the download-control property.
constexpr DWORD kDefaultDownloadControl = DLCTL_DLIMAGES;

struct LoadEvent {
    enum class Kind { BeforeNavigate, NavigateComplete, DocumentComplete, LoadFailed };
    Kind kind;
    PageLoadId load;
    std::string url;
    std::shared_ptr<HtmlDocument> document;
    HRESULT error = S_OK;
};

bool OnWindowThread(HWND hwnd) {
    return hwnd != nullptr && GetWindowThreadId(hwnd) == GetCurrentThreadId();
}

}  // namespace

// The window's handler and the loader's sink. The sink side runs on the loader's thread
// and only posts; everything else runs on the view's thread.
struct CHtmlView::Host final : PageLoadSink, WindowHandler {
    explicit Host(CHtmlView& owner) : view(owner) {}

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

    // On the loader's thread: a dead window frees the event.
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
                StartLoad(*reinterpret_cast<std::string*>(wParam));
                return 0;
            case WM_VIEW_STOP:
                StopLoad();
                return 0;
            default:
                return view.WindowProc(message, wParam, lParam);
        }
    }

    void StartLoad(const std::string& url) {
        if (!loader)
            return;
        DWORD downloadControl = kDefaultDownloadControl;
        VARIANT answer;
        if (view.OnAmbientProperty(DISPID_AMBIENT_DLCONTROL, &answer) && answer.vt == VT_I4)
            downloadControl = static_cast<DWORD>(answer.intVal);
        document.reset();
        current = loader->Navigate(url, downloadControl);
    }

    void StopLoad() {
        if (loader)
            loader->Stop();
    }

    void Deliver(const LoadEvent& event) {
        if (event.load != current)
            return;
        if (event.document)
            document = event.document;
        switch (event.kind) {
            case LoadEvent::Kind::BeforeNavigate:
                view.OnBeforeNavigate2(event.url);
                break;
            case LoadEvent::Kind::NavigateComplete:
                view.OnNavigateComplete2(event.url);
                break;
            case LoadEvent::Kind::DocumentComplete:
                view.OnDocumentComplete(event.url);
                break;
            case LoadEvent::Kind::LoadFailed:
                view.OnNavigateError(event.url, event.error);
                break;
        }
    }

    CHtmlView& view;
    HWND hwnd = nullptr;  // set before the loader exists, never changed after
    PageLoadId current = 0;
    std::shared_ptr<HtmlDocument> document;
    std::unique_ptr<PageLoader> loader;  // last: it stops calling the sink before the rest goes
};

CHtmlView::CHtmlView() = default;

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
    if (host_ != nullptr)
        return FALSE;
    auto host = std::make_unique<Host>(*this);
    HWND hwnd = CreateMessageWindow(host.get());
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
    return TRUE;
}

void CHtmlView::DestroyWindow() {
    if (host_ == nullptr)
        return;
    host_->loader.reset();
    if (OnWindowThread(host_->hwnd))
        ::DestroyWindow(host_->hwnd);
}

BOOL CHtmlView::Navigate2(const std::string& url) {
    const HWND hwnd = hwnd_.load();
    if (hwnd == nullptr)
        return FALSE;
    if (OnWindowThread(hwnd)) {
        host_->StartLoad(url);
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

std::shared_ptr<HtmlDocument> CHtmlView::GetHtmlDocument() const {
    return host_ != nullptr ? host_->document : nullptr;
}

void CHtmlView::OnBeforeNavigate2(const std::string&) {}

void CHtmlView::OnNavigateComplete2(const std::string&) {}

void CHtmlView::OnDocumentComplete(const std::string&) {}

void CHtmlView::OnNavigateError(const std::string&, HRESULT) {}

BOOL CHtmlView::OnAmbientProperty(DISPID, VARIANT*) {
    return FALSE;
}

LRESULT CHtmlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(GetSafeHwnd(), message, wParam, lParam);
}
