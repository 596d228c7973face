// Rectangles, positions and the order of siblings.
#include <algorithm>

#include "platform/window/MessageSystem.h"
#include "platform/window/Presentation.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr LONG kCaptionHeight = 19;

LPARAM PackPair(LONG low, LONG high) {
    return MAKELPARAM(static_cast<WORD>(low), static_cast<WORD>(high));
}

// Under the mutex: the screen position of the window's client area's top-left corner.
bool ClientOrigin(HWND hwnd, POINT* origin) {
    POINT point;
    for (;;) {
        const WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return false;
        const WindowState& state = record->state;
        const RECT insets = FrameInsets(state.style, state.exStyle);
        point.x += state.rect.left + insets.left;
        point.y += state.rect.top + insets.top;
        if (!(state.style & WS_CHILD))
            break;
        hwnd = state.parent;
    }
    *origin = point;
    return true;
}

// Under the mutex: the first index of the windows without WS_EX_TOPMOST.
size_t FirstOrdinary(const std::vector<HWND>& order) {
    size_t index = 0;
    while (index < order.size()) {
        const WindowRecord* record = FindWindowRecord(order[index]);
        if (record == nullptr || !(record->state.exStyle & WS_EX_TOPMOST))
            break;
        ++index;
    }
    return index;
}

// Under the mutex: moves the window in its siblings' order; true when anything changed.
bool Reorder(HWND hwnd, WindowState& state, HWND insertAfter) {
    std::vector<HWND>* siblings = nullptr;
    if (state.style & WS_CHILD) {
        WindowRecord* parent = FindWindowRecord(state.parent);
        if (parent == nullptr)
            return false;
        siblings = &parent->state.children;
    } else {
        siblings = &TopLevelOrder();
    }
    const std::vector<HWND> before = *siblings;
    const DWORD exBefore = state.exStyle;
    const auto at = std::find(siblings->begin(), siblings->end(), hwnd);
    if (at == siblings->end())
        return false;
    const size_t oldIndex = static_cast<size_t>(at - siblings->begin());
    siblings->erase(at);
    const bool child = (state.style & WS_CHILD) != 0;
    size_t index = oldIndex;
    if (insertAfter == HWND_TOPMOST) {
        if (!child)
            state.exStyle |= WS_EX_TOPMOST;
        index = 0;
    } else if (insertAfter == HWND_NOTOPMOST) {
        if (!child && (state.exStyle & WS_EX_TOPMOST)) {
            state.exStyle &= ~WS_EX_TOPMOST;
            index = FirstOrdinary(*siblings);
        }
    } else if (insertAfter == HWND_TOP) {
        index = 0;
    } else if (insertAfter == HWND_BOTTOM) {
        state.exStyle &= ~WS_EX_TOPMOST;
        index = siblings->size();
    } else {
        const auto after = std::find(siblings->begin(), siblings->end(), insertAfter);
        if (after != siblings->end())
            index = static_cast<size_t>(after - siblings->begin()) + 1;
    }
    if (!child) {
        // Topmost windows stay above all others.
        const size_t boundary = FirstOrdinary(*siblings);
        index =
            (state.exStyle & WS_EX_TOPMOST) ? std::min(index, boundary) : std::max(index, boundary);
    }
    index = std::min(index, siblings->size());
    siblings->insert(siblings->begin() + static_cast<std::ptrdiff_t>(index), hwnd);
    return *siblings != before || state.exStyle != exBefore;
}

}  // namespace

RECT FrameInsets(DWORD style, DWORD exStyle) {
    LONG frame = 0;
    if (style & WS_THICKFRAME)
        frame = 4;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = 3;
    else if (style & WS_BORDER)
        frame = 1;
    if (exStyle & WS_EX_CLIENTEDGE)
        frame += 2;
    else if (exStyle & WS_EX_STATICEDGE)
        frame += 1;
    RECT insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += kCaptionHeight;
    return insets;
}

LPARAM ClientSizeParam(const WindowState& state) {
    const RECT insets = FrameInsets(state.style, state.exStyle);
    return PackPair(std::max<LONG>(state.rect.Width() - insets.left - insets.right, 0),
                    std::max<LONG>(state.rect.Height() - insets.top - insets.bottom, 0));
}

LPARAM ClientOriginParam(const WindowState& state) {
    const RECT insets = FrameInsets(state.style, state.exStyle);
    return PackPair(state.rect.left + insets.left, state.rect.top + insets.top);
}

void InsertTopLevel(HWND hwnd, bool topmost) {
    std::vector<HWND>& order = TopLevelOrder();
    const size_t index = topmost ? 0 : FirstOrdinary(order);
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(index), hwnd);
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL, DWORD exStyle) {
    if (rect == nullptr)
        return FALSE;
    const RECT insets = FrameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    if (rect == nullptr)
        return FALSE;
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->state.messageOnly)
        return FALSE;
    const WindowState& state = record->state;
    POINT origin;
    if ((state.style & WS_CHILD) && !ClientOrigin(state.parent, &origin))
        return FALSE;
    *rect = MakeRect(origin.x + state.rect.left, origin.y + state.rect.top, state.rect.Width(),
                     state.rect.Height());
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    if (rect == nullptr)
        return FALSE;
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->state.messageOnly)
        return FALSE;
    const LPARAM size = ClientSizeParam(record->state);
    *rect = RECT{0, 0, LOWORD(static_cast<std::uintptr_t>(size)),
                 HIWORD(static_cast<std::uintptr_t>(size))};
    return TRUE;
}

BOOL MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    POINT fromOrigin;
    POINT toOrigin;
    if ((from != nullptr && !ClientOrigin(from, &fromOrigin)) ||
        (to != nullptr && !ClientOrigin(to, &toOrigin)))
        return FALSE;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += fromOrigin.x - toOrigin.x;
        points[i].y += fromOrigin.y - toOrigin.y;
    }
    return TRUE;
}

BOOL MapWindowRect(HWND from, HWND to, RECT* rect) {
    if (rect == nullptr)
        return FALSE;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    if (!MapWindowPoints(from, to, corners, 2))
        return FALSE;
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    return hwnd != nullptr && MapWindowPoints(hwnd, nullptr, point, 1) ? TRUE : FALSE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    return hwnd != nullptr && MapWindowPoints(nullptr, hwnd, point, 1) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    bool moved = false;
    bool sized = false;
    bool reordered = false;
    WPARAM sizeKind = SIZE_RESTORED;
    LPARAM size = 0;
    LPARAM origin = 0;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return FALSE;
        WindowState& state = record->state;
        const RECT old = state.rect;
        if (!(flags & SWP_NOMOVE))
            state.rect = MakeRect(x, y, old.Width(), old.Height());
        if (!(flags & SWP_NOSIZE)) {
            state.rect.right = state.rect.left + std::max(width, 0);
            state.rect.bottom = state.rect.top + std::max(height, 0);
            sized = true;
        }
        moved = state.rect.left != old.left || state.rect.top != old.top;
        if (!(flags & SWP_NOZORDER))
            reordered = Reorder(hwnd, state, insertAfter);
        if (state.style & WS_MAXIMIZE)
            sizeKind = SIZE_MAXIMIZED;
        size = ClientSizeParam(state);
        origin = ClientOriginParam(state);
    }
    if (moved)
        SendMessage(hwnd, WM_MOVE, 0, origin);
    if (sized)
        SendMessage(hwnd, WM_SIZE, sizeKind, size);
    if (moved || sized || reordered) {
        if (WindowPresentation* presentation = PresentationFor(hwnd))
            presentation->WindowMoved(hwnd);
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, SW_SHOWNA);
    else if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return FALSE;
        record->state.invalid = true;
    }
    if (WindowPresentation* presentation = PresentationFor(hwnd))
        presentation->WindowInvalidated(hwnd);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT*) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr)
        return FALSE;
    record->state.invalid = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
    bool invalid = false;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const WindowRecord* record = FindWindowRecord(hwnd);
        invalid = record != nullptr && record->state.invalid;
    }
    if (rect != nullptr) {
        *rect = RECT{};
        if (invalid)
            GetClientRect(hwnd, rect);
    }
    return invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd))
        return FALSE;
    if (GetUpdateRect(hwnd, nullptr, FALSE))
        SendMessage(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}
