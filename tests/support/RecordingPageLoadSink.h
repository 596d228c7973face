// A page-load sink for tests: records every event with its load number and the
// document it brought, safe to read from the test's thread while a loader calls it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageLoader.h"

class RecordingPageLoadSink : public PageLoadSink {
public:
    enum class Kind { BeforeNavigate, NavigateComplete, DocumentComplete, LoadFailed };

    struct Event {
        Kind kind;
        PageLoadId load;
        std::string url;
        std::shared_ptr<HtmlDocument> document;
        HRESULT error = S_OK;
        // The top document's ready state as it stood at this event ("" when none).
        std::string readyState;
    };

    void OnBeforeNavigate(PageLoadId load, const std::string& url) override {
        Add({Kind::BeforeNavigate, load, url, nullptr, S_OK, ""});
    }
    void OnNavigateComplete(PageLoadId load, const std::string& url,
                            const std::shared_ptr<HtmlDocument>& document) override {
        Add({Kind::NavigateComplete, load, url, document, S_OK, document->ReadyState()});
    }
    void OnDocumentComplete(PageLoadId load, const std::string& url,
                            const std::shared_ptr<HtmlDocument>& document) override {
        Add({Kind::DocumentComplete, load, url, document, S_OK, document->ReadyState()});
    }
    void OnLoadFailed(PageLoadId load, const std::string& url, HRESULT error) override {
        Add({Kind::LoadFailed, load, url, nullptr, error, ""});
    }

    std::vector<Event> Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::size_t Count() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_.size();
    }
    // Whether load has ended: its top DocumentComplete (at url) or a failure arrived.
    bool Ended(PageLoadId load) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Event& event : events_) {
            if (event.load != load)
                continue;
            if (event.kind == Kind::LoadFailed)
                return true;
            if (event.kind == Kind::DocumentComplete && event.readyState == "complete" &&
                event.document && event.document->Url() == event.url) {
                return true;
            }
        }
        return false;
    }
    // The last event of load; kind BeforeNavigate with load 0 when there is none.
    Event Last(PageLoadId load) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
            if (it->load == load)
                return *it;
        }
        return {Kind::BeforeNavigate, 0, "", nullptr, S_OK, ""};
    }

private:
    void Add(Event event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }

    mutable std::mutex mutex_;
    std::vector<Event> events_;
};
