#include "engine/browser/Browser.h"

#include <exception>

#include "engine/jobs/MutexLock.h"
#include "engine/util/UrlClassification.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

namespace {

// Posted by Navigate to the browser's own window: wParam is the URL to load.
constexpr UINT WM_BROWSER_NAVIGATE = 0x4C9;

std::unique_ptr<CObject> CreateBrowser() {
    return std::make_unique<Browser>();
}

}  // namespace

const CRuntimeClass Browser::classBrowser{"Browser", &CreateBrowser};

Browser::Browser() = default;

Browser::~Browser() = default;

void Browser::Navigate(const std::string& url) {
    if (!UrlExists(url)) {
        Trace("browser", "not reachable: %s", url.c_str());
        FailAtOnce();
        return;
    }
    {
        MutexLock lock;
        requestedUrl_ = url;
    }
    const HWND hwnd = GetSafeHwnd();
    if (hwnd == nullptr ||
        !PostOwnedMessage(hwnd, WM_BROWSER_NAVIGATE, std::make_unique<std::string>(url), 0)) {
        Trace("browser", "no browser thread to load %s", url.c_str());
        FailAtOnce();
    }
}

void Browser::FailAtOnce() {
    failed_ = true;
    reported_ = true;
    listeners_.Broadcast(WM_PAGE_LOADED, reinterpret_cast<WPARAM>(this), 0);
}

void Browser::AddObject(MessageListener* listener) {
    listeners_.AddObject(listener);
}

void Browser::RemoveObject(MessageListener* listener) {
    listeners_.RemoveObject(listener);
}

int Browser::GetListenerCount() const {
    return listeners_.GetObjectCount();
}

void Browser::PostStop() {
    PostMessage(GetSafeHwnd(), WM_BROWSER_STOP, 0, 0);
}

std::string Browser::GetRequestedUrl() const {
    MutexLock lock;
    return requestedUrl_;
}

void Browser::BeginLoad(const std::string& url) {
    KillPageTimer();
    KillLoadGuard();
    done_ = false;
    reported_ = false;
    failed_ = false;
    awaiting_ = true;
    watching_ = true;
    loadGuardRunning_ =
        SetTimer(GetSafeHwnd(), BrowserLoadGuardTimerId, Timing().pageLoadGuardMs) != 0;
    Navigate2(url);
}

void Browser::OnBeforeNavigate2(const std::string& url, DWORD flags,
                                const std::string& targetFrameName, const std::string& postedData,
                                const std::string& headers, BOOL* cancel) {
    if (!watching_)
        return;
    if (awaiting_ || done_) {
        done_ = false;
        reported_ = false;
        failed_ = false;
        topUrl_ = url;
    }
    CHtmlView::OnBeforeNavigate2(url, flags, targetFrameName, postedData, headers, cancel);
}

void Browser::OnNavigateComplete2(const std::string& url) {
    if (!watching_)
        return;
    if (awaiting_) {
        awaiting_ = false;
        topUrl_ = url;
    }
    CHtmlView::OnNavigateComplete2(url);
}

void Browser::OnDocumentComplete(const std::string& url) {
    if (!watching_)
        return;
    KillPageTimer();
    if (EqualsNoCase(url, topUrl_))
        done_ = true;
    if (done_ || IsReadyStateComplete()) {
        Report();
        return;
    }
    if (SetTimer(GetSafeHwnd(), BrowserPageTimerId, Timing().pageGuardMs) != 0)
        timer_ = BrowserPageTimerId;
}

void Browser::OnNavigateError(const std::string& url, HRESULT error) {
    if (!watching_)
        return;
    Trace("browser", "load of %s failed: 0x%08X", url.c_str(), static_cast<unsigned>(error));
    failed_ = true;
    Report();
}

BOOL Browser::OnAmbientProperty(DISPID dispid, VARIANT* result) {
    if (!passThrough_ && dispid == DISPID_AMBIENT_DLCONTROL && result != nullptr) {
        *result = VariantFromInteger(imagesAllowed_ ? BrowserDownloadControlWithImages
                                                    : BrowserDownloadControlNoImages);
        return TRUE;
    }
    return CHtmlView::OnAmbientProperty(dispid, result);
}

LRESULT Browser::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_TIMER:
                OnTimer(static_cast<UINT_PTR>(wParam));
                break;
            case WM_BROWSER_STOP:
                OnBrowserStop();
                return 1;
            case WM_BROWSER_NAVIGATE:
                BeginLoad(*reinterpret_cast<const std::string*>(wParam));
                return 0;
            default:
                break;
        }
    } catch (const std::exception& e) {
        Trace("browser", "message 0x%x: %s", message, e.what());
    } catch (...) {
        Trace("browser", "message 0x%x failed", message);
    }
    return CHtmlView::WindowProc(message, wParam, lParam);
}

void Browser::OnTimer(UINT_PTR id) {
    if (id == BrowserPageTimerId) {
        if (timer_.load() == 0)
            return;
        KillPageTimer();
        if (!done_) {
            done_ = true;
            Report();
        }
    } else if (id == BrowserLoadGuardTimerId) {
        KillLoadGuard();
        if (!watching_ || reported_)
            return;
        Trace("browser", "load of %s cut off by the guard", topUrl_.c_str());
        failed_ = true;
        Stop();
        Report();
    }
}

void Browser::OnBrowserStop() {
    failed_ = true;
    Stop();
    Report();
}

void Browser::Report() {
    KillPageTimer();
    KillLoadGuard();
    watching_ = false;
    if (reported_.exchange(true))
        return;
    ListenerList told;
    listeners_.MoveAllTo(told);
    told.Broadcast(WM_PAGE_LOADED, reinterpret_cast<WPARAM>(this), 0);
}

void Browser::KillPageTimer() {
    if (timer_.exchange(0) != 0)
        KillTimer(GetSafeHwnd(), BrowserPageTimerId);
}

void Browser::KillLoadGuard() {
    if (loadGuardRunning_) {
        KillTimer(GetSafeHwnd(), BrowserLoadGuardTimerId);
        loadGuardRunning_ = false;
    }
}

bool Browser::IsReadyStateComplete() const {
    try {
        const std::shared_ptr<HtmlDocument> document = GetHtmlDocument();
        return document != nullptr && EqualsNoCase(document->ReadyState(), "complete");
    } catch (const ComError&) {
        return false;
    }
}
