// A job that only waits for its children: it queues each child it is given and is
// complete when all of them have finished. downloadAdJob and checkForUpdatesJob are
// such jobs.
#pragma once

#include "engine/jobs/Job.h"
#include "engine/jobs/JobList.h"

class ContainerJob : public Job {
public:
    // Any thread: child gets this job as listener, joins the children and is queued
    // with theJobManager (the normal queue). The job owns child from now on. Null is
    // ignored; without a job manager the child stays unqueued (one trace line).
    void AddChild(Job* child);

    // Cancels the job and every child.
    void Cancel() override;
    // True: the job does no work of its own.
    bool OnlyWaitsForChildren() const override;

    int GetChildCount() const { return children_.GetCount(); }

protected:
    ContainerJob() = default;
    ~ContainerJob() override = default;

    // On the job's worker thread: polls every Timing().jobPollMs until the job is done
    // (complete, or stopped). A job whose children have all finished already when its
    // body starts, or that has none, is complete at once.
    void Run() override;
    // On the child's thread, under the process lock: once every child has finished, the
    // job is complete and the children are deleted.
    void OnChildFinished(Job* child) override;

private:
    JobList children_{this};  // last: the children go before the rest of the job
};
