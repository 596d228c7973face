// The extraction of a list band: the crawl of the image extraction, keeping from each
// page the addresses the product's rule picks (filter words or MP3 links), and at the
// end one list page in the view folder. Nothing is downloaded, no thumbnail is made,
// and no stored file of the view is deleted, so a list band pointed at the image band's
// storage folder leaves it whole.
//
// Stages: "GetHtmlPageJob" (phase 0) -> "MakeHtmlPageJob" (phase 3, the list page) ->
// complete. A stop or the item limit ends the crawl early; the list page is still
// written with what was found.
//
// Its type name is the image extraction's, "CrawlSiteImagesJob", so that a panel treats
// it as its extraction job.
//
// Threads: as the image extraction's (CrawlSiteImagesJob.h).
#pragma once

#include <string>
#include <string_view>

#include "engine/extract/CrawlSiteImagesJob.h"
#include "engine/lists/ListJobValues.h"

class CrawlSiteFilesJob : public CrawlSiteImagesJob {
public:
    // values: the product's rule, list page and page jobs.
    explicit CrawlSiteFilesJob(const ListJobValues& values = FileFinderBandListValues);

    // The list page: the view folder's "allFiles.htm" (file band) or "allMP3s.htm" (MP3
    // band). Valid after MakeViewPages.
    std::string GetAllImagesPage() const override;

    const ListJobValues& GetListValues() const { return values_; }

protected:
    ~CrawlSiteFilesJob() override;

    // On the job's worker thread: the crawl alone, without the image cache clean-up.
    void Run() override;
    // The rule's addresses of the page, as seen and as matching (they go into the items
    // seen and into AddImageUrls, each once in any letter case). Without the lock.
    void ReadItems(GetHtmlPageJob* page, PageItems& items) const override;
    // "MakeHtmlPageJob", fast or not.
    std::string_view StageAfterCrawl() const override;
    // Stage "MakeHtmlPageJob": once, one page writer for the list page with the matching
    // items (the empty names list as comments, size 0 x 0); phase 3. Under the lock.
    void RunLaterStages(Job* child) override;

private:
    const ListJobValues values_;
};
