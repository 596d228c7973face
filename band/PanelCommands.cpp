// The command language of the panel pages: the dispatchers and the handlers.
#include "band/PanelCommands.h"

#include "band/HtmlPanelView.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/ShellHelpers.h"
#include "platform/text/Text.h"

namespace {

bool Matches(const std::string& lowerFragment, std::string_view command) {
    return lowerFragment.find(ToLowerAscii(command)) != std::string::npos;
}

// Runs the first command of the table found in the fragment; false when none is.
bool RunFirst(std::span<const PanelCommand> table, CHtmlPanelView& panel,
              const std::string& fragment) {
    const std::string lower = ToLowerAscii(fragment);
    for (const PanelCommand& command : table) {
        if (Matches(lower, command.text)) {
            command.handler(panel, fragment);
            return true;
        }
    }
    return false;
}

constexpr const char* kNoView = "No view is selected.";

}  // namespace

void CHtmlPanelView::OnPanelCommand(const std::string& fragment) {
    if (IsEditMode()) {
        if (!RunFirst(product_.editModeCommands, *this, fragment))
            ShowMessage(
                "You are currently in 'Edit Mode'. You can press 'cancel' or 'save' to exit edit "
                "mode.");
        return;
    }
    RunFirst(product_.panelCommands, *this, fragment);
}

void CHtmlPanelView::OnWorkingCommand(const std::string& fragment) {
    if (ToLowerAscii(fragment).find("/working/stop") == std::string::npos)
        return;
    if (fragment.find("cancel") != std::string::npos) {
        // Discard: the job ends without writing anything; the panel keeps addressing the
        // same site and view through a fresh, idle job.
        stopping_ = true;
        Navigate2(mainPageUrl_);
        StopProgressTimer();
        if (currentJob_ != nullptr) {
            currentJob_->RequestStop();
            currentJob_->Cancel();
        }
        CrawlSiteImagesJob* fresh = product_.makeCrawlJob();
        fresh->MakeViewPages(preferences_.settings, "");
        SetIdleJob(fresh);
        return;
    }
    if (fragment.find("dump") != std::string::npos)
        return;
    stopping_ = true;
    UpdateProgressPage();
    if (currentJob_ != nullptr)
        currentJob_->StopEarly();
    if (theBrowserPool != nullptr)
        theBrowserPool->StopActive();
    // Built again from the page shown at the next update.
    ReleaseProgressForm();
}

namespace PanelCommands {

void SaveEdit(CHtmlPanelView& panel, const std::string&) {
    panel.SaveEditedPage();
}

void CancelEdit(CHtmlPanelView& panel, const std::string&) {
    panel.CancelEdit();
}

void NotInEditMode(CHtmlPanelView& panel, const std::string&) {
    panel.ShowMessage("You must be in edit mode for this to work.");
}

void Home(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(std::string(panel.Product().homeAddress));
}

void OpenView(CHtmlPanelView& panel, const std::string&) {
    panel.ShowOpenViewDialog();
}

void Edit(CHtmlPanelView& panel, const std::string&) {
    CrawlSiteImagesJob* job = panel.CurrentJob();
    // Only a view whose tiled page exists can be edited and saved over.
    if (job == nullptr || job->GetAllImagesPage().empty() || !FileExists(job->GetAllImagesPage())) {
        panel.ShowMessage(kNoView);
        return;
    }
    // Design mode is set while the page shown is still there; the control keeps it for
    // the page that comes next.
    panel.SetEditMode(true);
    panel.NavigateBrowser(job->GetAllImagesPage());
}

void Extract(CHtmlPanelView& panel, const std::string& fragment) {
    panel.StartExtraction(fragment);
}

void View(CHtmlPanelView& panel, const std::string& fragment) {
    if (panel.CurrentJob() == nullptr) {
        panel.ShowMessage("You need to either 'extract' a site or 'open view' first.");
        return;
    }
    const std::string lower = ToLowerAscii(fragment);
    for (const PanelCommand& command : panel.Product().viewCommands) {
        if (Matches(lower, command.text))
            command.handler(panel, fragment);
    }
}

void Email(CHtmlPanelView& panel, const std::string&) {
    SendMailTo("", panel.Product().mailSubject, panel.Product().mailBody);
}

void Update(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(std::string(panel.Product().updateAddress));
}

void Help(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.HelpPageUrl());
}

void Tutorials(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.TutorialsPageUrl());
}

void OnlineHelp(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(std::string(panel.Product().onlineHelpAddress));
}

void Site(CHtmlPanelView& panel, const std::string&) {
    CrawlSiteImagesJob* job = panel.CurrentJob();
    if (job == nullptr || job->GetSiteUrl().empty()) {
        panel.ShowMessage(kNoView);
        return;
    }
    panel.NavigateBrowser(job->GetSiteUrl());
}

void Settings(CHtmlPanelView& panel, const std::string&) {
    panel.ShowSettingsDialog();
}

void ViewThumbnails(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetThumbnailsPage());
}

void ViewTiled(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetAllImagesPage());
}

void ViewSlideshow(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetSlideshowPage());
}

void ViewMultiview(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetMultiviewPage());
}

void ViewStorage(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetImagesFolder());
}

void ViewZoom(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetZoomPage());
}

void ViewRoot(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.Preferences().storageFolder);
}

void ViewSite(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetSiteUrl());
}

void ViewUrls(CHtmlPanelView& panel, const std::string&) {
    panel.NavigateBrowser(panel.CurrentJob()->GetUrlsPage());
}

void Nothing(CHtmlPanelView&, const std::string&) {}

}  // namespace PanelCommands
