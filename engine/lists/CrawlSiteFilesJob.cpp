#include "engine/lists/CrawlSiteFilesJob.h"

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/jobs/JobNames.h"
#include "engine/pages/MakeHtmlPageJob.h"
#include "engine/util/PathHelpers.h"

CrawlSiteFilesJob::CrawlSiteFilesJob(const ListJobValues& values)
    : CrawlSiteImagesJob(values.pageValues), values_(values) {}

CrawlSiteFilesJob::~CrawlSiteFilesJob() = default;

std::string CrawlSiteFilesJob::GetAllImagesPage() const {
    if (GetViewFolder().empty())
        return {};
    return JoinPath(GetViewFolder(), values_.listPageName);
}

void CrawlSiteFilesJob::Run() {
    RunCrawl();
}

void CrawlSiteFilesJob::ReadItems(GetHtmlPageJob* page, PageItems& items) const {
    if (values_.itemRule == ListItemRule::Mp3Links)
        page->GetMp3Links(items.matching);
    else
        page->GetFileLinks(items.matching, GetSettings().filterWords);
    items.seen = items.matching;
}

std::string_view CrawlSiteFilesJob::StageAfterCrawl() const {
    return MakeHtmlPageJobName;
}

void CrawlSiteFilesJob::RunLaterStages(Job*) {
    FlaggedString& stage = GetStageString();
    if (!stage.Equals(MakeHtmlPageJobName))
        return;
    SetPhase(3);
    if (!stage.IsSet())
        return;
    auto* job = new MakeHtmlPageJob;
    job->SetPage(GetAllImagesPage(), std::string(values_.viewKind), ShareMatchingImages(),
                 GetNamesList(), SIZE{0, 0});
    AddChild(job);
    stage.Clear();
}
