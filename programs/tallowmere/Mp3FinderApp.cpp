#include "programs/tallowmere/Mp3FinderApp.h"

#include "engine/browser/BrowserThreadPool.h"
#include "engine/crawl/CrawlSiteJob.h"
#include "engine/jobs/JobManager.h"
#include "engine/util/AppMutex.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "programs/tallowmere/MainDialog.h"

void Mp3FinderApp::StartEngine() {
    // The site MP3 finder makes no thumbnails.
    SetThumbnailsMade(false);
    CreateAppMutex();
    if (theJobManager == nullptr)
        theJobManager = new JobManager(SiteMp3FinderJobLimit);
}

void Mp3FinderApp::EndEngine(std::vector<Job*> leftJobs) {
    // No queued job starts any more: the jobs still queued (downloads, a crawl's pages)
    // are finished without running, so that none is waited for in vain.
    if (theJobManager != nullptr) {
        theJobManager->Stop();
        theJobManager->Join();
        theJobManager->FinishWaitingJobs();
    }
    // Cancelled by the dialog, with the pool closed and the downloads stopped: each body
    // ends once its pages have failed or finished. A crawl's page job leaves its list only
    // after it has given its browser back, so none touches the pool once the lists are
    // empty.
    for (Job* job : leftJobs) {
        const auto* crawl = dynamic_cast<const CrawlSiteJob*>(job);
        while (!job->HasEnded() || (crawl != nullptr && crawl->GetChildCount() > 0))
            Sleep(Timing().jobPollMs);
        DeleteJob(job);
    }
    ShutdownBrowserPool();
    if (theJobManager != nullptr) {
        DeleteJob(theJobManager);
        theJobManager = nullptr;
    }
}

bool Mp3FinderApp::InitInstance() {
    StartEngine();
    std::vector<Job*> left;
    {
        MainDialog dialog;
        dialog.DoModal();
        left = dialog.TakeLeftJobs();
    }
    EndEngine(std::move(left));
    return false;
}
