#include "engine/workers/checkForUpdatesJob.h"

#include "engine/jobs/JobNames.h"

checkForUpdatesJob::checkForUpdatesJob() {
    SetTypeName(CheckForUpdatesJobName);
}
