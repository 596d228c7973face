// The page image finder's crawl: it scans the page the browse control shows (its
// pictures into the found list, its page links into the page queue) and, in Extract
// mode, walks the queued pages one at a time in the same control. There is no thread
// of its own: the crawl is a chain of the control's DocumentComplete events and a page
// time-out timer, all on the dialog's thread.
//
// Modes: idle, running (Extract), follow (every page the person opens is scanned and
// nothing is visited automatically).
#pragma once

#include <string>

#include "engine/util/CaseFoldedHash.h"
#include "platform/base/Types.h"
#include "platform/text/Text.h"

class CWebBrowser2;

// What the crawl needs of the dialog that holds it.
class PageCrawlHost {
public:
    virtual ~PageCrawlHost() = default;
    // The control the person browses in and the crawl walks.
    virtual CWebBrowser2& BrowseControl() = 0;
    // The owner of the crawl's message boxes.
    virtual HWND MessageOwner() const = 0;
    // Puts a page address into the address box.
    virtual void ShowAddress(const std::string& url) = 0;
    // Adds a row for a found picture at the end of the list control.
    virtual void AddFoundRow(const std::string& url) = 0;
    virtual void UpdateTitle() = 0;
    virtual void EnableControls(bool enable) = 0;
    // Reads the page time-out and the minimum sizes from their edits into the crawl's
    // settings (SetSettings); a value that cannot be read keeps the last one.
    virtual void ReadCrawlSettings() = 0;
    // Whether "Stay on this site" is ticked.
    virtual bool StayOnSiteTicked() = 0;
    // Starts (or restarts) a timer of the dialog, and stops one.
    virtual void StartTimer(UINT_PTR id, UINT elapseMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    // Rebuilds the found page from the found list.
    virtual void BuildFoundImagesPage() = 0;
};

constexpr UINT_PTR kStatusTimerId = 1234;
constexpr UINT_PTR kPageTimeoutTimerId = 12345;

constexpr const char* kFinishedMessage = "Finished - no more pages found.";

// The window title for the crawl's mode and counts.
std::string CrawlTitle(bool running, bool following, size_t images, size_t visited, size_t pages);

class PageCrawl {
public:
    explicit PageCrawl(PageCrawlHost& host) : host_(host) {}
    PageCrawl(const PageCrawl&) = delete;
    PageCrawl& operator=(const PageCrawl&) = delete;

    // The settings the edits give (seconds; pixels, strictly exceeded).
    void SetSettings(int pageTimeoutSeconds, int minimumWidth, int minimumHeight);
    int PageTimeoutSeconds() const { return pageTimeoutSeconds_; }
    int MinimumWidth() const { return minimumWidth_; }
    int MinimumHeight() const { return minimumHeight_; }

    // "Extract": a fresh page queue and visited list (the found pictures stay), the
    // controls disabled, the shown page scanned, then the queued pages walked.
    void StartExtract();
    // "Follow My Next Click...": the shown page scanned; from then on every page the
    // person opens.
    void StartFollowMode();
    // "Stop", and the end of a crawl: idle, timers stopped, controls enabled, the found
    // page rebuilt.
    void StopCrawl();
    // The browse control's DocumentComplete (for each frame, then the top document).
    void OnDocumentComplete(const std::string& url);
    // A timer of the dialog fired.
    void OnTimer(UINT_PTR id);
    // "Clear List...": the found list, the page queue and the visited list emptied.
    void ClearLists();

    bool Running() const { return running_; }
    bool Following() const { return following_; }
    const StringArray& PageQueue() const { return pageQueue_; }
    const StringArray& Visited() const { return visited_; }
    const StringArray& Found() const { return found_; }
    const std::string& StartUrl() const { return startUrl_; }
    const std::string& StartHost() const { return startHost_; }
    std::string Title() const;

    // The address of the browse control's top document; "" without one.
    std::string CurrentPageUrl();

    // The parts of a step, each usable alone.
    void QueuePages(const StringArray& links);
    void AddFoundImages(const StringArray& images);
    // The next queued page not yet visited, now counted as visited; "" when none.
    std::string NextPage();

private:
    // One step on the shown page; false when there is no document to scan.
    bool ProcessCurrentPage();
    // Navigates to the next queued page that can be opened (arming the page time-out),
    // or ends the crawl with the "Finished" message.
    void MoveOn();
    // Whether a DocumentComplete is the top document's: the shown document is complete
    // and is the page named.
    bool IsTopDocumentComplete(const std::string& url);
    void StartPageTimer();
    void StopPageTimer();
    void StopStatusTimer();

    PageCrawlHost& host_;
    StringArray pageQueue_;
    StringArray visited_;
    StringArray found_;
    // The page queue and the found list again, hashed, for the tests ignoring case.
    TextSetIgnoringCase queuedPages_;
    TextSetIgnoringCase foundImages_;
    bool running_ = false;
    bool following_ = false;
    bool stayOnSite_ = false;
    UINT_PTR statusTimer_ = 0;
    UINT_PTR pageTimer_ = 0;
    std::string startUrl_;
    std::string startHost_;
    int pageTimeoutSeconds_ = 5;
    int minimumWidth_ = 0;
    int minimumHeight_ = 0;
};
