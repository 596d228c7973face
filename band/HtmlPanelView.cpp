// The panel view: pages, navigation, the hosting browser, edit mode, layout and the
// view's own life. Commands, extraction and progress are in PanelCommands.cpp and
// PanelExtraction.cpp.
#include "band/HtmlPanelView.h"

#include "band/BandModule.h"
#include "band/PanelBand.h"
#include "band/PanelDialogs.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/JobManager.h"
#include "engine/model/PageReading.h"
#include "engine/model/htmlPage.h"
#include "engine/util/StringUtilities.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"
#include "platform/ui/MessageBox.h"
#include "platform/window/Timer.h"
#include "platform/window/WindowTree.h"

namespace {

// Deletes views whose windows have gone, from a message posted to a window of the
// view's thread, so that a view is never deleted inside its own handler. A view still
// queued when the thread ends is deleted with the message.
class ViewReaper final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
};

HWND ReaperWindow() {
    thread_local ViewReaper reaper;
    thread_local HWND window = nullptr;
    if (!IsWindow(window))
        window = CreateMessageWindow(&reaper);
    return window;
}

std::string ModulePageUrl(int id) {
    const std::string module = GetModuleFileName(ThisModule());
    if (module.empty())
        return {};
    return FormatText("res://%s/%d", module.c_str(), id);
}

bool askAgain = true;

}  // namespace

struct PanelViewDeleter {
    void operator()(CHtmlPanelView* view) const { delete view; }
};

namespace {

// A view on its way out, deleted with the message that carries it.
class PanelViewPayload final : public MessagePayload {
public:
    explicit PanelViewPayload(CHtmlPanelView* view) : view_(view) {}
    ~PanelViewPayload() override { PanelViewDeleter{}(view_); }
    void* Object() override { return view_; }

private:
    CHtmlPanelView* view_;
};

}  // namespace

CHtmlPanelView::CHtmlPanelView(const BandProduct& product)
    : product_(product), preferences_(product.defaultPreferences()) {
    StartBandEngine(product);
}

CHtmlPanelView::~CHtmlPanelView() {
    StopProgressTimer();
    ReleaseCurrentJob();
}

CHtmlPanelView* CHtmlPanelView::CreatePanel(const BandProduct& product, CPanelBand* band,
                                            HWND parent) {
    auto* view = new CHtmlPanelView(product);
    view->band_ = band;
    if (!view->Create(parent, static_cast<UINT>(product.windowId), product.windowName,
                      WS_CHILD | WS_VISIBLE)) {
        view->band_ = nullptr;
        delete view;
        return nullptr;
    }
    view->OnInitialUpdate();
    return view;
}

bool CHtmlPanelView::AskAgain() {
    return askAgain;
}

void CHtmlPanelView::SetAskAgain(bool ask) {
    askAgain = ask;
}

void CHtmlPanelView::OnInitialUpdate() {
    product_.loadSettings(preferences_);
    mainPageUrl_ = ModulePageUrl(product_.mainPage);
    progressPageUrl_ = ModulePageUrl(product_.progressPage);
    tutorialsPageUrl_ = ModulePageUrl(product_.tutorialsPage);
    helpPageUrl_ = ModulePageUrl(product_.helpPage);
    const size_t slash = mainPageUrl_.find_last_of('\\');
    mainPageTail_ = slash == std::string::npos ? mainPageUrl_ : mainPageUrl_.substr(slash + 1);
    Navigate2(mainPageUrl_);
}

LRESULT CHtmlPanelView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            product_.loadSettings(preferences_);
            return 0;
        case WM_TIMER:
            if (wParam == PanelProgressTimerId)
                OnTimer();
            return 0;
        case WM_SIZE:
            UpdateBodyScroll();
            break;
        case WM_SETFOCUS:
            NotifyBandFocus(true);
            break;
        case WM_KILLFOCUS:
            NotifyBandFocus(false);
            break;
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_NCDESTROY: {
            const LRESULT answer = CHtmlView::WindowProc(message, wParam, lParam);
            // The window has gone: the view follows once this handler has returned.
            PostPayloadMessage(ReaperWindow(), WM_NULL, std::make_unique<PanelViewPayload>(this),
                               0);
            return answer;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_FILE_PRINT) {
                OnFilePrint();
                return 0;
            }
            break;
        case WM_JOB_FINISHED:
            OnJobFinished(reinterpret_cast<Job*>(wParam));
            return 0;
        case WM_PANEL_STOP:
            if (currentJob_ != nullptr)
                currentJob_->Cancel();
            if (theBrowserPool != nullptr)
                theBrowserPool->StopActive();
            return 1;
        default:
            break;
    }
    return CHtmlView::WindowProc(message, wParam, lParam);
}

void CHtmlPanelView::OnDestroy() {
    for (std::unique_ptr<CDialog>* dialog :
         {&newViewNameDialog_, &openViewDialog_, &settingsDialog_}) {
        if (*dialog && (*dialog)->GetSafeHwnd() != nullptr)
            (*dialog)->DestroyWindow();
    }
    StopProgressTimer();
    ReleaseCurrentJob();
    if (band_ != nullptr) {
        CPanelBand* band = band_;
        band_ = nullptr;
        band->OnViewDestroyed();
    }
}

void CHtmlPanelView::NotifyBandFocus(bool focus) {
    focus_ = focus;
    if (band_ != nullptr)
        band_->OnFocusChange(focus);
}

// --- Navigation ---

void CHtmlPanelView::OnBeforeNavigate2(const std::string& url, DWORD flags,
                                       const std::string& target, const std::string& postedData,
                                       const std::string& headers, BOOL* cancel) {
    if (!RoutePanelUrl(url))
        CHtmlView::OnBeforeNavigate2(url, flags, target, postedData, headers, cancel);
}

bool CHtmlPanelView::RoutePanelUrl(const std::string& url) {
    // Commands live in the fragment only, so no address (a module's path, a page on the
    // web) can turn into one.
    const size_t hash = url.find('#');
    if (hash == std::string::npos)
        return false;
    const std::string fragment = url.substr(hash + 1);
    const std::string lower = ToLowerAscii(fragment);
    if (lower.find("/panel/") != std::string::npos) {
        OnPanelCommand(fragment);
        return true;
    }
    if (lower.find("/working/") != std::string::npos) {
        OnWorkingCommand(fragment);
        return true;
    }
    return false;
}

void CHtmlPanelView::OnDocumentComplete(const std::string& url) {
    FillSettingsForm(url);
    UpdateBodyScroll();
    CHtmlView::OnDocumentComplete(url);
}

IWebBrowser2* CHtmlPanelView::HostingBrowser() const {
    return band_ != nullptr ? band_->HostingBrowser() : nullptr;
}

std::shared_ptr<HtmlDocument> CHtmlPanelView::HostingDocument() const {
    IWebBrowser2* browser = HostingBrowser();
    if (browser == nullptr)
        return nullptr;
    ComPointer<IDispatch> document;
    if (FAILED(browser->get_Document(document.put())) || !document)
        return nullptr;
    ComPointer<IHTMLDocument2> html = document.query<IHTMLDocument2>();
    return html ? html->Model() : nullptr;
}

void CHtmlPanelView::NavigateBrowser(const std::string& url) {
    lastPageShown_ = url;
    if (IWebBrowser2* browser = HostingBrowser()) {
        ScopedBstr address(url);
        browser->Navigate(address.get(), nullptr, nullptr, nullptr, nullptr);
    }
}

std::string CHtmlPanelView::GetBrowserUrl() const {
    std::shared_ptr<HtmlDocument> document = HostingDocument();
    if (!document)
        return {};
    return ReplaceAll(document->Url(), "%20", " ");
}

std::string CHtmlPanelView::GetBrowserPageHtml() const {
    std::shared_ptr<HtmlDocument> document = HostingDocument();
    return document ? GetDocumentHtml(document) : std::string();
}

bool CHtmlPanelView::IsEditMode() const {
    if (!editFlag_)
        return false;
    std::shared_ptr<HtmlDocument> document = HostingDocument();
    return document && EqualsNoCase(document->DesignMode(), "on");
}

void CHtmlPanelView::SetEditMode(bool on) {
    editFlag_ = on;
    suppressEditEnd_ = on;
    if (std::shared_ptr<HtmlDocument> document = HostingDocument())
        document->SetDesignMode(on ? "On" : "Off");
}

void CHtmlPanelView::OnMainNavigateComplete() {
    if (editFlag_ && !suppressEditEnd_)
        SetEditMode(false);
    suppressEditEnd_ = false;
}

void CHtmlPanelView::UpdateBodyScroll() {
    std::shared_ptr<HtmlDocument> document = GetHtmlDocument();
    if (!document || GetSafeHwnd() == nullptr)
        return;
    std::shared_ptr<HtmlElement> body = document->Body();
    if (!body)
        return;
    RECT client{};
    GetClientRect(GetSafeHwnd(), &client);
    const int height = client.bottom - client.top;
    const bool scrolls = EqualsNoCase(body->GetAttribute("scroll"), "yes");
    if (scrolls && height > product_.bodyScrollThreshold)
        body->SetAttribute("scroll", "no");
    else if (!scrolls && height <= product_.bodyScrollThreshold)
        body->SetAttribute("scroll", "yes");
}

void CHtmlPanelView::ShowMessage(const std::string& text) const {
    MessageBox(GetSafeHwnd(), text, product_.title, MB_ICONINFORMATION);
}
