#include "platform/window/Presentation.h"

#include <atomic>

namespace {

std::atomic<WindowPresentation*> installed{nullptr};

}  // namespace

void SetWindowPresentation(WindowPresentation* presentation) {
    installed.store(presentation);
}

WindowPresentation* GetWindowPresentation() {
    return installed.load();
}

void PresentControlContent(HWND hwnd, UINT message) {
    if (WindowPresentation* presentation = installed.load())
        presentation->ControlContentChanged(hwnd, message);
}
