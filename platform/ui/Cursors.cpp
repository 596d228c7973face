#include "platform/ui/Cursors.h"

#include <atomic>

struct HCURSOR__ {
    int id;
};

namespace {

HCURSOR__ arrowCursor{IDC_ARROW};
HCURSOR__ waitCursor{IDC_WAIT};
HCURSOR__ handCursor{IDC_HAND};

std::atomic<HCURSOR> shown{&arrowCursor};
std::atomic<CursorPresenter*> cursorPresenter{nullptr};

bool IsSharedCursor(HCURSOR cursor) {
    return cursor == &arrowCursor || cursor == &waitCursor || cursor == &handCursor;
}

}  // namespace

HCURSOR LoadCursor(const void*, int id) {
    switch (id) {
        case IDC_ARROW:
            return &arrowCursor;
        case IDC_WAIT:
            return &waitCursor;
        case IDC_HAND:
            return &handCursor;
        default:
            return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = shown.exchange(cursor);
    if (CursorPresenter* presenter = cursorPresenter.load())
        presenter->CursorSet(cursor);
    return previous;
}

HCURSOR GetCursor() {
    return shown.load();
}

BOOL DestroyCursor(HCURSOR cursor) {
    return IsSharedCursor(cursor) ? TRUE : FALSE;
}

void SetCursorPresenter(CursorPresenter* presenter) {
    cursorPresenter.store(presenter);
}
