// Ambrevin's main dialog (template 102): the person browses in the browse control, and
// Extract or "Follow My Next Click..." has the shown pages scanned for pictures
// (PageCrawl); the found pictures are listed and shown on the found page, which can be
// saved, as can the list.
#pragma once

#include <string>

#include "platform/browser/CWebBrowser2.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Dialog.h"
#include "programs/ambrevin/OwnerDrawButton.h"
#include "programs/ambrevin/PageCrawl.h"

constexpr int IDD_ADVANCEDFINDER_DIALOG = 102;
constexpr int IDD_ABOUTBOX = 100;
constexpr int kProgramIcon = 128;  // a picture under a magnifying glass

// The control ids of dialog 102.
enum AdvancedFinderControl {
    IDC_BROWSER = 1000,
    IDC_ADDRESS = 1001,
    IDC_FOUND_LIST = 1002,
    IDC_FOLLOW = 1003,
    IDC_EXTRACT = 1004,
    IDC_STOP = 1005,
    IDC_SAVE_LIST = 1006,
    IDC_GO = 1007,
    IDC_CLEAR_LIST = 1008,
    IDC_STAY_ON_SITE = 1009,
    IDC_BACK = 1010,
    IDC_FORWARD = 1011,
    IDC_PAGE_TIMEOUT = 1012,
    IDC_FOUND_BROWSER = 1013,
    IDC_TABS = 1014,
    IDC_REFRESH = 1015,
    IDC_SAVE_PAGE = 1016,
    IDC_MINIMUM_HEIGHT = 1017,
    IDC_MINIMUM_WIDTH = 1018,
};

// The About item the dialog appends to its system menu.
constexpr UINT IDM_ABOUTBOX = 0x0010;
constexpr const char* kAboutMenuText = "&About Ambrevin...";

constexpr const char* kScriptsQuestion =
    "Would you like to disable scripts?\n\nYes == Fewer Problems.";
constexpr const char* kClearListQuestion = "Do you wish to clear the list?";
// The download-control answers: scripts, Java, ActiveX and behaviours off, silent,
// pictures fetched; or pictures fetched alone.
constexpr LONG kScriptsOffDownloadControl = 0x40008790;
constexpr LONG kScriptsOnDownloadControl = 0x10;
// The page the browse control opens at start.
constexpr const char* kDefaultStartPage = "https://duckduckgo.com/";

// The About box (template 100).
class AboutDialog : public CDialog {
public:
    explicit AboutDialog(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}
};

class AdvancedFinderDialog : public CDialog, public WebBrowserControlSite, public PageCrawlHost {
public:
    explicit AdvancedFinderDialog(std::string startPage = kDefaultStartPage);
    ~AdvancedFinderDialog() override;

    PageCrawl& Crawl() { return crawl_; }
    CWebBrowser2& FoundControl() { return foundControl_; }
    // The owner-drawn push button of a control id; null for any other id.
    OwnerDrawButton* Button(int id);
    bool ScriptsOff() const { return scriptsOff_; }
    int PageTimeoutSeconds() const { return pageTimeout_; }
    // The text of the found page last built.
    const std::string& FoundPage() const { return foundPage_; }

    // The actions of the dialog's buttons.
    void Navigate();
    void ShowFoundTab(int tab);
    std::string BuildFoundImagesPageText();
    void SaveFoundPage();
    void SaveList();
    void ClearList();

    // --- PageCrawlHost ---
    CWebBrowser2& BrowseControl() override { return browseControl_; }
    HWND MessageOwner() const override { return m_hWnd; }
    void ShowAddress(const std::string& url) override;
    void AddFoundRow(const std::string& url) override;
    void UpdateTitle() override;
    void EnableControls(bool enable) override;
    void ReadCrawlSettings() override;
    bool StayOnSiteTicked() override;
    void StartTimer(UINT_PTR id, UINT elapseMs) override;
    void StopTimer(UINT_PTR id) override;
    void BuildFoundImagesPage() override { BuildFoundImagesPageText(); }

    // --- the browser controls' events ---
    BOOL OnAmbientProperty(UINT controlId, DISPID dispid, VARIANT* result) override;
    void OnDocumentComplete(UINT controlId, const std::string& url) override;
    void OnCommandStateChange(UINT controlId, LONG command, BOOL enable) override;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    void ShowBrowserControls();

    // The buttons, as the dialog binds them.
    OwnerDrawButton savePage_, refresh_, forward_, back_, clearList_, saveList_, stop_, go_,
        follow_, extract_;
    ButtonBase stayOnSite_;
    CWebBrowser2 browseControl_;
    int pageTimeout_ = 5;
    CWebBrowser2 foundControl_;
    int minimumHeight_ = 0;
    int minimumWidth_ = 0;
    PageCrawl crawl_{*this};
    bool scriptsOff_ = false;
    bool backEnabled_ = false;
    bool forwardEnabled_ = false;
    bool foundShown_ = false;
    std::string startPage_;
    std::string foundPage_;
    HICON icon_ = LoadIcon(GetResourceModule(), kProgramIcon);  // shared: icon 128
    RECT browseRect_{};
    RECT foundRect_{};
};
