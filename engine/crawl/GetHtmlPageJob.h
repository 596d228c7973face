// One page of a crawl: borrows a hidden browser from theBrowserPool, loads its URL and
// turns the loaded document into a page model, from which the crawl reads the page's
// links, images, e-mail addresses and MP3 links.
//
// Threads: Run on the job's worker thread; OnPageLoaded on the browser's UI thread,
// through the browser's listener list. The model is published under the process lock
// once it has let go of the live document, and is never changed after that, only
// replaced: a getter takes the published model under the lock and reads it without, so
// a late report of a stopped load never races a reader, and a page of many thousand
// items holds the lock only for that moment.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/crawl/PageJobValues.h"
#include "engine/jobs/Job.h"
#include "platform/text/Text.h"

class Browser;
class htmlPage;

// The MP3 rule: whether the lower-cased link ends in ".mp3" after at least one
// character (the last ".mp3" of the text lies above position 0 and ends it).
bool IsMp3Link(std::string_view link);

class GetHtmlPageJob : public Job {
public:
    // Type name "GetHtmlPageJob"; values: what the page model reads, and the page test.
    explicit GetHtmlPageJob(const PageJobValues& values = ImageFinderBandPageJobValues);

    // URL = url, and the job's name = url. Before the job is queued.
    void SetUrl(const std::string& url);
    const std::string& GetUrl() const { return url_; }

    // Each appends nothing when the page has no model (not loaded, or the load failed).
    // Any thread; takes the process lock for a moment.
    //
    // The page's followable page links: the frames' and links' URLs that pass the
    // product's page test, in page order.
    void GetPageLinks(StringArray& out) const;
    // The page's images that pass the size filters (urls and names stay parallel), then
    // the page's links that name image files (appended to images only).
    void GetPageImages(StringArray& images, StringArray& names, int minWidth, int minHeight,
                       int minFileSize) const;
    // The page's e-mail addresses ("mailto:..."); none unless the product reads them.
    void GetEmailAddresses(StringArray& out) const;
    // The links whose lower-cased text ends in ".mp3" after at least one character, in
    // their own letter case.
    void GetMp3Links(StringArray& out) const;
    // For each filter word (SplitText mode 0) other than "@": the links, then the image
    // URLs, that contain it (case-sensitive). An address holding two words comes twice.
    void GetFileLinks(StringArray& out, const std::string& filterText) const;

    // Whether a page model was built.
    bool HasPageModel() const;

    // The cancelled flag; a load in progress in the job's borrowed browser is stopped
    // too (it ends as failed, without a model). Browsers lent to other jobs are left
    // alone. Any thread, also under the process lock; never waits.
    void Cancel() override;

protected:
    ~GetHtmlPageJob() override;

    // On the job's worker thread: borrow a browser (waiting while all are lent), load
    // the URL unless cancelled, wait until the page is reported or the job is stopped
    // (then the load is stopped and its report awaited), then give the browser back.
    // Without a pool the job ends with no model.
    void Run() override;
    // WM_PAGE_LOADED: OnPageLoaded, then MarkComplete, whatever OnPageLoaded throws.
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // On the browser's UI thread: the old model goes; unless the load failed, a new one
    // is read from the browser's document (no forms), OnPageModelReady runs, and the
    // model lets go of the live document.
    virtual void OnPageLoaded(Browser* browser);
    // After the model is built, on the browser's thread, the model still live. Nothing
    // here. Whatever it throws is dropped: the model is kept and the job completes.
    virtual void OnPageModelReady() {}

    // The model being built, still holding the live document: for OnPageModelReady, on
    // the browser's thread.
    htmlPage* GetPageModel() const { return building_.get(); }

private:
    // The job stopped waiting before its page was reported: stops the load and waits
    // for its report, so that it cannot reach the browser's next borrower.
    void EndLoadBeforeRelease(Browser* browser);
    // The published model, taken under the process lock; null when there is none.
    std::shared_ptr<const htmlPage> PublishedModel() const;

    const PageJobValues values_;
    std::string url_;
    // The browser borrowed for the load, null outside it; guarded by the process lock,
    // so that a stop is posted to it only while this job holds it.
    Browser* browser_ = nullptr;
    std::unique_ptr<htmlPage> building_;         // the browser's thread only
    std::shared_ptr<const htmlPage> pageModel_;  // guarded by the process lock
};
