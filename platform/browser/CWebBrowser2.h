// The WebBrowser control as a dialog places it: a browser control with a control id,
// whose events and ambient-property questions go to the dialog (its
// WebBrowserControlSite), and the calls a dialog makes on it. The control is a
// CHtmlView underneath; View() gives its live document, the user's actions and the
// presentation seam.
//
// Threading: Create on the dialog's thread, which becomes the control's; everything else
// there too. Scripts on pages never run.
#pragma once

#include <memory>
#include <string>

#include "platform/browser/CHtmlView.h"
#include "platform/com/Unknown.h"

// The dialog's side of its browser controls: each call names the control by its id.
// Every default does nothing (FALSE: the control's default answer).
class WebBrowserControlSite {
public:
    virtual ~WebBrowserControlSite() = default;
    virtual BOOL OnAmbientProperty(UINT controlId, DISPID dispid, VARIANT* result);
    virtual void OnBeforeNavigate2(UINT controlId, const std::string& url, DWORD flags,
                                   const std::string& targetFrameName,
                                   const std::string& postedData, const std::string& headers,
                                   BOOL* cancel);
    virtual void OnNavigateComplete2(UINT controlId, const std::string& url);
    // For each frame, then the top document (see CHtmlView).
    virtual void OnDocumentComplete(UINT controlId, const std::string& url);
    virtual void OnNavigateError(UINT controlId, const std::string& url, HRESULT error);
    virtual void OnCommandStateChange(UINT controlId, LONG command, BOOL enable);
};

class CWebBrowser2 {
public:
    CWebBrowser2();
    ~CWebBrowser2();
    CWebBrowser2(const CWebBrowser2&) = delete;
    CWebBrowser2& operator=(const CWebBrowser2&) = delete;

    // Makes the control's window on the calling thread with parent and control id
    // recorded; events go to site (may be null; it must outlive the control's window).
    // FALSE when it cannot be made or exists already.
    BOOL Create(HWND parent, UINT controlId, WebBrowserControlSite* site = nullptr);
    // Ends the control's loads and destroys its window. Harmless when done before.
    void DestroyWindow();

    HWND GetSafeHwnd() const;
    HWND GetParentHwnd() const;
    UINT GetDlgCtrlID() const;

    // As CHtmlView::Navigate2 (flags, target, post data and headers: none).
    BOOL Navigate(const std::string& url);
    BOOL GoBack();
    BOOL GoForward();
    BOOL Stop();
    std::string GetLocationURL() const;
    // The control's Document: a COM object over the current top document (it answers
    // IHTMLDocument2 and IHTMLDocument3); empty while there is none.
    ComPointer<IDispatch> GetDocument() const;
    // The control's COM object (IWebBrowser2 and the rest), without an added reference.
    IUnknown* GetControlUnknown() const;

    // The browser control itself: its live document, the user's actions, the seam.
    CHtmlView& View();

private:
    class ControlView;
    std::unique_ptr<ControlView> view_;
};
