#include "engine/workers/downloadAdJob.h"

#include "engine/jobs/JobNames.h"

downloadAdJob::downloadAdJob() {
    SetTypeName(DownloadAdJobName);
}
