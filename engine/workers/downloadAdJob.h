// A container job that only waits for the children it is given (ContainerJob).
#pragma once

#include "engine/workers/ContainerJob.h"

class downloadAdJob : public ContainerJob {
public:
    // Named "unknown", type name "downloadAdJob".
    downloadAdJob();

protected:
    ~downloadAdJob() override = default;
};
