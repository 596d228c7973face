#include "programs/ambrevin/PageCrawl.h"

#include "engine/util/StringArrays.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"
#include "platform/browser/CWebBrowser2.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"
#include "platform/timing/Timing.h"
#include "platform/ui/MessageBox.h"
#include "programs/ambrevin/PageScan.h"

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

std::string CrawlTitle(bool running, bool following, size_t images, size_t visited, size_t pages) {
    const int i = static_cast<int>(images);
    const int v = static_cast<int>(visited);
    const int p = static_cast<int>(pages);
    if (running)
        return FormatText("Ambrevin (running) - imgs=%d, visited=%d, pages=%d", i, v, p);
    if (following)
        return FormatText("Ambrevin (follow) - imgs=%d, visited=%d, pages=%d", i, v, p);
    return FormatText("Ambrevin - imgs=%d, visited=%d, pages=%d", i, v, p);
}

void PageCrawl::SetSettings(int pageTimeoutSeconds, int minimumWidth, int minimumHeight) {
    pageTimeoutSeconds_ = pageTimeoutSeconds;
    minimumWidth_ = minimumWidth;
    minimumHeight_ = minimumHeight;
}

std::string PageCrawl::Title() const {
    return CrawlTitle(running_, following_, found_.size(), visited_.size(), pageQueue_.size());
}

std::string PageCrawl::CurrentPageUrl() {
    try {
        const auto document = host_.BrowseControl().View().GetHtmlDocument();
        return document ? document->Url() : std::string();
    } catch (const ComError&) {
        return {};
    }
}

void PageCrawl::StartExtract() {
    host_.ReadCrawlSettings();
    following_ = false;
    running_ = true;
    pageQueue_.clear();
    queuedPages_.clear();
    visited_.clear();
    host_.UpdateTitle();
    host_.StartTimer(kStatusTimerId, Timing().finderStatusTimerMs);
    statusTimer_ = kStatusTimerId;
    host_.UpdateTitle();
    startUrl_ = CurrentPageUrl();
    startHost_ = LowerAscii(HostOfUrl(startUrl_));
    stayOnSite_ = host_.StayOnSiteTicked();
    host_.EnableControls(false);
    // Without a page to scan the crawl still moves on (here: to its end), so the
    // controls are never left disabled with nothing running.
    if (!ProcessCurrentPage() && running_ && pageTimer_ == 0)
        MoveOn();
}

void PageCrawl::StartFollowMode() {
    stayOnSite_ = false;
    following_ = true;
    startUrl_ = CurrentPageUrl();
    startHost_ = LowerAscii(HostOfUrl(startUrl_));
    host_.UpdateTitle();
    MessageBox(host_.MessageOwner(),
               "This extraction feature has 2 modes:\n\n"
               "1) Manual - as you browse each page will be searched for email addresses.\n"
               "2) Automatic - you give the initial click (ie - on a 'Next' link) the engine "
               "will keep following the same ('Next') links.\n\n"
               "*** Mode 2 is currently not implemented.",
               "Ambrevin", MB_OK | MB_ICONINFORMATION);
    ProcessCurrentPage();
}

void PageCrawl::StopCrawl() {
    following_ = false;
    running_ = false;
    StopPageTimer();
    StopStatusTimer();
    host_.UpdateTitle();
    host_.EnableControls(true);
    host_.BuildFoundImagesPage();
}

void PageCrawl::ClearLists() {
    found_.clear();
    foundImages_.clear();
    pageQueue_.clear();
    queuedPages_.clear();
    visited_.clear();
}

bool PageCrawl::IsTopDocumentComplete(const std::string& url) {
    try {
        const auto document = host_.BrowseControl().View().GetHtmlDocument();
        return document && document->ReadyState() == "complete" && document->Url() == url;
    } catch (const ComError&) {
        return false;
    }
}

void PageCrawl::OnDocumentComplete(const std::string& url) {
    if (running_ || following_) {
        // A frame's completion would scan the unfinished top page and, while running,
        // move the crawl on before the page is whole: only the top document counts.
        if (!IsTopDocumentComplete(url))
            return;
        ProcessCurrentPage();
        if (following_)
            host_.UpdateTitle();
        return;
    }
    const std::string shown = CurrentPageUrl();
    if (!shown.empty())
        host_.ShowAddress(shown);
}

void PageCrawl::OnTimer(UINT_PTR id) {
    if (id == kPageTimeoutTimerId && pageTimer_ != 0) {
        StopPageTimer();
        host_.BrowseControl().Stop();
        ProcessCurrentPage();
        if (running_ && pageTimer_ == 0 && !following_) {
            MoveOn();
            host_.UpdateTitle();
        }
    }
    host_.UpdateTitle();
}

bool PageCrawl::ProcessCurrentPage() {
    std::shared_ptr<HtmlDocument> document;
    try {
        document = host_.BrowseControl().View().GetHtmlDocument();
    } catch (const ComError&) {
    }
    if (!document)
        return false;
    StopPageTimer();
    try {
        host_.ShowAddress(document->Url());
    } catch (const ComError&) {
    }
    // Each reader keeps what it read before a failure, so the step always goes on to
    // the next page: a failing page never stalls the crawl.
    StringArray links;
    CollectPageLinks(*document, links);
    QueuePages(links);
    StringArray images;
    CollectPageImages(*document, images, minimumWidth_, minimumHeight_);
    AddFoundImages(images);
    if (running_ && !following_)
        MoveOn();
    return true;
}

void PageCrawl::MoveOn() {
    for (;;) {
        const std::string next = TrimString(NextPage());
        if (next.empty()) {
            StopCrawl();
            MessageBox(host_.MessageOwner(), kFinishedMessage, "Ambrevin", MB_OK);
            return;
        }
        if (UrlExists(next)) {
            host_.BrowseControl().Navigate(next);
            StartPageTimer();
            return;
        }
    }
}

void PageCrawl::QueuePages(const StringArray& links) {
    for (const std::string& link : links) {
        if (stayOnSite_ && !StringMatch(LowerAscii(HostOfUrl(link)), startHost_, true, false))
            continue;
        if (!link.empty() && queuedPages_.insert(link).second)
            pageQueue_.push_back(link);
    }
}

void PageCrawl::AddFoundImages(const StringArray& images) {
    for (const std::string& image : images) {
        if (image.empty() || !foundImages_.insert(image).second)
            continue;
        found_.push_back(image);
        host_.AddFoundRow(image);
    }
}

std::string PageCrawl::NextPage() {
    if (visited_.size() >= pageQueue_.size())
        return {};
    visited_.push_back(pageQueue_[visited_.size()]);
    return visited_.back();
}

void PageCrawl::StartPageTimer() {
    const long long seconds = pageTimeoutSeconds_ < 1 ? 1 : pageTimeoutSeconds_;
    const long long ms = seconds * Timing().finderPageTimeoutSecondMs;
    host_.StartTimer(kPageTimeoutTimerId, static_cast<UINT>(ms > 0x7FFFFFFF ? 0x7FFFFFFF : ms));
    pageTimer_ = kPageTimeoutTimerId;
}

void PageCrawl::StopPageTimer() {
    if (pageTimer_ != 0)
        host_.StopTimer(pageTimer_);
    pageTimer_ = 0;
}

void PageCrawl::StopStatusTimer() {
    if (statusTimer_ != 0)
        host_.StopTimer(statusTimer_);
    statusTimer_ = 0;
}
