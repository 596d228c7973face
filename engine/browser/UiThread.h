// A user-interface thread that holds one view in a hidden frame window: the home of one
// hidden browser of the pool. It runs at below-normal priority with its own message loop
// and its own COM initialisation.
//
// Ending: PostQuit and Join (WinThread), or destroying the object, which does both. At
// its end the thread tells its callback, then destroys its frame window and the view's
// window and loader; the view object itself lives until the UiThread object goes.
#pragma once

#include <atomic>
#include <memory>

#include "engine/browser/UiThreadFrame.h"
#include "platform/base/RuntimeClass.h"
#include "platform/thread/WinThread.h"

class CHtmlView;
class UiThreadCallback;

class UiThread : public WinThread {
public:
    // Starts a thread whose frame creates a view of viewClass and which then asks
    // callback (may be null) whether to go on. Returns the running thread, or null when
    // no thread could be started. Any thread.
    static std::unique_ptr<UiThread> Create(const CRuntimeClass* viewClass,
                                            UiThreadCallback* callback);

    // Quits and joins the thread if it still runs; never on the thread itself, never
    // with the process lock held.
    ~UiThread() override;

    // On the new thread: COM, then the hidden frame with its view; then the callback's
    // answer (true without a callback). False when the frame or view cannot be made.
    bool InitInstance() override;
    // On the thread, last: the callback's OnThreadEnded, the frame and view windows go,
    // COM is released.
    int ExitInstance() override;

    // The thread's view once its frame made it; null before and when that failed.
    // Any thread.
    CHtmlView* GetView() const { return view_.load(); }
    UiThreadCallback* GetCallback() const { return callback_; }
    const UiThreadFrame& GetFrame() const { return frame_; }

private:
    UiThread(const CRuntimeClass* viewClass, UiThreadCallback* callback);

    UiThreadCallback* const callback_;
    UiThreadFrame frame_;  // made with the thread object; its window on the thread
    std::atomic<CHtmlView*> view_{nullptr};
};
