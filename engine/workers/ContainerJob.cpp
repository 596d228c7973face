#include "engine/workers/ContainerJob.h"

#include "engine/jobs/JobManager.h"
#include "engine/jobs/MutexLock.h"
#include "platform/trace/Trace.h"

void ContainerJob::AddChild(Job* child) {
    if (child == nullptr)
        return;
    child->AddListener(this);
    children_.Add(child);
    if (theJobManager == nullptr) {
        Trace("jobs", "%s: no job manager to queue a child", GetTypeName().c_str());
        return;
    }
    theJobManager->AddJob(child);
}

void ContainerJob::Cancel() {
    Job::Cancel();
    children_.CancelAll();
}

bool ContainerJob::OnlyWaitsForChildren() const {
    return true;
}

void ContainerJob::Run() {
    {
        // Children that finished before this thread began completed the job while it
        // was not yet running; the start of the run has undone that.
        MutexLock lock;
        if (children_.AllFinished())
            MarkComplete();
    }
    WaitUntilDone();
}

void ContainerJob::OnChildFinished(Job* child) {
    (void)child;
    MutexLock lock;
    if (children_.AllFinished())
        MarkComplete();
    if (children_.AllFinished())
        children_.DeleteAll();
}
