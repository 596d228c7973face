#include "engine/browser/BrowserThreadPool.h"

#include <cassert>
#include <exception>
#include <mutex>

#include "engine/browser/Browser.h"
#include "engine/browser/UiThread.h"
#include "engine/jobs/MutexLock.h"
#include "platform/text/Text.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"
#include "platform/window/Window.h"

BrowserThreadPool* theBrowserPool = nullptr;

namespace {

// Serialises the creation and the end of theBrowserPool; never the process lock, which
// must not be held while the pool starts or joins its threads.
std::mutex& PoolCreationMutex() {
    static std::mutex mutex;
    return mutex;
}

Browser* AsBrowser(CObject* item) {
    return static_cast<Browser*>(item);
}

}  // namespace

BrowserThreadPool::BrowserThreadPool(bool imagesAllowed, int threadCount)
    : JobQueue(true, true), threadCount_(threadCount), imagesAllowed_(imagesAllowed) {
    for (int i = 0; i < threadCount; ++i) {
        {
            MutexLock lock;
            ++starting_;
        }
        std::unique_ptr<UiThread> thread = UiThread::Create(&Browser::classBrowser, this);
        if (!thread) {
            MutexLock lock;
            --starting_;
            NoteChange();
            continue;
        }
        threads_.push_back(std::move(thread));
    }
}

BrowserThreadPool::~BrowserThreadPool() {
    if (!shutDown_.load()) {
        assert(false && "a browser pool is destroyed before it was shut down");
        Shutdown();
    }
    threads_.clear();
}

bool BrowserThreadPool::OnThreadReady(UiThread* thread) {
    MutexLock lock;
    --starting_;
    auto* browser = dynamic_cast<Browser*>(thread->GetView());
    if (browser == nullptr) {
        NoteChange();
        return false;
    }
    browser->SetPassThrough(false);
    browser->SetImagesAllowed(imagesAllowed_);
    Add(browser);
    return true;
}

void BrowserThreadPool::OnThreadEnded(UiThread* thread) {
    MutexLock lock;
    if (thread->GetView() == nullptr) {
        --starting_;
        NoteChange();
        return;
    }
    Remove(thread->GetView());
}

bool BrowserThreadPool::ItemsMayStillCome() const {
    return starting_ > 0;
}

int BrowserThreadPool::CountStarting() const {
    MutexLock lock;
    return starting_;
}

void BrowserThreadPool::PingAll() {
    std::vector<HWND> windows;
    {
        MutexLock lock;
        for (CObject* item : GetAllItems())
            windows.push_back(AsBrowser(item)->GetSafeHwnd());
    }
    const UINT timeout = Timing().pingTimeoutMs;
    try {
        for (HWND hwnd : windows)
            SendMessageTimeout(hwnd, WM_BROWSER_PING, 0, 0, SMTO_NORMAL, timeout, nullptr);
    } catch (...) {
        Trace("browser", "ping pass failed");
    }
}

void BrowserThreadPool::StopActive() {
    try {
        MutexLock lock;
        for (CObject* item : GetActiveItems())
            AsBrowser(item)->PostStop();
    } catch (...) {
        Trace("browser", "stop of the lent browsers failed");
    }
}

std::string BrowserThreadPool::DumpStatus() {
    MutexLock lock;
    std::string text;
    int number = 0;
    for (CObject* item : GetWaitingItems()) {
        text +=
            FormatText("%d", number++) + ") avail - " + AsBrowser(item)->GetRequestedUrl() + "\n";
    }
    for (CObject* item : GetActiveItems())
        text += FormatText("%d", number++) + ") " + AsBrowser(item)->GetRequestedUrl() + "\n";
    return text;
}

void BrowserThreadPool::ClosePool() {
    try {
        MutexLock lock;
        SetClosed();
        for (CObject* item : GetWaitingItems())
            AsBrowser(item)->Stop();
        for (CObject* item : GetActiveItems())
            AsBrowser(item)->Stop();
        ReleaseAllActive();
    } catch (...) {
        Trace("browser", "closing the pool failed");
    }
}

void BrowserThreadPool::ReopenPool() {
    MutexLock lock;
    if (!shutDown_.load())
        ClearClosed();
}

void BrowserThreadPool::Shutdown() {
    AssertProcessLockNotHeld();
    if (shutDown_.exchange(true))
        return;
    {
        MutexLock lock;
        SetClosed();
        for (CObject* item : GetAllItems())
            AsBrowser(item)->PostStop();
    }
    for (const std::unique_ptr<UiThread>& thread : threads_)
        thread->PostQuit();
    for (const std::unique_ptr<UiThread>& thread : threads_)
        thread->Join();
}

BrowserThreadPool* StartBrowserPool(bool imagesAllowed, int threadCount) {
    std::lock_guard<std::mutex> guard(PoolCreationMutex());
    if (theBrowserPool == nullptr)
        theBrowserPool = new BrowserThreadPool(imagesAllowed, threadCount);
    return theBrowserPool;
}

void ShutdownBrowserPool() {
    std::lock_guard<std::mutex> guard(PoolCreationMutex());
    if (theBrowserPool == nullptr)
        return;
    theBrowserPool->Shutdown();
    delete theBrowserPool;
    theBrowserPool = nullptr;
}
