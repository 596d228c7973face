#include "tools/crawl/DriverEngine.h"

#include "engine/browser/BrowserThreadPool.h"

DriverEngine::DriverEngine(const DriverProduct& product)
    : manager_(new JobManager(product.jobLimit)) {
    theJobManager = manager_;
    manager_->StartThread();
    StartBrowserPool(BrowserImagesAllowed, product.browserThreads);
}

DriverEngine::~DriverEngine() {
    ShutdownBrowserPool();
    manager_->Stop();
    manager_->Join();
    DeleteJob(manager_);
    theJobManager = nullptr;
}

void DriverEngine::RunToEnd(Job& job, std::chrono::milliseconds tick,
                            const std::function<void()>& onTick) {
    manager_->AddJob(&job);
    for (;;) {
        const bool ended = job.IsFinished() && job.HasEnded();
        onTick();
        if (ended)
            return;
        // A tick apart at most; the job's end ends the wait at once.
        job.WaitForEnd(static_cast<DWORD>(tick.count()));
    }
}
