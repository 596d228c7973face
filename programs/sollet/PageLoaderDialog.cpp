#include "programs/sollet/PageLoaderDialog.h"

#include <atomic>
#include <memory>

#include "engine/util/UrlClassification.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/ComError.h"
#include "platform/lock/ProcessLock.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"
#include "platform/window/Timer.h"
#include "programs/sollet/SolletIds.h"

namespace {

std::atomic<std::uint64_t> nextSerial{1};

}  // namespace

PageLoaderDialog::PageLoaderDialog() : CDialog(IDD_PAGE_LOADER), serial_(nextSerial++) {}

PageLoaderDialog::~PageLoaderDialog() {
    browser_.DestroyWindow();
    DestroyWindow();
}

bool PageLoaderDialog::CreateLoader(HWND parent) {
    return Create(IDD_PAGE_LOADER, parent) && browser_.GetSafeHwnd() != nullptr;
}

BOOL PageLoaderDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    browser_.Create(m_hWnd, IDC_BROWSER, this);
    return TRUE;
}

void PageLoaderDialog::Load(const std::string& url) {
    {
        ProcessLockGuard lock;
        timerId_ = SetTimer(kLoaderBusyTimer, kLoaderBusyTimerMs);
        if (timerId_ == 0)
            timerId_ = kLoaderBusyTimer;  // a dead window: the report below still comes
        KillTimer(kLoaderGuardTimer);
    }
    // A network call: never with the lock held.
    const bool reachable = UrlExists(url);
    ProcessLockGuard lock;
    if (!reachable) {
        ReportIdle();
        return;
    }
    SetWindowText(url);
    // The guard counts from the load's start: the probe's time is not the page's.
    SetTimer(kLoaderGuardTimer, Timing().oneClickLoaderGuardMs);
    if (!browser_.Navigate(url))
        ReportIdle();
}

void PageLoaderDialog::ReportIdle() {
    if (timerId_ == 0)
        return;
    KillTimer(kLoaderBusyTimer);
    KillTimer(kLoaderGuardTimer);
    timerId_ = 0;
    ::PostMessage(::GetParent(m_hWnd), WM_LOADER_IDLE, reinterpret_cast<WPARAM>(this),
                  static_cast<LPARAM>(serial_));
}

BOOL PageLoaderDialog::OnAmbientProperty(UINT, DISPID dispid, VARIANT* result) {
    if (dispid != DISPID_AMBIENT_DLCONTROL || result == nullptr)
        return FALSE;
    *result = VariantFromInteger(kLoaderDownloadControl);
    return TRUE;
}

void PageLoaderDialog::OnDocumentComplete(UINT, const std::string&) {
    if (IsIdle())
        return;  // a late event of a load already reported
    // A frame's document completes while the top document is still being read; only
    // the top's completion ends the load.
    std::shared_ptr<HtmlDocument> top = browser_.View().GetHtmlDocument();
    if (top && top->ReadyState() != "complete")
        return;
    ProcessLockGuard lock;
    PostPageContents();
    ReportIdle();
}

void PageLoaderDialog::OnNavigateError(UINT, const std::string& url, HRESULT error) {
    if (IsIdle())
        return;
    Trace("sollet", "load of %s failed: 0x%08X", url.c_str(), static_cast<unsigned>(error));
    ProcessLockGuard lock;
    ReportIdle();
}

bool PageLoaderDialog::PostPageContents() {
    try {
        ComPointer<IDispatch> dispatch = browser_.GetDocument();
        ComPointer<IHTMLDocument2> document = dispatch.query<IHTMLDocument2>();
        if (!document)
            return false;
        std::shared_ptr<HtmlDocument> model = document->Model();
        if (!model)
            return false;
        auto images = std::make_unique<StringArray>();
        auto links = std::make_unique<StringArray>();
        StringArray candidates;
        const HtmlElementCollection pictures = model->Images();
        for (LONG i = 0; i < pictures.Length(); ++i) {
            std::string source = pictures.Item(i)->Src();
            if (!source.empty())
                images->push_back(std::move(source));
        }
        const HtmlElementCollection anchors = model->Links();
        for (LONG i = 0; i < anchors.Length(); ++i) {
            std::string address = anchors.Item(i)->Href();
            if (!address.empty())
                candidates.push_back(std::move(address));
        }
        FilterPageUrls(candidates, *links);
        FilterImageUrls(candidates, *images);
        const HWND parent = ::GetParent(m_hWnd);
        const LPARAM serial = static_cast<LPARAM>(serial_);
        PostOwnedMessage(parent, WM_IMAGES_FOUND, std::move(images), serial);
        PostOwnedMessage(parent, WM_LINKS_FOUND, std::move(links), serial);
        return true;
    } catch (const ComError& error) {
        Trace("sollet", "page not read: %s", error.what());
    } catch (const std::bad_alloc&) {
        Trace("sollet", "page not read: out of memory");
    }
    return false;
}

LRESULT PageLoaderDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (wParam == kLoaderBusyTimer)
            return 0;
        if (wParam == kLoaderGuardTimer) {
            if (!IsIdle()) {
                Trace("sollet", "page not complete in time, loader %llu goes on",
                      static_cast<unsigned long long>(serial_));
                browser_.Stop();
                ProcessLockGuard lock;
                ReportIdle();
            }
            KillTimer(kLoaderGuardTimer);
            return 0;
        }
    }
    return CDialog::WindowProc(hwnd, message, wParam, lParam);
}
