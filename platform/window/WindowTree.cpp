#include "platform/window/WindowTree.h"

#include <algorithm>
#include <cstring>

#include "platform/thread/Thread.h"
#include "platform/trace/Trace.h"
#include "platform/ui/Cursors.h"
#include "platform/window/MessageSystem.h"
#include "platform/window/Presentation.h"

namespace {

// A top-level window's first place when CW_USEDEFAULT asks for one.
constexpr RECT kDefaultTopLevelRect{100, 100, 740, 580};

LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    CallWindowHandler(hwnd, message, wParam, lParam, &result);
    return result;
}

// Under the mutex: the list that orders the window among its siblings, null for a
// message window or a child whose parent is gone.
std::vector<HWND>* SiblingList(const WindowState& state) {
    if (state.messageOnly)
        return nullptr;
    if (state.style & WS_CHILD) {
        WindowRecord* parent = FindWindowRecord(state.parent);
        return parent ? &parent->state.children : nullptr;
    }
    return &TopLevelOrder();
}

// Under the mutex: the window and its descendants, each before its own children.
std::vector<HWND> TreeOf(HWND root) {
    std::vector<HWND> tree;
    std::vector<HWND> pending{root};
    while (!pending.empty()) {
        HWND hwnd = pending.back();
        pending.pop_back();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr)
            continue;
        tree.push_back(hwnd);
        const auto& children = record->state.children;
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return tree;
}

// Under the mutex: whether hwnd is root or inside it.
bool InTree(HWND root, HWND hwnd) {
    while (hwnd != nullptr) {
        if (hwnd == root)
            return true;
        const WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr || !(record->state.style & WS_CHILD))
            return false;
        hwnd = record->state.parent;
    }
    return false;
}

// Under the mutex: the calling thread's focus when it lies inside root, taken away.
HWND TakeFocusInside(HWND root) {
    auto& focus = FocusTable();
    const auto found = focus.find(GetCurrentThreadId());
    if (found == focus.end() || !InTree(root, found->second))
        return nullptr;
    HWND lost = found->second;
    focus.erase(found);
    return lost;
}

// Tells a window that lost the focus without a new one taking it.
void AnnounceFocusLost(HWND lost) {
    if (lost == nullptr)
        return;
    Deliver(lost, WM_KILLFOCUS, 0, 0);
    if (WindowPresentation* presentation = GetWindowPresentation())
        presentation->FocusChanged(lost, nullptr);
}

HWND CreateTreeWindow(WindowHandler* handler, std::unique_ptr<WindowHandler> owned, DWORD exStyle,
                      std::string_view className, std::string_view windowName, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menuOrId,
                      void* createParams) {
    if (handler == nullptr)
        return nullptr;
    std::shared_ptr<ThreadMessageQueue> queue = CurrentThreadQueue();
    const bool child = (style & WS_CHILD) != 0;
    HWND hwnd = nullptr;
    RECT rect;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        if (child && FindOwnWindowRecord(parent) == nullptr) {
            Trace("window",
                  "child window of class %.*s: parent %p is not a live window of "
                  "this thread",
                  static_cast<int>(className.size()), className.data(), static_cast<void*>(parent));
            return nullptr;
        }
        HWND owner = nullptr;
        if (!child && parent != nullptr) {
            // The owner is the top-level window the given one belongs to.
            owner = parent;
            for (;;) {
                const WindowRecord* record = FindWindowRecord(owner);
                if (record == nullptr)
                    return nullptr;
                if (!(record->state.style & WS_CHILD))
                    break;
                owner = record->state.parent;
            }
        }
        if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) {
            x = child ? 0 : kDefaultTopLevelRect.left;
            y = child ? 0 : kDefaultTopLevelRect.top;
        }
        if (width == CW_USEDEFAULT || height == CW_USEDEFAULT) {
            width = child ? 0 : kDefaultTopLevelRect.Width();
            height = child ? 0 : kDefaultTopLevelRect.Height();
        }
        rect = MakeRect(x, y, std::max(width, 0), std::max(height, 0));

        hwnd = NewWindowHandle();
        WindowRecord& record = WindowTable()[HandleValue(hwnd)];
        record.handler = handler;
        record.ownedHandler = std::move(owned);
        record.queue = std::move(queue);
        WindowState& state = record.state;
        state.className = std::string(className);
        state.text = std::string(windowName);
        state.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        state.exStyle = exStyle;
        state.rect = rect;
        state.restoreRect = rect;
        if (child) {
            state.parent = parent;
            state.id = static_cast<LONG>(reinterpret_cast<UINT_PTR>(menuOrId));
            FindWindowRecord(parent)->state.children.push_back(hwnd);
        } else {
            state.owner = owner;
            state.menu = menuOrId;
            InsertTopLevel(hwnd, (exStyle & WS_EX_TOPMOST) != 0);
        }
    }
    if (WindowPresentation* presentation = GetWindowPresentation())
        presentation->WindowCreated(hwnd);

    const std::string nameText(windowName);
    const std::string classText(className);
    CREATESTRUCT create;
    create.lpCreateParams = createParams;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.x = rect.left;
    create.y = rect.top;
    create.cx = rect.Width();
    create.cy = rect.Height();
    create.style = style;
    create.lpszName = nameText.c_str();
    create.lpszClass = classText.c_str();
    create.dwExStyle = exStyle;
    LRESULT created = 0;
    CallWindowHandler(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create), &created);
    if (created == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    LPARAM size = 0;
    LPARAM origin = 0;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr)
            return nullptr;  // it destroyed itself while being made
        size = ClientSizeParam(record->state);
        origin = ClientOriginParam(record->state);
    }
    Deliver(hwnd, WM_SIZE, SIZE_RESTORED, size);
    Deliver(hwnd, WM_MOVE, 0, origin);
    if ((style & WS_VISIBLE) && IsWindow(hwnd))
        ShowWindow(hwnd, SW_SHOWNA);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// Reads one field of a live window's state under the mutex.
template <class T, class Read>
T ReadState(HWND hwnd, T fallback, Read read) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record && !record->state.messageOnly ? read(record->state) : fallback;
}

}  // namespace

WindowPresentation* PresentationFor(HWND hwnd) {
    WindowPresentation* presentation = GetWindowPresentation();
    if (presentation == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record && !record->state.messageOnly ? presentation : nullptr;
}

HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    void* createParams) {
    std::unique_ptr<WindowHandler> handler = MakeClassHandler(className);
    if (!handler) {
        Trace("window", "no window class %.*s", static_cast<int>(className.size()),
              className.data());
        return nullptr;
    }
    WindowHandler* raw = handler.get();
    return CreateTreeWindow(raw, std::move(handler), exStyle, className, windowName, style, x, y,
                            width, height, parent, menuOrId, createParams);
}

HWND CreateWindowForHandler(WindowHandler* handler, DWORD exStyle, std::string_view className,
                            std::string_view windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menuOrId, void* createParams) {
    return CreateTreeWindow(handler, nullptr, exStyle, className, windowName, style, x, y, width,
                            height, parent, menuOrId, createParams);
}

BOOL DestroyWindow(HWND hwnd) {
    std::vector<HWND> owned;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr || record->destroying)
            return FALSE;
        if (record->queue->threadId != GetCurrentThreadId()) {
            Trace("window", "window %p destroyed from thread %u, not its own",
                  static_cast<void*>(hwnd), GetCurrentThreadId());
            return FALSE;
        }
        if (!record->state.messageOnly && !(record->state.style & WS_CHILD)) {
            for (HWND other : TopLevelOrder()) {
                const WindowRecord* otherRecord = FindWindowRecord(other);
                if (otherRecord && otherRecord->state.owner == hwnd &&
                    otherRecord->queue->threadId == GetCurrentThreadId())
                    owned.push_back(other);
            }
        }
    }
    for (HWND window : owned)
        DestroyWindow(window);

    std::vector<HWND> tree;
    HWND lostFocus = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr)
            return FALSE;  // an owned window's handler destroyed it meanwhile
        tree = TreeOf(hwnd);
        for (HWND window : tree)
            FindWindowRecord(window)->destroying = true;
        if (std::vector<HWND>* siblings = SiblingList(record->state))
            std::erase(*siblings, hwnd);
        lostFocus = TakeFocusInside(hwnd);
    }
    AnnounceFocusLost(lostFocus);
    for (HWND window : tree)
        Deliver(window, WM_DESTROY, 0, 0);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        HWND window = *it;
        Deliver(window, WM_NCDESTROY, 0, 0);
        std::deque<PostedMessage> dropped;            // freed after the mutex is released
        std::unique_ptr<WindowHandler> ownedHandler;  // likewise
        bool ofTree = false;
        {
            std::lock_guard<std::mutex> guard(MessageSystemMutex());
            const auto found = WindowTable().find(HandleValue(window));
            if (found == WindowTable().end())
                continue;  // its thread's queue closed meanwhile
            ofTree = !found->second.state.messageOnly;
            ownedHandler = std::move(found->second.ownedHandler);
            ThreadMessageQueue& queue = *found->second.queue;
            WindowTable().erase(found);
            DropQueuedForWindow(queue, window, &dropped);
        }
        if (ofTree) {
            if (WindowPresentation* presentation = GetWindowPresentation())
                presentation->WindowDestroyed(window);
        }
    }
    return TRUE;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            bool changed = false;
            {
                std::lock_guard<std::mutex> guard(MessageSystemMutex());
                WindowRecord* record = FindWindowRecord(hwnd);
                if (record == nullptr)
                    return FALSE;
                std::string newText = text ? text : "";
                changed = record->state.text != newText;
                record->state.text = std::move(newText);
            }
            if (changed) {
                if (WindowPresentation* presentation = PresentationFor(hwnd))
                    presentation->WindowTextChanged(hwnd);
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (buffer == nullptr || wParam == 0)
                return 0;
            std::string text;
            {
                std::lock_guard<std::mutex> guard(MessageSystemMutex());
                const WindowRecord* record = FindWindowRecord(hwnd);
                if (record)
                    text = record->state.text;
            }
            size_t count = std::min<size_t>(text.size(), wParam - 1);
            // Never cut a UTF-8 sequence in two.
            while (count > 0 && count < text.size() &&
                   (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80)
                --count;
            std::memcpy(buffer, text.data(), count);
            buffer[count] = '\0';
            return static_cast<LRESULT>(count);
        }
        case WM_GETTEXTLENGTH: {
            std::lock_guard<std::mutex> guard(MessageSystemMutex());
            const WindowRecord* record = FindWindowRecord(hwnd);
            return record ? static_cast<LRESULT>(record->state.text.size()) : 0;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SETICON:
        case WM_GETICON:
        case WM_QUERYDRAGICON: {
            HICON old = nullptr;
            {
                std::lock_guard<std::mutex> guard(MessageSystemMutex());
                WindowRecord* record = FindWindowRecord(hwnd);
                if (record == nullptr)
                    return 0;
                if (message == WM_QUERYDRAGICON)
                    return reinterpret_cast<LRESULT>(record->state.bigIcon);
                HICON& slot = wParam == ICON_BIG ? record->state.bigIcon : record->state.smallIcon;
                old = slot;
                if (message != WM_SETICON || old == reinterpret_cast<HICON>(lParam))
                    return reinterpret_cast<LRESULT>(old);
                slot = reinterpret_cast<HICON>(lParam);
            }
            if (WindowPresentation* presentation = PresentationFor(hwnd))
                presentation->WindowIconChanged(hwnd);
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(hwnd, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(hwnd, SW_MAXIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_PAINT:
            ValidateRect(hwnd, nullptr);
            return 0;
        case WM_SETCURSOR:
            // A child's parent may set the cursor first (TRUE: it did).
            if (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) {
                if (HWND parent = GetParent(hwnd))
                    return SendMessage(parent, WM_SETCURSOR, wParam, lParam);
            }
            return FALSE;
        default:
            return 0;
    }
}

WindowHandler* SubclassWindow(HWND hwnd, WindowHandler* handler) {
    if (handler == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->queue->threadId != GetCurrentThreadId())
        return nullptr;
    WindowHandler* old = record->handler;
    record->handler = handler;
    return old;
}

HWND GetParent(HWND hwnd) {
    return ReadState(hwnd, static_cast<HWND>(nullptr), [](const WindowState& state) {
        if (state.style & WS_CHILD)
            return state.parent;
        return (state.style & WS_POPUP) ? state.owner : nullptr;
    });
}

HWND GetWindow(HWND hwnd, UINT command) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->state.messageOnly)
        return nullptr;
    const WindowState& state = record->state;
    if (command == GW_CHILD)
        return state.children.empty() ? nullptr : state.children.front();
    if (command == GW_OWNER)
        return (state.style & WS_CHILD) ? nullptr : state.owner;
    const std::vector<HWND>* siblings = SiblingList(state);
    if (siblings == nullptr || siblings->empty())
        return nullptr;
    const auto at = std::find(siblings->begin(), siblings->end(), hwnd);
    switch (command) {
        case GW_HWNDFIRST:
            return siblings->front();
        case GW_HWNDLAST:
            return siblings->back();
        case GW_HWNDNEXT:
            return at == siblings->end() || at + 1 == siblings->end() ? nullptr : *(at + 1);
        case GW_HWNDPREV:
            return at == siblings->end() || at == siblings->begin() ? nullptr : *(at - 1);
        default:
            return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    if (hwnd == nullptr)
        return TopLevelOrder().empty() ? nullptr : TopLevelOrder().front();
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->state.children.empty())
        return nullptr;
    return record->state.children.front();
}

BOOL IsChild(HWND parent, HWND child) {
    if (parent == nullptr || parent == child)
        return FALSE;
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    return FindWindowRecord(parent) && InTree(parent, child) ? TRUE : FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr)
        return nullptr;
    for (HWND child : record->state.children) {
        const WindowRecord* childRecord = FindWindowRecord(child);
        if (childRecord && childRecord->state.id == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    return ReadState(hwnd, 0, [](const WindowState& state) {
        return (state.style & WS_CHILD) ? static_cast<int>(state.id) : 0;
    });
}

LONG GetWindowLong(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    return ReadState(hwnd, LONG_PTR{0}, [index](const WindowState& state) -> LONG_PTR {
        switch (index) {
            case GWL_STYLE:
                return static_cast<LONG>(state.style);
            case GWL_EXSTYLE:
                return static_cast<LONG>(state.exStyle);
            case GWL_ID:
                return state.id;
            case GWLP_USERDATA:
                return state.userData;
            default:
                return 0;
        }
    });
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    LONG_PTR old = 0;
    bool styleChanged = false;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return 0;
        WindowState& state = record->state;
        switch (index) {
            case GWL_STYLE:
                old = static_cast<LONG>(state.style);
                // A window stays a child or a top-level window for its whole life.
                state.style = (static_cast<DWORD>(value) & ~WS_CHILD) | (state.style & WS_CHILD);
                styleChanged = static_cast<DWORD>(old) != state.style;
                break;
            case GWL_EXSTYLE:
                old = static_cast<LONG>(state.exStyle);
                state.exStyle = static_cast<DWORD>(value);
                styleChanged = static_cast<DWORD>(old) != state.exStyle;
                break;
            case GWL_ID:
                old = state.id;
                state.id = static_cast<LONG>(value);
                break;
            case GWLP_USERDATA:
                old = state.userData;
                state.userData = value;
                break;
            default:
                return 0;
        }
    }
    if (styleChanged) {
        if (WindowPresentation* presentation = GetWindowPresentation())
            presentation->WindowStyleChanged(hwnd);
    }
    return old;
}

BOOL SetWindowText(HWND hwnd, std::string_view text) {
    const std::string copy(text);
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())) ? TRUE : FALSE;
}

std::string GetWindowText(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->state.text : std::string();
}

int GetWindowText(HWND hwnd, char* buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0)
        return 0;
    // The default WM_GETTEXT copies without cutting a character in two.
    return static_cast<int>(DefWindowProc(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                          reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
    return static_cast<int>(GetWindowText(hwnd).size());
}

BOOL ShowWindow(HWND hwnd, int command) {
    bool wasVisible = false;
    bool visible = true;
    bool resized = false;
    WPARAM sizeKind = SIZE_RESTORED;
    LPARAM size = 0;
    HWND lostFocus = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return FALSE;
        WindowState& state = record->state;
        wasVisible = (state.style & WS_VISIBLE) != 0;
        switch (command) {
            case SW_HIDE:
                visible = false;
                break;
            case SW_MINIMIZE:
            case SW_SHOWMINIMIZED:
            case SW_SHOWMINNOACTIVE:
                if (!(state.style & WS_MINIMIZE)) {
                    state.style = (state.style | WS_MINIMIZE) & ~WS_MAXIMIZE;
                    resized = true;
                    sizeKind = SIZE_MINIMIZED;
                }
                break;
            case SW_MAXIMIZE:
                if (!(state.style & WS_MAXIMIZE)) {
                    if (!(state.style & WS_MINIMIZE))
                        state.restoreRect = state.rect;
                    RECT area = kScreenRect;
                    if (state.style & WS_CHILD) {
                        const WindowRecord* parent = FindWindowRecord(state.parent);
                        const RECT insets = FrameInsets(parent->state.style, parent->state.exStyle);
                        area =
                            MakeRect(0, 0, parent->state.rect.Width() - insets.left - insets.right,
                                     parent->state.rect.Height() - insets.top - insets.bottom);
                    }
                    state.rect = area;
                    state.style = (state.style | WS_MAXIMIZE) & ~WS_MINIMIZE;
                    resized = true;
                    sizeKind = SIZE_MAXIMIZED;
                }
                break;
            case SW_RESTORE:
            case SW_SHOWNORMAL:
                if (state.style & (WS_MINIMIZE | WS_MAXIMIZE)) {
                    if (state.style & WS_MAXIMIZE)
                        state.rect = state.restoreRect;
                    state.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
                    resized = true;
                }
                break;
            default:
                break;
        }
        if (visible)
            state.style |= WS_VISIBLE;
        else
            state.style &= ~WS_VISIBLE;
        size = sizeKind == SIZE_MINIMIZED ? 0 : ClientSizeParam(state);
        if (!visible)
            lostFocus = TakeFocusInside(hwnd);
    }
    AnnounceFocusLost(lostFocus);
    WindowPresentation* presentation = GetWindowPresentation();
    if (wasVisible != visible) {
        Deliver(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        if (presentation)
            presentation->WindowShown(hwnd, visible);
    }
    if (resized) {
        Deliver(hwnd, WM_SIZE, sizeKind, size);
        if (presentation)
            presentation->WindowMoved(hwnd);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    for (;;) {
        const WindowRecord* record = FindWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly || !(record->state.style & WS_VISIBLE))
            return FALSE;
        if (!(record->state.style & WS_CHILD))
            return TRUE;
        hwnd = record->state.parent;
    }
}

BOOL IsIconic(HWND hwnd) {
    return ReadState(hwnd, FALSE, [](const WindowState& state) {
        return (state.style & WS_MINIMIZE) ? TRUE : FALSE;
    });
}

BOOL IsZoomed(HWND hwnd) {
    return ReadState(hwnd, FALSE, [](const WindowState& state) {
        return (state.style & WS_MAXIMIZE) ? TRUE : FALSE;
    });
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    HWND lostFocus = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        WindowRecord* record = FindOwnWindowRecord(hwnd);
        if (record == nullptr || record->state.messageOnly)
            return FALSE;
        WindowState& state = record->state;
        wasDisabled = (state.style & WS_DISABLED) != 0;
        if (enable)
            state.style &= ~WS_DISABLED;
        else
            state.style |= WS_DISABLED;
        if (!enable)
            lostFocus = TakeFocusInside(hwnd);
    }
    AnnounceFocusLost(lostFocus);
    if (wasDisabled == static_cast<bool>(enable)) {
        Deliver(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        if (WindowPresentation* presentation = GetWindowPresentation())
            presentation->WindowEnabled(hwnd, enable != FALSE);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    return ReadState(hwnd, FALSE, [](const WindowState& state) {
        return (state.style & WS_DISABLED) ? FALSE : TRUE;
    });
}

HWND SetFocus(HWND hwnd) {
    HWND old = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        if (hwnd != nullptr) {
            const WindowRecord* record = FindOwnWindowRecord(hwnd);
            if (record == nullptr || record->state.messageOnly ||
                (record->state.style & WS_DISABLED))
                return nullptr;
        }
        auto& focus = FocusTable();
        const auto found = focus.find(GetCurrentThreadId());
        if (found != focus.end())
            old = found->second;
        if (old == hwnd)
            return old;
        if (hwnd != nullptr)
            focus[GetCurrentThreadId()] = hwnd;
        else if (found != focus.end())
            focus.erase(found);
    }
    if (old != nullptr)
        Deliver(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd != nullptr && GetFocus() == hwnd)
        Deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    if (WindowPresentation* presentation = GetWindowPresentation())
        presentation->FocusChanged(old, hwnd);
    return old;
}

HWND GetFocus() {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = FocusTable().find(GetCurrentThreadId());
    return found == FocusTable().end() ? nullptr : found->second;
}

LRESULT NotifyParentCommand(HWND control, WORD code) {
    HWND parent = nullptr;
    int id = 0;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const WindowRecord* record = FindWindowRecord(control);
        if (record == nullptr || !(record->state.style & WS_CHILD))
            return 0;
        parent = record->state.parent;
        id = static_cast<int>(record->state.id);
    }
    return SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
                       reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR* header) {
    if (header == nullptr)
        return 0;
    HWND parent = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const WindowRecord* record = FindWindowRecord(control);
        if (record == nullptr || !(record->state.style & WS_CHILD))
            return 0;
        parent = record->state.parent;
        header->hwndFrom = control;
        header->idFrom = static_cast<UINT_PTR>(record->state.id);
    }
    return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessage(item, message, wParam, lParam) : 0;
}

BOOL SetDlgItemText(HWND dialog, int id, std::string_view text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowText(item, text) : FALSE;
}

std::string GetDlgItemText(HWND dialog, int id) {
    return GetWindowText(GetDlgItem(dialog, id));
}
