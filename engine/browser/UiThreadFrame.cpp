#include "engine/browser/UiThreadFrame.h"

#include "platform/browser/CHtmlView.h"

UiThreadFrame::~UiThreadFrame() = default;

BOOL UiThreadFrame::Create(const std::string& windowName, DWORD style, LONG left, LONG top,
                           LONG right, LONG bottom) {
    if (hwnd_ != nullptr)
        return FALSE;
    windowName_ = windowName;
    style_ = style;
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    hwnd_ = CreateMessageWindow(this);
    return hwnd_ != nullptr ? TRUE : FALSE;
}

void UiThreadFrame::DestroyWindow() {
    if (view_)
        view_->DestroyWindow();
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

LRESULT UiThreadFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        return OnCreate(hwnd);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT UiThreadFrame::OnCreate(HWND hwnd) {
    if (viewClass_ == nullptr)
        return -1;
    std::unique_ptr<CObject> object = viewClass_->CreateObject();
    auto* view = dynamic_cast<CHtmlView*>(object.get());
    if (view == nullptr)
        return -1;
    object.release();
    view_.reset(view);
    if (!view_->Create(hwnd, AFX_IDW_PANE_FIRST)) {
        view_.reset();
        return -1;
    }
    view_->OnInitialUpdate();
    return 0;
}
