// One Browser on a user-interface thread of its own, set up as the pool sets up its
// browsers (pass-through cleared, images as asked), for tests of the browser alone.
#pragma once

#include <atomic>
#include <memory>

#include "engine/browser/Browser.h"
#include "engine/browser/UiThread.h"
#include "engine/browser/UiThreadCallback.h"
#include "tests/support/Wait.h"

class BrowserThread : public UiThreadCallback {
public:
    explicit BrowserThread(bool imagesAllowed = false, bool passThrough = false)
        : imagesAllowed_(imagesAllowed), passThrough_(passThrough) {
        thread_ = UiThread::Create(&Browser::classBrowser, this);
    }
    ~BrowserThread() override { thread_.reset(); }

    // The browser once its thread is ready; null when it did not become ready.
    Browser* Get() {
        WaitUntil([&] { return browser_.load() != nullptr || ended_.load(); });
        return browser_.load();
    }
    DWORD ThreadId() const { return thread_ ? thread_->GetThreadId() : 0; }
    // Ends the thread; the browser object stays until this object goes.
    void EndThread() {
        thread_->PostQuit();
        thread_->Join();
    }

    bool OnThreadReady(UiThread* thread) override {
        auto* browser = dynamic_cast<Browser*>(thread->GetView());
        if (browser == nullptr)
            return false;
        browser->SetPassThrough(passThrough_);
        browser->SetImagesAllowed(imagesAllowed_);
        browser_ = browser;
        return true;
    }
    void OnThreadEnded(UiThread*) override { ended_ = true; }

private:
    const bool imagesAllowed_;
    const bool passThrough_;
    std::atomic<Browser*> browser_{nullptr};
    std::atomic<bool> ended_{false};
    std::unique_ptr<UiThread> thread_;  // last: it calls back into the fields above
};
