// The panel of a finder band: an HTML view showing the module's panel pages, whose
// command links ("#/panel/...", "#/working/...") are caught before they navigate and
// run the product's commands. It reaches the hosting browser through its band to read
// the page shown there, show result pages and edit them; it starts, watches and shows
// the jobs that build views.
//
// Threads: the band's user-interface thread only. Jobs reach the view by the posted
// WM_JOB_FINISHED. The view deletes itself after its window is destroyed (the deletion
// is posted, so it never runs inside the view's own handler).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "band/BandProduct.h"
#include "band/settings/PanelPreferences.h"
#include "engine/extract/CrawlSiteImagesJob.h"
#include "platform/browser/CHtmlView.h"

class CDialog;
class CPanelBand;
class HtmlDocument;
class htmlPage;
struct IWebBrowser2;

// Ends the panel's running jobs and stops the progress page's pool: wParam and lParam 0.
constexpr UINT WM_PANEL_STOP = 0x3403;
// The progress timer's id.
constexpr UINT_PTR PanelProgressTimerId = 1234;

class CHtmlPanelView : public CHtmlView {
public:
    // Makes the view for band, its window as parent's child (the product's window name
    // and id, over parent's client area), and runs its initial update (settings loaded,
    // the main page shown). Null when the window cannot be made.
    static CHtmlPanelView* CreatePanel(const BandProduct& product, CPanelBand* band, HWND parent);

    // The band is going: no call reaches it any more.
    void DetachBand() { band_ = nullptr; }

    const BandProduct& Product() const { return product_; }
    PanelPreferences& Preferences() { return preferences_; }
    CrawlSiteImagesJob* CurrentJob() const { return currentJob_; }
    const std::string& MainPageUrl() const { return mainPageUrl_; }
    const std::string& ProgressPageUrl() const { return progressPageUrl_; }
    const std::string& HelpPageUrl() const { return helpPageUrl_; }
    const std::string& TutorialsPageUrl() const { return tutorialsPageUrl_; }
    const std::string& LastPageShown() const { return lastPageShown_; }
    bool IsStopping() const { return stopping_; }
    bool IsTimerRunning() const { return timerId_ != 0; }
    bool EditFlag() const { return editFlag_; }

    // --- The hosting browser ---
    void NavigateBrowser(const std::string& url);
    // The address of the page shown there, "%20" as blanks; "" without one.
    std::string GetBrowserUrl() const;
    // The markup of the page shown there (as edited); "" without one.
    std::string GetBrowserPageHtml() const;
    // The panel's own edit flag together with the shown page's design mode.
    bool IsEditMode() const;
    void SetEditMode(bool on);
    // The hosting browser navigated (from the band's event sink).
    void OnMainNavigateComplete();

    // --- Commands ---
    // Whether url is a command link (its fragment holds "/panel/" or "/working/"); runs
    // it when it is.
    bool RoutePanelUrl(const std::string& url);
    void OnPanelCommand(const std::string& fragment);
    void OnWorkingCommand(const std::string& fragment);
    // A message box with the product's title and the information icon.
    void ShowMessage(const std::string& text) const;

    // --- Extraction, progress and views ---
    void StartExtraction(const std::string& fragment);
    bool ReadSettingsForm();
    // Fills the product's form fields from the settings when url is the main page's.
    void FillSettingsForm(const std::string& url);
    // Whether the product's criteria form has the field.
    bool HasFormField(std::string_view field) const;
    void StartProgressTimer();
    void StopProgressTimer();
    // Lets go of the progress page's form model; the next update builds it again.
    void ReleaseProgressForm();
    void UpdateProgressPage();
    void OnJobFinished(Job* job);
    void OpenView(const std::string& site, const std::string& viewName, const std::string& folder);
    void StartRegenerateJob(const std::string& editedPage);
    void SaveEditedPage();
    void CancelEdit();
    void UpdateBodyScroll();

    // --- The dialogs ---
    // Open View and the settings dialog: shown (created on first use) and put on top.
    void ShowOpenViewDialog();
    void ShowSettingsDialog();
    bool IsShowingOpenView() const { return showingOpenView_; }
    bool IsShowingSettings() const { return showingSettings_; }

    // --- What the dialogs report ---
    // New View Name: the name typed and the two check boxes; starts the extraction.
    void OnNewViewNameDialogOk(const std::string& name, bool autoGenerate, bool dontBug);
    // Whether an extraction waits for a view name (the New View Name dialog was asked).
    bool IsAskingViewName() const { return askingViewName_; }
    // Open View: opens the chosen site's view and shows its marker page.
    void OnOpenViewDialogOk(const std::string& siteName, const std::string& viewName);
    // Settings: the storage folder chosen; an empty one is ignored.
    void OnSettingsDialogOk(const std::string& storageFolder);

    // The ask-again flag of the module (true when it loads).
    static bool AskAgain();
    static void SetAskAgain(bool ask);

protected:
    explicit CHtmlPanelView(const BandProduct& product);
    ~CHtmlPanelView() override;

    void OnInitialUpdate() override;
    void OnBeforeNavigate2(const std::string& url, DWORD flags, const std::string& target,
                           const std::string& postedData, const std::string& headers,
                           BOOL* cancel) override;
    void OnDocumentComplete(const std::string& url) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend struct PanelViewDeleter;

    void OnTimer();
    void OnDestroy();
    void NotifyBandFocus(bool focus);
    IWebBrowser2* HostingBrowser() const;
    std::shared_ptr<HtmlDocument> HostingDocument() const;
    // Queues job as the current one (replacing and disposing of the one before).
    void SetCurrentJob(CrawlSiteImagesJob* job);
    // Makes job current without queueing it or listening to it.
    void SetIdleJob(CrawlSiteImagesJob* job);
    // Disposes of the current job: the panel no longer listens, the job is cancelled
    // and deleted once its threads have left it.
    void ReleaseCurrentJob();
    void StartViewJob();
    void ShowNewViewNameDialog();
    void EnsureBrowserPool(int threads);
    void ReplaceDialog(std::unique_ptr<CDialog>& slot, std::unique_ptr<CDialog> dialog,
                       int templateId);

    const BandProduct& product_;
    PanelPreferences preferences_;
    CPanelBand* band_ = nullptr;
    CrawlSiteImagesJob* currentJob_ = nullptr;
    std::unique_ptr<htmlPage> progressForm_;
    std::string lastPageShown_;
    std::string mainPageUrl_, progressPageUrl_, helpPageUrl_, tutorialsPageUrl_, mainPageTail_;
    UINT_PTR timerId_ = 0;
    bool blink_ = false;
    bool stopping_ = false;
    bool timerMayRun_ = true;
    bool editFlag_ = false;
    bool suppressEditEnd_ = false;
    bool focus_ = false;
    bool askingViewName_ = false;
    bool showingOpenView_ = false;
    bool showingSettings_ = false;
    // The dialog shown last of each kind; a new one replaces it each time.
    std::unique_ptr<CDialog> newViewNameDialog_, openViewDialog_, settingsDialog_;
};
