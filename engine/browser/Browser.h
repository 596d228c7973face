// The hidden page browser: an HTML view on a user-interface thread of the browser pool
// that a page job borrows to load one page. It decides when the page is done (the top
// document complete, its ready state "complete", a quiet spell after an incomplete
// document, a stop, or the overall guard) and then tells its listeners once with
// WM_PAGE_LOADED.
//
// Threads: everything runs on the browser's own UI thread except Navigate, AddObject,
// RemoveObject, PostStop and the getters, which any thread may call. A page job calls
// Navigate on its worker thread; the navigation itself is posted to the browser's
// thread, where the load's state is reset, so that a late event, timer or stop of an
// earlier load can never end the new one. The flags other threads read are atomic.
#pragma once

#include <atomic>
#include <string>

#include "engine/jobs/ListenerList.h"
#include "platform/base/RuntimeClass.h"
#include "platform/browser/CHtmlView.h"

class MessageListener;

// Delivered to the browser's listener objects (posted to its listener windows) once per
// load: wParam is the Browser, lParam 0. Objects are called on the browser's thread,
// except when Navigate refuses the URL: then on the thread that called Navigate.
constexpr UINT WM_PAGE_LOADED = 0x1400;
// Posted to a browser's window: ends its current load at once as failed.
constexpr UINT WM_BROWSER_STOP = 0x4C8;
// Sent to every pooled browser's window with a time-out; answered by the default handling.
constexpr UINT WM_BROWSER_PING = 0x8D2;

// The quiet-spell timer, restarted after each document that completes while the page is
// not ready (Timing().pageGuardMs).
constexpr UINT_PTR BrowserPageTimerId = 12345;
// The overall guard, armed when a navigation starts (Timing().pageLoadGuardMs): a load
// that has not been reported by then ends as failed.
constexpr UINT_PTR BrowserLoadGuardTimerId = 12346;

// The download-control answers of a pooled browser: silent, no behaviours, no ActiveX
// controls, no Java, no scripts; with images or not.
constexpr LONG BrowserDownloadControlNoImages = 0x40008F80;
constexpr LONG BrowserDownloadControlWithImages = 0x40008F90;

class Browser : public CHtmlView {
public:
    // The run-time class "Browser", with which a UI thread's frame creates browsers.
    static const CRuntimeClass classBrowser;

    // Idle, every state flag clear, pass-through set, images not allowed. Any thread.
    Browser();
    ~Browser() override;

    // Starts loading url. The URL must pass the reachable-URL test (UrlExists, which
    // blocks for up to twice the probe time-out); otherwise, and when the browser's
    // thread has ended, the load fails at once: failed and reported are set and
    // WM_PAGE_LOADED is broadcast on the calling thread, the listeners staying
    // registered. When it passes, the requested URL is recorded and the navigation is
    // posted to the browser's thread. On the page job's thread, never with the process
    // lock held.
    void Navigate(const std::string& url);

    // The listeners of the current load (ListenerList). A page job registers before
    // Navigate and removes itself after its wait. Any thread.
    void AddObject(MessageListener* listener);
    void RemoveObject(MessageListener* listener);
    // Listener objects registered now. Any thread.
    int GetListenerCount() const;

    // Posts WM_BROWSER_STOP to the browser's window. Any thread, also under the lock.
    void PostStop();

    // The last load failed its URL test, or was stopped, cut off by the overall guard or
    // failed to load: its page job builds no page model. Any thread.
    bool IsFailed() const { return failed_.load(); }
    // WM_PAGE_LOADED has been sent for the current load. Any thread.
    bool IsReported() const { return reported_.load(); }
    // The current load counts as loaded. Any thread.
    bool IsDone() const { return done_.load(); }
    // The id of the running quiet-spell timer, 0 when none. Any thread.
    UINT_PTR GetTimer() const { return timer_.load(); }
    // The URL last given to Navigate that passed its test. Any thread.
    std::string GetRequestedUrl() const;

    // Set by the pool when the browser's thread is ready, before the first load.
    void SetPassThrough(bool passThrough) { passThrough_ = passThrough; }
    void SetImagesAllowed(bool imagesAllowed) { imagesAllowed_ = imagesAllowed; }
    bool GetPassThrough() const { return passThrough_.load(); }
    bool GetImagesAllowed() const { return imagesAllowed_.load(); }

    // A new browser loads nothing, not even a home page.
    void OnInitialUpdate() override {}

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD flags, const std::string& targetFrameName,
                           const std::string& postedData, const std::string& headers,
                           BOOL* cancel) override;
    void OnNavigateComplete2(const std::string& url) override;
    void OnDocumentComplete(const std::string& url) override;
    void OnNavigateError(const std::string& url, HRESULT error) override;
    // Without pass-through, DISPID_AMBIENT_DLCONTROL is answered with the browser's
    // download-control flags; everything else goes to the view's default.
    BOOL OnAmbientProperty(DISPID dispid, VARIANT* result) override;
    // WM_TIMER, WM_BROWSER_STOP and the posted navigation; the rest by the default.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // On the browser's thread: the posted navigation begins.
    void BeginLoad(const std::string& url);
    void OnTimer(UINT_PTR id);
    void OnBrowserStop();
    // Ends the current load: the guards stop, later events of it are ignored, and
    // unless it was reported already its listeners are taken out of the list and told.
    void Report();
    void KillPageTimer();
    void KillLoadGuard();
    // The load failed without reaching the browser's thread: tell the listeners here.
    void FailAtOnce();
    bool IsReadyStateComplete() const;

    std::atomic<bool> awaiting_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> reported_{false};
    std::atomic<bool> failed_{false};
    ListenerList listeners_;
    std::atomic<UINT_PTR> timer_{0};  // the running quiet-spell timer, 0 when none
    std::string topUrl_;              // browser's thread only
    std::string requestedUrl_;        // guarded by the process lock
    std::atomic<bool> passThrough_{true};
    std::atomic<bool> imagesAllowed_{false};

    // Browser's thread only: the current load is being watched (from the start of its
    // navigation until its report); events and ticks outside it are ignored.
    bool watching_ = false;
    bool loadGuardRunning_ = false;
};
