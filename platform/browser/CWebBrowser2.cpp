#include "platform/browser/CWebBrowser2.h"

#include "platform/browser/WebBrowserInterfaces.h"

BOOL WebBrowserControlSite::OnAmbientProperty(UINT, DISPID, VARIANT*) {
    return FALSE;
}

void WebBrowserControlSite::OnBeforeNavigate2(UINT, const std::string&, DWORD, const std::string&,
                                              const std::string&, const std::string&, BOOL*) {}

void WebBrowserControlSite::OnNavigateComplete2(UINT, const std::string&) {}

void WebBrowserControlSite::OnDocumentComplete(UINT, const std::string&) {}

void WebBrowserControlSite::OnNavigateError(UINT, const std::string&, HRESULT) {}

void WebBrowserControlSite::OnCommandStateChange(UINT, LONG, BOOL) {}

// The control's view: passes every event on to the dialog's site.
class CWebBrowser2::ControlView final : public CHtmlView {
public:
    WebBrowserControlSite* site = nullptr;

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD flags, const std::string& target,
                           const std::string& postedData, const std::string& headers,
                           BOOL* cancel) override {
        if (site)
            site->OnBeforeNavigate2(GetControlId(), url, flags, target, postedData, headers,
                                    cancel);
    }
    void OnNavigateComplete2(const std::string& url) override {
        if (site)
            site->OnNavigateComplete2(GetControlId(), url);
    }
    void OnDocumentComplete(const std::string& url) override {
        if (site)
            site->OnDocumentComplete(GetControlId(), url);
    }
    void OnNavigateError(const std::string& url, HRESULT error) override {
        if (site)
            site->OnNavigateError(GetControlId(), url, error);
    }
    void OnCommandStateChange(LONG command, BOOL enable) override {
        if (site)
            site->OnCommandStateChange(GetControlId(), command, enable);
    }
    BOOL OnAmbientProperty(DISPID dispid, VARIANT* result) override {
        return site ? site->OnAmbientProperty(GetControlId(), dispid, result) : FALSE;
    }
};

CWebBrowser2::CWebBrowser2() : view_(std::make_unique<ControlView>()) {}

CWebBrowser2::~CWebBrowser2() = default;

BOOL CWebBrowser2::Create(HWND parent, UINT controlId, WebBrowserControlSite* site) {
    view_->site = site;
    return view_->Create(parent, controlId);
}

void CWebBrowser2::DestroyWindow() {
    view_->DestroyWindow();
}

HWND CWebBrowser2::GetSafeHwnd() const {
    return view_->GetSafeHwnd();
}

HWND CWebBrowser2::GetParentHwnd() const {
    return view_->GetParentHwnd();
}

UINT CWebBrowser2::GetDlgCtrlID() const {
    return view_->GetControlId();
}

BOOL CWebBrowser2::Navigate(const std::string& url) {
    return view_->Navigate2(url);
}

BOOL CWebBrowser2::GoBack() {
    return view_->GoBack();
}

BOOL CWebBrowser2::GoForward() {
    return view_->GoForward();
}

BOOL CWebBrowser2::Stop() {
    return view_->Stop();
}

std::string CWebBrowser2::GetLocationURL() const {
    return view_->GetLocationURL();
}

ComPointer<IDispatch> CWebBrowser2::GetDocument() const {
    ComPointer<IHTMLDocument2> document = MakeHtmlDocumentObject(view_->GetHtmlDocument());
    return document ? document.query<IDispatch>() : ComPointer<IDispatch>();
}

IUnknown* CWebBrowser2::GetControlUnknown() const {
    return view_->GetControlUnknown();
}

CHtmlView& CWebBrowser2::View() {
    return *view_;
}
