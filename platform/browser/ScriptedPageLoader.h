// A page loader for tests: each address plays a script of events, with prepared
// documents, at chosen times or one at a time on demand, so that tests can drive
// every path of a browser: normal loads, frames first, redirects, failures, stalls
// (a script that simply stops) and stops.
//
// A stop during a load (before its script delivered a top DocumentComplete or a
// LoadFailed) replaces what is left of the script with one LoadFailed(E_ABORT); a new
// Navigate drops what is left of the old script. An address without a script plays
// BeforeNavigate and then LoadFailed(INET_E_RESOURCE_NOT_FOUND).
//
// Threading: in Timed mode events come from the loader's own thread, each after its
// delay; in OnDemand mode from the thread that calls DeliverNext. The guarantees of
// PageLoadSink hold in both. All other calls are safe on any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/browser/PageLoader.h"
#include "platform/text/Text.h"

struct ScriptedPageEvent {
    enum class Kind { BeforeNavigate, NavigateComplete, DocumentComplete, LoadFailed };
    Kind kind = Kind::BeforeNavigate;
    std::string url;
    std::shared_ptr<HtmlDocument> document;  // NavigateComplete and DocumentComplete
    HRESULT error = E_FAIL;                  // LoadFailed
    std::chrono::milliseconds delay{0};      // Timed mode: the wait before this event
};

class ScriptedPageLoader : public PageLoader {
public:
    enum class Delivery { Timed, OnDemand };

    explicit ScriptedPageLoader(PageLoadSink& sink, Delivery delivery = Delivery::Timed);
    ~ScriptedPageLoader() override;
    ScriptedPageLoader(const ScriptedPageLoader&) = delete;
    ScriptedPageLoader& operator=(const ScriptedPageLoader&) = delete;

    // What a later Navigate to url (compared exactly) plays.
    void SetScript(const std::string& url, std::vector<ScriptedPageEvent> events);

    // The events of a normal load of document: BeforeNavigate and NavigateComplete
    // at its address (the document "interactive"), then for each frame whose document
    // is not "about:blank" (frames of frames first) BeforeNavigate, NavigateComplete
    // and DocumentComplete at the frame document's address, then DocumentComplete at
    // the document's address with document itself, set "complete".
    static std::vector<ScriptedPageEvent> PageScript(const std::shared_ptr<HtmlDocument>& document);
    // BeforeNavigate at requested, then the page script of document (whose address is
    // the one redirected to).
    static std::vector<ScriptedPageEvent> RedirectScript(
        const std::string& requested, const std::shared_ptr<HtmlDocument>& document);
    // BeforeNavigate, then LoadFailed(error).
    static std::vector<ScriptedPageEvent> FailureScript(const std::string& url, HRESULT error);
    // BeforeNavigate and nothing after it.
    static std::vector<ScriptedPageEvent> StallScript(const std::string& url);

    PageLoadId Navigate(const std::string& url, DWORD downloadControl) override;
    void Stop() override;

    // OnDemand mode: delivers the next waiting event of the current load on the calling
    // thread; false when none waits.
    bool DeliverNext();
    // Events of the current load not yet delivered.
    std::size_t WaitingEvents() const;

    // What the loader was asked.
    StringArray NavigatedUrls() const;
    DWORD LastDownloadControl() const;
    int StopCount() const;

private:
    void Main();
    // Takes the head of the queue and delivers it unless its load was superseded
    // meanwhile; lock (on mutex_) is released during the sink call.
    void DeliverHead(std::unique_lock<std::mutex>& lock);

    PageLoadSink& sink_;
    const Delivery delivery_;

    mutable std::mutex mutex_;  // guards everything below but the thread
    std::condition_variable changed_;
    std::map<std::string, std::vector<ScriptedPageEvent>> scripts_;
    std::deque<ScriptedPageEvent> queue_;
    std::chrono::steady_clock::time_point due_;
    PageLoadId current_ = 0;
    std::string currentUrl_;
    bool active_ = false;  // the current load has not ended
    bool shutdown_ = false;
    StringArray navigated_;
    DWORD lastDownloadControl_ = 0;
    int stops_ = 0;

    // Held while the sink is called and while Navigate starts a load.
    std::recursive_mutex deliveryMutex_;
    PageLoadId allowed_ = 0;  // guarded by deliveryMutex_

    std::thread thread_;  // Timed mode only; started last
};
