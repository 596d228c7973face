// The viewer of a gallery page: a browser control showing the page and "save...", which
// copies the page to a file the user chooses. Closing it (close box, Enter or Esc) offers
// to save a page not saved yet.
//
// Threading: the main dialog's thread. The main dialog owns every viewer it made.
#pragma once

#include <string>

#include "platform/base/Geometry.h"
#include "platform/browser/CWebBrowser2.h"
#include "platform/ui/Dialog.h"

class GalleryViewerDialog : public CDialog, public WebBrowserControlSite {
public:
    GalleryViewerDialog();
    ~GalleryViewerDialog() override;

    // Makes the viewer (resource 130) owned by parent and shows it. False when it cannot
    // be made.
    bool CreateViewer(HWND parent);

    // Shows the page at pagePath (a system path) with siteUrl as the caption. A site
    // address that starts with "-" (the address edit's hint: no search yet) leaves
    // nothing to save.
    void Show(const std::string& pagePath, const std::string& siteUrl);

    // "save...": "Nothing to save." without a page; else asks for a name (a Save As
    // chooser), adds ".html" to a file name without "." and copies the page there. The
    // page counts as saved only when the copy succeeded; a failed copy is told.
    void Save();

    const std::string& PagePath() const { return pagePath_; }
    bool Saved() const { return saved_; }
    CWebBrowser2& Browser() { return browser_; }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter, Esc and the close box all close the viewer, asking first (Close).
    void OnOK() override { Close(); }
    void OnCancel() override { Close(); }

private:
    // Offers to save an unsaved page ("Would you like to save these images?"), then
    // destroys the window.
    void Close();
    // The browser fills the client area above "save...", which keeps to the bottom.
    void LayOutBrowser();

    CWebBrowser2 browser_;
    std::string pagePath_;
    bool saved_ = false;
};
