// The hidden frame window of a user-interface thread: it creates the thread's one view
// of a given run-time class and holds it. No visible window exists on this platform;
// the frame keeps the values it was created with.
#pragma once

#include <memory>
#include <string>

#include "platform/base/RuntimeClass.h"
#include "platform/base/Types.h"
#include "platform/window/Window.h"

class CHtmlView;

// What a UI thread creates its frame with.
constexpr const char* UiThreadFrameWindowName = "control threaded ui view";
// Overlapped window, caption, system menu, thick frame, minimise and maximise boxes;
// not visible.
constexpr DWORD UiThreadFrameStyle = 0xC0CF0000;
constexpr LONG UiThreadFrameLeft = 300;
constexpr LONG UiThreadFrameTop = 300;
constexpr LONG UiThreadFrameRight = 700;
constexpr LONG UiThreadFrameBottom = 500;
// The control id of a frame's first pane, its view.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

class UiThreadFrame : private WindowHandler {
public:
    UiThreadFrame() = default;
    // Any thread once the frame's window is gone (DestroyWindow or the end of its thread).
    ~UiThreadFrame() override;
    UiThreadFrame(const UiThreadFrame&) = delete;
    UiThreadFrame& operator=(const UiThreadFrame&) = delete;

    // The class of the view the frame creates; set before Create.
    void SetViewClass(const CRuntimeClass* viewClass) { viewClass_ = viewClass; }

    // On the thread that is to own it: creates the frame window, which creates its view
    // (an object of the view class, as the first pane) and calls the view's
    // OnInitialUpdate. FALSE when the view class makes no view or the view's window
    // cannot be made (the frame window is then destroyed again).
    BOOL Create(const std::string& windowName, DWORD style, LONG left, LONG top, LONG right,
                LONG bottom);
    // On the frame's thread: destroys the view's window and the frame window. The view
    // object stays until the frame goes.
    void DestroyWindow();

    // The view made by Create; null before and when it failed. Any thread after Create.
    CHtmlView* GetView() const { return view_.get(); }
    HWND GetSafeHwnd() const { return hwnd_; }
    const std::string& GetWindowName() const { return windowName_; }
    DWORD GetStyle() const { return style_; }

private:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_CREATE: 0, or -1 when the view cannot be made.
    LRESULT OnCreate(HWND hwnd);

    const CRuntimeClass* viewClass_ = nullptr;
    std::unique_ptr<CHtmlView> view_;
    HWND hwnd_ = nullptr;
    std::string windowName_;
    DWORD style_ = 0;
    LONG left_ = 0;
    LONG top_ = 0;
    LONG right_ = 0;
    LONG bottom_ = 0;
};
