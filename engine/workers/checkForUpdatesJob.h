// A container job that only waits for the children it is given (ContainerJob).
#pragma once

#include "engine/workers/ContainerJob.h"

class checkForUpdatesJob : public ContainerJob {
public:
    // Named "unknown", type name "checkForUpdatesJob".
    checkForUpdatesJob();

protected:
    ~checkForUpdatesJob() override = default;
};
