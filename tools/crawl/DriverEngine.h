// The engine as a finder panel starts and ends it: the job manager with the product's
// limit (theJobManager) and the browser pool with its browser count (theBrowserPool);
// at the end the pool is shut down, then the manager is stopped, joined and deleted.
//
// Threads: built, used and destroyed on the driver's main thread, never with the process
// lock held.
#pragma once

#include <chrono>
#include <functional>

#include "engine/jobs/Job.h"
#include "engine/jobs/JobManager.h"
#include "tools/crawl/DriverOptions.h"

class DriverEngine {
public:
    explicit DriverEngine(const DriverProduct& product);
    // The pool goes first (no page job may hold a browser by then), then the manager.
    ~DriverEngine();
    DriverEngine(const DriverEngine&) = delete;
    DriverEngine& operator=(const DriverEngine&) = delete;

    // Queues job (normal queue) and waits until it has finished and its thread has let
    // go of it, calling onTick every tick meanwhile and once more at the end.
    void RunToEnd(Job& job, std::chrono::milliseconds tick, const std::function<void()>& onTick);

private:
    JobManager* manager_;
};
