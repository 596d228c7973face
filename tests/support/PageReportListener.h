// A stand-in for a page job in browser tests: a listener object that records every
// WM_PAGE_LOADED it hears, reading the browser as a page job does (the failed flag,
// then, when the load did not fail, the document on the browser's thread).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/browser/Browser.h"
#include "engine/jobs/MessageListener.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/thread/Thread.h"
#include "tests/support/Wait.h"

class PageReportListener : public MessageListener {
public:
    struct Report {
        Browser* browser = nullptr;
        bool failed = false;
        DWORD threadId = 0;      // the thread that delivered the report
        std::string url;         // the document's address ("" when failed or none)
        std::string readyState;  // the document's ready state then
        std::string title;
    };

    // onReport, when given, runs in the report after it was recorded, on the reporting
    // thread.
    explicit PageReportListener(std::function<void(Browser*)> onReport = {})
        : onReport_(std::move(onReport)) {}

    void OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_PAGE_LOADED)
            return;
        Report report;
        report.browser = reinterpret_cast<Browser*>(wParam);
        report.failed = report.browser->IsFailed();
        report.threadId = GetCurrentThreadId();
        if (!report.failed) {
            if (const auto document = report.browser->GetHtmlDocument()) {
                report.url = document->Url();
                report.readyState = document->ReadyState();
                report.title = document->Title();
            }
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            reports_.push_back(report);
        }
        if (onReport_)
            onReport_(report.browser);
        // Last: once a waiter sees the count, this call no longer touches the listener.
        ++finished_;
    }

    std::vector<Report> Reports() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_;
    }
    std::size_t Count() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_.size();
    }
    // Waits until at least count reports came and their calls have returned, so that
    // the listener may go once it has left the browser's list.
    bool WaitForReports(std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        return WaitUntil([&] { return finished_.load() >= count; }, timeout);
    }
    Report Last() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_.empty() ? Report{} : reports_.back();
    }

private:
    std::function<void(Browser*)> onReport_;
    mutable std::mutex mutex_;
    std::vector<Report> reports_;
    std::atomic<std::size_t> finished_{0};
};
