// Who a user-interface thread tells about its view.
#pragma once

class UiThread;

class UiThreadCallback {
public:
    virtual ~UiThreadCallback() = default;

    // The thread's view exists. Runs on that thread, at the end of its start-up; false
    // ends the thread. The base answers false.
    virtual bool OnThreadReady(UiThread* thread);

    // The thread is ending: after its message loop, or after a start-up that failed
    // (then its view is null and OnThreadReady was never called). Runs on that thread,
    // before its view's window and loader go. Nothing here.
    virtual void OnThreadEnded(UiThread* thread);
};
