#include "engine/crawl/GetHtmlPageJob.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "engine/browser/Browser.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"
#include "engine/model/PageReading.h"
#include "engine/model/htmlPage.h"
#include "engine/util/StringArrays.h"
#include "engine/util/UrlClassification.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"
#include "platform/window/Window.h"

namespace {

// The model's link URLs, frames first.
void ReadLinkUrls(const htmlPage& model, StringArray& out) {
    model.getLinkUrls(out, true);
}

}  // namespace

bool IsMp3Link(std::string_view link) {
    constexpr std::string_view suffix = ".mp3";
    const std::string lower = ToLowerAscii(link);
    const size_t at = lower.rfind(suffix);
    return at != std::string::npos && at > 0 && at + suffix.size() == lower.size();
}

GetHtmlPageJob::GetHtmlPageJob(const PageJobValues& values) : values_(values) {
    SetTypeName(GetHtmlPageJobName);
}

GetHtmlPageJob::~GetHtmlPageJob() = default;

void GetHtmlPageJob::SetUrl(const std::string& url) {
    url_ = url;
    SetName(url);
}

void GetHtmlPageJob::Run() {
    if (theBrowserPool == nullptr)
        return;
    auto* browser = static_cast<Browser*>(theBrowserPool->Take(true));
    if (browser == nullptr)
        return;
    {
        MutexLock lock;
        browser_ = browser;
    }
    browser->AddObject(this);
    if (!IsCancelled()) {
        browser->Navigate(url_);
        // A cancel that came while the navigation was being posted found it not yet
        // queued; the stop posted now follows it in the browser's queue.
        if (IsCancelled())
            browser->PostStop();
        WaitUntilDone();
        if (GetState() != JOB_STATE_COMPLETE)
            EndLoadBeforeRelease(browser);
    }
    browser->RemoveObject(this);
    {
        MutexLock lock;
        browser_ = nullptr;
    }
    theBrowserPool->Release(browser);
}

void GetHtmlPageJob::EndLoadBeforeRelease(Browser* browser) {
    // The report of a load that is still going would reach the browser's next borrower,
    // who registers before its own navigation is served: stop it and take the report
    // here. The overall page guard bounds the wait; a browser whose thread has ended
    // (the pool shut down) reports nothing more, which is looked at every poll period.
    browser->PostStop();
    const DWORD pollMs = std::max<DWORD>(1, Timing().jobPollMs);
    const auto limit = std::chrono::milliseconds(Timing().pageLoadGuardMs + Timing().pageGuardMs);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto reported = [this] { return GetState() == JOB_STATE_COMPLETE; };
    while (!reported()) {
        if (!IsWindow(browser->GetSafeHwnd()))
            return;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        WaitForDoneChange(reported, static_cast<DWORD>(std::min<long long>(pollMs, left.count())));
    }
}

void GetHtmlPageJob::Cancel() {
    Job::Cancel();
    MutexLock lock;
    if (browser_ != nullptr)
        browser_->PostStop();
}

bool GetHtmlPageJob::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (message != WM_PAGE_LOADED)
        return false;
    // Whatever the page step throws, the job completes: its body gives the browser back.
    try {
        OnPageLoaded(reinterpret_cast<Browser*>(wParam));
    } catch (const std::exception& error) {
        Trace("jobs", "GetHtmlPageJob: page of %s failed: %s", url_.c_str(), error.what());
    } catch (...) {
        Trace("jobs", "GetHtmlPageJob: page of %s failed", url_.c_str());
    }
    MarkComplete();
    return true;
}

void GetHtmlPageJob::OnPageLoaded(Browser* browser) {
    std::shared_ptr<const htmlPage> old;
    {
        MutexLock lock;
        old = std::move(pageModel_);
    }
    old.reset();
    if (browser == nullptr || browser->IsFailed())
        return;
    // The document is read on this (the browser's) thread without the lock; readers
    // see the model only once it holds plain text.
    building_ = LoadPageModel(browser->GetHtmlDocument(), false, values_.readEmailAddresses);
    try {
        OnPageModelReady();
    } catch (const std::exception& error) {
        Trace("jobs", "GetHtmlPageJob: page step of %s failed: %s", url_.c_str(), error.what());
    } catch (...) {
        Trace("jobs", "GetHtmlPageJob: page step of %s failed", url_.c_str());
    }
    building_->releaseDom();
    MutexLock lock;
    pageModel_ = std::move(building_);
}

bool GetHtmlPageJob::HasPageModel() const {
    return PublishedModel() != nullptr;
}

std::shared_ptr<const htmlPage> GetHtmlPageJob::PublishedModel() const {
    MutexLock lock;
    return pageModel_;
}

void GetHtmlPageJob::GetPageLinks(StringArray& out) const {
    const std::shared_ptr<const htmlPage> model = PublishedModel();
    if (!model)
        return;
    StringArray links;
    ReadLinkUrls(*model, links);
    Sleep(Timing().pageLinkReadPauseMs);
    for (const std::string& link : links) {
        if (values_.IsPageUrl(link))
            out.push_back(link);
    }
}

void GetHtmlPageJob::GetPageImages(StringArray& images, StringArray& names, int minWidth,
                                   int minHeight, int minFileSize) const {
    const std::shared_ptr<const htmlPage> model = PublishedModel();
    if (!model)
        return;
    model->getImageUrls(images, names, minWidth, minHeight, minFileSize);
    StringArray links;
    ReadLinkUrls(*model, links);
    FilterImageUrls(links, images);
}

void GetHtmlPageJob::GetEmailAddresses(StringArray& out) const {
    if (const std::shared_ptr<const htmlPage> model = PublishedModel())
        model->getEmailAddresses(out);
}

void GetHtmlPageJob::GetMp3Links(StringArray& out) const {
    const std::shared_ptr<const htmlPage> model = PublishedModel();
    if (!model)
        return;
    StringArray links;
    ReadLinkUrls(*model, links);
    for (const std::string& link : links) {
        if (IsMp3Link(link))
            out.push_back(link);
    }
}

void GetHtmlPageJob::GetFileLinks(StringArray& out, const std::string& filterText) const {
    const std::shared_ptr<const htmlPage> model = PublishedModel();
    if (!model)
        return;
    StringArray words;
    SplitText(filterText, words, 0);
    StringArray links;
    StringArray images;
    StringArray names;
    ReadLinkUrls(*model, links);
    model->getImageUrls(images, names, 0, 0, 0);
    for (const std::string& word : words) {
        if (word == "@")
            continue;
        for (const std::string& link : links) {
            if (link.find(word) != std::string::npos)
                out.push_back(link);
        }
        for (const std::string& image : images) {
            if (image.find(word) != std::string::npos)
                out.push_back(image);
        }
    }
}
