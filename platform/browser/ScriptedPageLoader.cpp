#include "platform/browser/ScriptedPageLoader.h"

#include "platform/browser/HtmlDocument.h"

namespace {

using Kind = ScriptedPageEvent::Kind;

ScriptedPageEvent MakeEvent(Kind kind, const std::string& url,
                            std::shared_ptr<HtmlDocument> document = nullptr) {
    ScriptedPageEvent event;
    event.kind = kind;
    event.url = url;
    event.document = std::move(document);
    return event;
}

void AddFrameEvents(const HtmlDocument& document, const std::shared_ptr<HtmlDocument>& top,
                    std::vector<ScriptedPageEvent>& events) {
    const HtmlFramesCollection frames = document.Frames();
    for (LONG i = 0; i < frames.Length(); ++i) {
        const std::shared_ptr<HtmlDocument> frame = frames.Item(i)->Document();
        const std::string url = frame->Url();
        if (url == "about:blank")
            continue;
        events.push_back(MakeEvent(Kind::BeforeNavigate, url));
        events.push_back(MakeEvent(Kind::NavigateComplete, url, top));
        AddFrameEvents(*frame, top, events);
        events.push_back(MakeEvent(Kind::DocumentComplete, url, top));
    }
}

}  // namespace

ScriptedPageLoader::ScriptedPageLoader(PageLoadSink& sink, Delivery delivery)
    : sink_(sink), delivery_(delivery) {
    if (delivery_ == Delivery::Timed)
        thread_ = std::thread([this] { Main(); });
}

ScriptedPageLoader::~ScriptedPageLoader() {
    {
        std::lock_guard<std::recursive_mutex> lock(deliveryMutex_);
        allowed_ = 0;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void ScriptedPageLoader::SetScript(const std::string& url, std::vector<ScriptedPageEvent> events) {
    std::lock_guard<std::mutex> lock(mutex_);
    scripts_[url] = std::move(events);
}

std::vector<ScriptedPageEvent> ScriptedPageLoader::PageScript(
    const std::shared_ptr<HtmlDocument>& document) {
    const std::string url = document->Url();
    const std::shared_ptr<HtmlDocument> interactive = document->WithReadyState("interactive");
    std::vector<ScriptedPageEvent> events;
    events.push_back(MakeEvent(Kind::BeforeNavigate, url));
    events.push_back(MakeEvent(Kind::NavigateComplete, url, interactive));
    AddFrameEvents(*document, interactive, events);
    document->SetReadyState("complete");
    events.push_back(MakeEvent(Kind::DocumentComplete, url, document));
    return events;
}

std::vector<ScriptedPageEvent> ScriptedPageLoader::RedirectScript(
    const std::string& requested, const std::shared_ptr<HtmlDocument>& document) {
    std::vector<ScriptedPageEvent> events = PageScript(document);
    events.front().url = requested;
    return events;
}

std::vector<ScriptedPageEvent> ScriptedPageLoader::FailureScript(const std::string& url,
                                                                 HRESULT error) {
    ScriptedPageEvent failure = MakeEvent(Kind::LoadFailed, url);
    failure.error = error;
    return {MakeEvent(Kind::BeforeNavigate, url), failure};
}

std::vector<ScriptedPageEvent> ScriptedPageLoader::StallScript(const std::string& url) {
    return {MakeEvent(Kind::BeforeNavigate, url)};
}

PageLoadId ScriptedPageLoader::Navigate(const std::string& url, DWORD downloadControl) {
    std::lock_guard<std::recursive_mutex> deliveryLock(deliveryMutex_);
    std::lock_guard<std::mutex> lock(mutex_);
    const PageLoadId id = ++current_;
    allowed_ = id;
    currentUrl_ = url;
    navigated_.push_back(url);
    lastDownloadControl_ = downloadControl;
    const auto script = scripts_.find(url);
    const std::vector<ScriptedPageEvent> events =
        script != scripts_.end() ? script->second : FailureScript(url, INET_E_RESOURCE_NOT_FOUND);
    queue_.assign(events.begin(), events.end());
    active_ = true;
    due_ = std::chrono::steady_clock::now() +
           (queue_.empty() ? std::chrono::milliseconds(0) : queue_.front().delay);
    changed_.notify_all();
    return id;
}

void ScriptedPageLoader::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++stops_;
    if (!active_)
        return;
    ScriptedPageEvent failure = MakeEvent(Kind::LoadFailed, currentUrl_);
    failure.error = E_ABORT;
    queue_.assign(1, failure);
    due_ = std::chrono::steady_clock::now();
    changed_.notify_all();
}

void ScriptedPageLoader::Main() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!shutdown_) {
        if (queue_.empty()) {
            changed_.wait(lock);
        } else if (std::chrono::steady_clock::now() < due_) {
            changed_.wait_until(lock, due_);
        } else {
            DeliverHead(lock);
        }
    }
}

void ScriptedPageLoader::DeliverHead(std::unique_lock<std::mutex>& lock) {
    const ScriptedPageEvent event = queue_.front();
    queue_.pop_front();
    const PageLoadId id = current_;
    if (event.kind == Kind::LoadFailed)
        queue_.clear();
    if (queue_.empty()) {
        active_ = event.kind != Kind::DocumentComplete && event.kind != Kind::LoadFailed;
    } else {
        due_ = std::chrono::steady_clock::now() + queue_.front().delay;
    }
    lock.unlock();
    {
        std::lock_guard<std::recursive_mutex> deliveryLock(deliveryMutex_);
        if (allowed_ == id) {
            switch (event.kind) {
                case Kind::BeforeNavigate:
                    sink_.OnBeforeNavigate(id, event.url);
                    break;
                case Kind::NavigateComplete:
                    sink_.OnNavigateComplete(id, event.url, event.document);
                    break;
                case Kind::DocumentComplete:
                    sink_.OnDocumentComplete(id, event.url, event.document);
                    break;
                case Kind::LoadFailed:
                    sink_.OnLoadFailed(id, event.url, event.error);
                    break;
            }
        }
    }
    lock.lock();
}

bool ScriptedPageLoader::DeliverNext() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (queue_.empty())
        return false;
    DeliverHead(lock);
    return true;
}

std::size_t ScriptedPageLoader::WaitingEvents() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

StringArray ScriptedPageLoader::NavigatedUrls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return navigated_;
}

DWORD ScriptedPageLoader::LastDownloadControl() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastDownloadControl_;
}

int ScriptedPageLoader::StopCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stops_;
}
