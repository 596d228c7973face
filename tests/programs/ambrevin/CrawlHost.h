// A stand-in for the page image finder's dialog in the crawl tests: a browse control on
// the test's thread whose events and the dialog's timers reach a PageCrawl, and a record
// of what the crawl asked of the dialog.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/browser/CWebBrowser2.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageLoader.h"
#include "platform/com/Variant.h"
#include "platform/timing/Timing.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "programs/ambrevin/PageCrawl.h"
#include "tests/support/Wait.h"

class CrawlHost final : public PageCrawlHost, public WebBrowserControlSite, public WindowHandler {
public:
    CrawlHost() {
        window_ = CreateMessageWindow(this);
        control_.Create(window_, 1000, this);
    }
    ~CrawlHost() override {
        control_.DestroyWindow();
        DestroyWindow(window_);
    }

    // --- PageCrawlHost ---
    CWebBrowser2& BrowseControl() override { return control_; }
    HWND MessageOwner() const override { return window_; }
    void ShowAddress(const std::string& url) override { addresses.push_back(url); }
    void AddFoundRow(const std::string& url) override { rows.push_back(url); }
    void UpdateTitle() override { title = crawl.Title(); }
    void EnableControls(bool enable) override { enables.push_back(enable); }
    void ReadCrawlSettings() override {
        crawl.SetSettings(pageTimeout, minimumWidth, minimumHeight);
    }
    bool StayOnSiteTicked() override { return stayOnSite; }
    void StartTimer(UINT_PTR id, UINT elapseMs) override {
        SetTimer(window_, id, elapseMs);
        timers.push_back(id);
    }
    void StopTimer(UINT_PTR id) override { KillTimer(window_, id); }
    void BuildFoundImagesPage() override { ++pageBuilds; }

    // --- the control's events ---
    BOOL OnAmbientProperty(UINT, DISPID dispid, VARIANT* result) override {
        if (dispid != DISPID_AMBIENT_DLCONTROL)
            return FALSE;
        result->vt = VT_I4;
        result->intVal = 0x40008790;
        return TRUE;
    }
    void OnDocumentComplete(UINT, const std::string& url) override {
        completed.push_back(url);
        crawl.OnDocumentComplete(url);
    }
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER) {
            crawl.OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }

    // Serves this thread's messages until condition holds; false after 10 s.
    static bool ServeUntil(const std::function<bool()>& condition) {
        return WaitUntil([&] {
            ServePendingMessages(nullptr);
            return condition();
        });
    }
    // Shows a page as a person's navigation would, idle or not, and waits for it.
    bool Show(const std::string& url) {
        const size_t before = completed.size();
        control_.Navigate(url);
        return ServeUntil([&] {
            for (size_t i = before; i < completed.size(); ++i) {
                if (completed[i] == url)
                    return true;
            }
            return false;
        });
    }
    bool WaitForIdle() {
        return ServeUntil([&] { return !crawl.Running(); });
    }

    PageCrawl crawl{*this};
    int pageTimeout = 5;
    int minimumWidth = 0;
    int minimumHeight = 0;
    bool stayOnSite = false;

    std::vector<std::string> addresses;
    std::vector<std::string> rows;
    std::vector<bool> enables;
    std::vector<UINT_PTR> timers;
    std::vector<std::string> completed;
    std::string title;
    int pageBuilds = 0;

private:
    HWND window_ = nullptr;
    CWebBrowser2 control_;
};
