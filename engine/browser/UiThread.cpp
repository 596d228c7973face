#include "engine/browser/UiThread.h"

#include "engine/browser/UiThreadCallback.h"
#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/trace/Trace.h"

UiThread::UiThread(const CRuntimeClass* viewClass, UiThreadCallback* callback)
    : callback_(callback) {
    frame_.SetViewClass(viewClass);
}

UiThread::~UiThread() {
    PostQuit();
    Join();
}

std::unique_ptr<UiThread> UiThread::Create(const CRuntimeClass* viewClass,
                                           UiThreadCallback* callback) {
    std::unique_ptr<UiThread> thread(new UiThread(viewClass, callback));
    if (!thread->CreateThread()) {
        Trace("browser", "cannot start a browser thread");
        return nullptr;
    }
    return thread;
}

bool UiThread::InitInstance() {
    CoInitialize(nullptr);
    if (!frame_.Create(UiThreadFrameWindowName, UiThreadFrameStyle, UiThreadFrameLeft,
                       UiThreadFrameTop, UiThreadFrameRight, UiThreadFrameBottom)) {
        Trace("browser", "the frame of a UI thread cannot be made");
        return false;
    }
    view_ = frame_.GetView();
    if (callback_ != nullptr)
        return callback_->OnThreadReady(this);
    return true;
}

int UiThread::ExitInstance() {
    if (callback_ != nullptr)
        callback_->OnThreadEnded(this);
    frame_.DestroyWindow();
    CoUninitialize();
    return WinThread::ExitInstance();
}
