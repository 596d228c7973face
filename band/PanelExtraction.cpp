// The panel's side of an extraction: the criteria form, the view name, the job, the
// progress page on its timer, the finished view, stored views and their rebuild.
#include <memory>

#include "band/HtmlPanelView.h"
#include "band/PanelDialogs.h"
#include "band/ViewNames.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/extract/regenerateHtmlJob.h"
#include "engine/jobs/JobManager.h"
#include "engine/model/PageReading.h"
#include "engine/model/htmlPage.h"
#include "engine/util/Conversions.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/text/Text.h"
#include "platform/timing/Timing.h"
#include "platform/window/Timer.h"

// --- Jobs ---

void CHtmlPanelView::ReleaseCurrentJob() {
    CrawlSiteImagesJob* job = currentJob_;
    currentJob_ = nullptr;
    if (job == nullptr)
        return;
    // No notice of it reaches the panel any more; it is cancelled and deleted once every
    // thread has left it.
    job->GetListeners().RemoveAllWindows();
    DeleteJob(job);
}

void CHtmlPanelView::SetCurrentJob(CrawlSiteImagesJob* job) {
    if (job == nullptr)
        return;
    job->ClearStop();
    ReleaseCurrentJob();
    job->AddListenerWindow(GetSafeHwnd());
    currentJob_ = job;
    if (theJobManager != nullptr)
        theJobManager->AddJob(job);
}

void CHtmlPanelView::SetIdleJob(CrawlSiteImagesJob* job) {
    ReleaseCurrentJob();
    currentJob_ = job;
}

void CHtmlPanelView::EnsureBrowserPool(int threads) {
    if (theBrowserPool == nullptr)
        StartBrowserPool(BrowserImagesAllowed, threads);
}

// --- The criteria form ---

namespace {

// The settings' value that the criteria form's field shows.
std::string FormFieldValue(const PanelSettings& s, std::string_view field) {
    if (field == "depth")
        return IntToString(s.depth);
    if (field == "wander")
        return BoolToString(s.wander);
    if (field == "cache")
        return BoolToString(s.cache);
    if (field == "removecache")
        return BoolToString(s.removeCache);
    if (field == "minwidth")
        return IntToString(s.minWidth);
    if (field == "minheight")
        return IntToString(s.minHeight);
    if (field == "maximages")
        return IntToString(s.maxImages);
    if (field == "thumbsize")
        return IntToString(s.thumbnailWidth);
    if (field == "zoomsize")
        return IntToString(s.zoomSize);
    if (field == "filter")
        return s.filterWords;
    if (field == "sites")
        return s.siteList;
    return {};
}

}  // namespace

bool CHtmlPanelView::HasFormField(std::string_view field) const {
    for (const std::string_view listed : product_.formFields) {
        if (listed == field)
            return true;
    }
    return false;
}

void CHtmlPanelView::FillSettingsForm(const std::string& url) {
    if (mainPageTail_.empty() || url.find(mainPageTail_) == std::string::npos ||
        HostingBrowser() == nullptr)
        return;
    std::shared_ptr<HtmlDocument> document = GetHtmlDocument();
    if (!document)
        return;
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, false);
    const PanelSettings& s = preferences_.settings;
    for (const std::string_view field : product_.formFields)
        page->setFormValue(0, std::string(field), FormFieldValue(s, field));
    page->releaseDom();
    if (std::shared_ptr<HtmlElement> current = document->GetElementById("curview")) {
        std::string host = HostOfUrl(s.siteUrl);
        if (host.size() > 30)
            host = host.substr(0, 27) + "...";
        // Written as text: a host is never taken as markup.
        current->SetInnerText(host.empty() ? "current view" : host);
    }
}

bool CHtmlPanelView::ReadSettingsForm() {
    std::shared_ptr<HtmlDocument> document = GetHtmlDocument();
    if (!document)
        return false;
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, false);
    auto field = [&](const char* name) {
        std::string value;
        page->getFormValue(0, name, value);
        return value;
    };
    const std::string depth = field("depth"), wander = field("wander"),
                      minWidth = field("minwidth"), minHeight = field("minheight"),
                      maxImages = field("maximages"), thumbSize = field("thumbsize"),
                      zoomSize = field("zoomsize"), removeCache = field("removecache"),
                      filter = field("filter"), sites = field("sites");
    page->releaseDom();
    PanelSettings& s = preferences_.settings;
    s.siteUrl = GetBrowserUrl();
    s.depth = StringToInt(depth);
    s.wander = IsTrueString(wander);
    s.cache = true;
    s.removeCache = IsTrueString(removeCache);
    s.minWidth = StringToInt(minWidth);
    s.minHeight = StringToInt(minHeight);
    s.minFileSize = 0;
    s.folder = preferences_.storageFolder;
    s.maxImages = StringToInt(maxImages);
    s.viewName = "default";
    s.thumbnails = false;
    s.thumbnailWidth = StringToInt(thumbSize);
    s.thumbnailHeight = s.thumbnailWidth;
    s.zoomSize = StringToInt(zoomSize);
    // The list bands' boxes; a product without them keeps the values it has.
    if (HasFormField("filter"))
        s.filterWords = filter;
    if (HasFormField("sites"))
        s.siteList = sites;
    if (s.siteUrl.empty()) {
        ShowMessage("Unable to figure out the site's URL.");
        return false;
    }
    return true;
}

// --- Starting an extraction ---

void CHtmlPanelView::StartExtraction(const std::string& fragment) {
    stopping_ = false;
    EnsureBrowserPool(product_.extractionBrowserThreads);
    if (!ReadSettingsForm())
        return;
    const size_t fast = fragment.find("fast");
    preferences_.settings.fast = fast != std::string::npos && fast > 0;
    PanelSettings& s = preferences_.settings;
    const bool taken = s.viewName.empty() || ViewExists(preferences_.storageFolder, s.siteUrl,
                                                        s.viewName, product_.markerPage);
    if (taken && !(preferences_.dontBug && !AskAgain())) {
        ShowNewViewNameDialog();
        return;
    }
    if (preferences_.autoGenerateViewNames)
        s.viewName =
            MakeViewName(preferences_.storageFolder, s.siteUrl, s.viewName, product_.markerPage);
    StartViewJob();
}

void CHtmlPanelView::ShowNewViewNameDialog() {
    // The New View Name dialog continues in OnNewViewNameDialogOk.
    askingViewName_ = true;
    ReplaceDialog(newViewNameDialog_,
                  std::make_unique<NewViewNameDialog>(*this, preferences_.settings.siteUrl), 201);
}

void CHtmlPanelView::ReplaceDialog(std::unique_ptr<CDialog>& slot, std::unique_ptr<CDialog> dialog,
                                   int templateId) {
    if (slot && slot->GetSafeHwnd() != nullptr)
        slot->DestroyWindow();
    slot = std::move(dialog);
    if (!ShowPanelDialog(*slot, templateId, GetSafeHwnd()))
        slot.reset();
}

void CHtmlPanelView::OnNewViewNameDialogOk(const std::string& name, bool autoGenerate,
                                           bool dontBug) {
    askingViewName_ = false;
    preferences_.autoGenerateViewNames = autoGenerate;
    preferences_.dontBug = dontBug;
    PanelSettings& s = preferences_.settings;
    s.viewName = TrimString(name);
    if (preferences_.autoGenerateViewNames)
        s.viewName =
            MakeViewName(preferences_.storageFolder, s.siteUrl, s.viewName, product_.markerPage);
    if (s.viewName.empty())
        s.viewName = "default";
    SetAskAgain(!preferences_.dontBug);
    StartViewJob();
}

void CHtmlPanelView::StartViewJob() {
    product_.saveSettings(preferences_);
    CrawlSiteImagesJob* job = product_.makeCrawlJob();
    job->MakeViewPages(preferences_.settings, "");
    SetCurrentJob(job);
    StartProgressTimer();
    Navigate2(progressPageUrl_);
}

// --- The progress page ---

void CHtmlPanelView::StartProgressTimer() {
    StopProgressTimer();
    timerId_ = SetTimer(GetSafeHwnd(), PanelProgressTimerId, Timing().panelProgressMs);
}

void CHtmlPanelView::StopProgressTimer() {
    if (timerId_ != 0 && GetSafeHwnd() != nullptr)
        KillTimer(GetSafeHwnd(), timerId_);
    ReleaseProgressForm();
    timerId_ = 0;
}

void CHtmlPanelView::ReleaseProgressForm() {
    if (progressForm_) {
        progressForm_->releaseDom();
        progressForm_.reset();
    }
}

void CHtmlPanelView::OnTimer() {
    if (!timerMayRun_)
        return;
    timerMayRun_ = false;
    UpdateProgressPage();
    // The ping waits on the pool's threads (each send bounded by its own time-out), with
    // no lock held; the panel's messages wait meanwhile, so the guard keeps ticks out.
    if (theBrowserPool != nullptr)
        theBrowserPool->PingAll();
    timerMayRun_ = true;
}

void CHtmlPanelView::UpdateProgressPage() {
    if (!progressForm_) {
        // Only the progress page's form is written to.
        std::shared_ptr<HtmlDocument> document = GetHtmlDocument();
        if (!document || progressPageUrl_.empty() ||
            GetLocationURL().rfind(progressPageUrl_, 0) != 0)
            return;
        progressForm_ = LoadPageModel(document, true, false);
    }
    std::string url, images, matching, visited, found, time, percent;
    blink_ = !blink_;
    if (CrawlSiteImagesJob* job = currentJob_) {
        url = job->GetName();
        images = IntToString(job->GetImageCount());
        matching = IntToString(job->GetMatchingImageCount());
        visited = IntToString(job->GetPagesVisitedCount());
        found = IntToString(job->GetPagesFoundCount());
        time = job->GetElapsedText();
        percent = IntToString(job->GetProgress());
        if (job->GetDownloadedCount() != 0)
            percent += " | " + IntToString(job->GetDownloadedCount());
        const LONG phase = job->GetPhase();
        if (blink_) {
            if (stopping_)
                percent += std::string(product_.stoppingText);
            else if (phase == 3 && !product_.finishingText.empty())
                percent += std::string(product_.finishingText);
            else
                percent += std::string(product_.workingText);
        } else {
            if (phase >= 0 && phase < static_cast<LONG>(product_.phaseTexts.size()))
                percent += std::string(product_.phaseTexts[static_cast<size_t>(phase)]);
        }
    }
    progressForm_->setFormValue(0, "url", url);
    progressForm_->setFormValue(0, "images", images);
    progressForm_->setFormValue(0, "imagesMatching", matching);
    progressForm_->setFormValue(0, "pagesvisited", visited);
    progressForm_->setFormValue(0, "pagesfound", found);
    progressForm_->setFormValue(0, "time", time);
    progressForm_->setFormValue(0, "percent", percent);
}

// --- The end of a job ---

void CHtmlPanelView::OnJobFinished(Job* job) {
    // Only the current job acts on the panel; any other pointer is not looked at.
    if (job == nullptr || job != currentJob_)
        return;
    CrawlSiteImagesJob* current = currentJob_;
    if (current->IsOfType("CrawlSiteImagesJob") || current->IsOfType("regenerateHtmlJob")) {
        if (current->IsOfType("CrawlSiteImagesJob"))
            preferences_.settings.siteUrl = current->GetSiteUrl();
        const std::string page = current->GetAllImagesPage();
        if (!page.empty() && FileExists(page))
            NavigateBrowser(page);
    }
    StopProgressTimer();
    Navigate2(mainPageUrl_);
}

// --- Stored views ---

void CHtmlPanelView::OpenView(const std::string& site, const std::string& viewName,
                              const std::string& folder) {
    ReleaseCurrentJob();
    CrawlSiteImagesJob* job = product_.makeCrawlJob();
    PanelSettings settings = preferences_.settings;
    settings.siteUrl = site;
    settings.viewName = viewName;
    settings.folder = folder;
    job->MakeViewPages(settings, "");
    SetIdleJob(job);
}

void CHtmlPanelView::ShowOpenViewDialog() {
    showingOpenView_ = true;
    ReplaceDialog(openViewDialog_, std::make_unique<OpenViewDialog>(*this), 210);
}

void CHtmlPanelView::ShowSettingsDialog() {
    showingSettings_ = true;
    ReplaceDialog(settingsDialog_, std::make_unique<SettingsDialog>(*this), 206);
}

void CHtmlPanelView::OnOpenViewDialogOk(const std::string& siteName, const std::string& viewName) {
    showingOpenView_ = false;
    // No selection: nothing is opened.
    if (TrimString(siteName).empty())
        return;
    OpenView(siteName, viewName, preferences_.storageFolder);
    preferences_.settings.siteUrl = siteName;
    NavigateBrowser(currentJob_->GetAllImagesPage());
    FillSettingsForm(mainPageTail_);
}

void CHtmlPanelView::OnSettingsDialogOk(const std::string& storageFolder) {
    showingSettings_ = false;
    if (TrimString(storageFolder).empty())
        return;
    preferences_.storageFolder = storageFolder;
    product_.saveSettings(preferences_);
}

// --- Editing a view ---

void CHtmlPanelView::SaveEditedPage() {
    const std::string text = GetBrowserPageHtml();
    const std::string target = lastPageShown_;
    SetEditMode(false);
    // An empty page is never written over a view.
    if (text.empty() || target.empty())
        return;
    // The criteria are read while the criteria form is still shown.
    if (!ReadSettingsForm())
        return;
    // The file is replaced whole or not at all.
    if (!WriteTextFile(target, text)) {
        ShowMessage("The edited page could not be saved.");
        return;
    }
    Navigate2(progressPageUrl_);
    StartProgressTimer();
    StartRegenerateJob(target);
}

void CHtmlPanelView::StartRegenerateJob(const std::string& editedPage) {
    stopping_ = false;
    EnsureBrowserPool(product_.rebuildBrowserThreads);
    PanelSettings settings = preferences_.settings;
    settings.siteUrl = editedPage;
    settings.folder = JoinPath(preferences_.storageFolder, "temp");
    auto* job = new regenerateHtmlJob;
    job->Setup(settings);
    SetCurrentJob(job);
}

void CHtmlPanelView::CancelEdit() {
    if (currentJob_ != nullptr && !currentJob_->GetAllImagesPage().empty()) {
        SetEditMode(false);
        NavigateBrowser(currentJob_->GetAllImagesPage());
    } else {
        ShowMessage("No view is selected.");
    }
}
