// A page loader: a hidden child dialog of Sollet's main dialog with one browser
// control. The main dialog hands it one page address at a time (Load); it loads the
// page silently, without pictures or scripts, and posts the page's images
// (WM_IMAGES_FOUND) and page links (WM_LINKS_FOUND) to its parent, then reports itself
// idle (WM_LOADER_IDLE).
//
// Every Load ends in exactly one idle report: after the top document completes (with
// the page's images and links), at once when the address does not answer the probe, when
// the load fails, when the document can be read as no HTML page, or when the guard time
// (Timing().oneClickLoaderGuardMs, counted from the navigation, after the probe) passes
// first. Events of a load after its report are ignored.
//
// Threading: the main dialog's thread only, like the dialog itself. The process lock is
// held while a load starts and while a complete page is read, never across the probe.
#pragma once

#include <cstdint>
#include <string>

#include "platform/browser/CWebBrowser2.h"
#include "platform/ui/Dialog.h"

// The download-control flags of a loader's browser: silent, no scripts, no Java, no
// ActiveX downloads or runs, no behaviours, download only; pictures are not fetched.
constexpr LONG kLoaderDownloadControl = 0x40008F80;

class PageLoaderDialog : public CDialog, public WebBrowserControlSite {
public:
    PageLoaderDialog();
    ~PageLoaderDialog() override;

    // Makes the hidden loader window (resource 129) as a child of parent, with its
    // browser control 1000. False when it cannot be made.
    bool CreateLoader(HWND parent);

    // Starts loading url: the loader is busy until its idle report. An address that
    // does not answer the probe (UrlExists) is reported idle before this returns.
    void Load(const std::string& url);

    // Idle while no busy timer runs (the main dialog hands links to idle loaders only).
    bool IsIdle() const { return timerId_ == 0; }
    // A number no other loader of the process has; the messages this loader posts
    // carry it as lParam, so the main dialog knows an old loader's late messages.
    std::uint64_t Serial() const { return serial_; }

    CWebBrowser2& Browser() { return browser_; }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // WebBrowserControlSite
    BOOL OnAmbientProperty(UINT controlId, DISPID dispid, VARIANT* result) override;
    void OnDocumentComplete(UINT controlId, const std::string& url) override;
    void OnNavigateError(UINT controlId, const std::string& url, HRESULT error) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}

private:
    // Reads the top document's images and links and posts them; false when the
    // document cannot be read (no HTML document, or a failure reading it).
    bool PostPageContents();
    // Ends the current load: the timers stop and WM_LOADER_IDLE goes to the parent.
    void ReportIdle();

    CWebBrowser2 browser_;
    UINT_PTR timerId_ = 0;
    std::uint64_t serial_;
};
