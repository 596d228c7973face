#include "platform/ui/WindowSurface.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/thread/Thread.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Cursors.h"

namespace {

struct SurfaceTable {
    std::mutex mutex;
    std::map<HWND, std::unique_ptr<DrawingSurface>> surfaces;
};

SurfaceTable& Surfaces() {
    static auto* table = new SurfaceTable;  // lives for the process, as the windows' table
    return *table;
}

struct Pointer {
    std::mutex mutex;
    HWND over = nullptr;          // the window under the pointer
    POINT at;                     // screen coordinates
    HWND leaveTracked = nullptr;  // the window that asked for WM_MOUSELEAVE
    HWND pressed = nullptr;       // the window the left button was pressed on, while held
};

Pointer& ThePointer() {
    static auto* pointer = new Pointer;
    return *pointer;
}

}  // namespace

DrawingSurface* GetWindowSurface(HWND hwnd) {
    if (!IsWindow(hwnd) || GetWindowThreadId(hwnd) != GetCurrentThreadId())
        return nullptr;
    RECT client;
    GetClientRect(hwnd, &client);
    std::vector<std::unique_ptr<DrawingSurface>> ended;  // freed after the mutex
    SurfaceTable& table = Surfaces();
    std::lock_guard<std::mutex> guard(table.mutex);
    // Surfaces of windows that ended go now; handles are never reused.
    for (auto it = table.surfaces.begin(); it != table.surfaces.end();) {
        if (!IsWindow(it->first)) {
            ended.push_back(std::move(it->second));
            it = table.surfaces.erase(it);
        } else {
            ++it;
        }
    }
    std::unique_ptr<DrawingSurface>& surface = table.surfaces[hwnd];
    const int width = std::max<int>(client.right, 1);
    const int height = std::max<int>(client.bottom, 1);
    if (!surface || surface->Dc() == nullptr)
        surface = std::make_unique<DrawingSurface>(width, height);
    else if (surface->Width() != width || surface->Height() != height)
        surface->Resize(width, height);
    return surface->Dc() != nullptr ? surface.get() : nullptr;
}

bool WindowHasSurface(HWND hwnd) {
    if (!IsWindow(hwnd))
        return false;
    SurfaceTable& table = Surfaces();
    std::lock_guard<std::mutex> guard(table.mutex);
    return table.surfaces.count(hwnd) != 0;
}

HDC WindowSurfaceDc(HWND hwnd) {
    DrawingSurface* surface = GetWindowSurface(hwnd);
    return surface ? surface->Dc() : nullptr;
}

int ReleaseWindowSurfaceDc(HWND hwnd, HDC dc) {
    SurfaceTable& table = Surfaces();
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto found = table.surfaces.find(hwnd);
    return found != table.surfaces.end() && found->second->Dc() == dc ? 1 : 0;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    HDC dc = WindowSurfaceDc(hwnd);
    if (dc == nullptr || paint == nullptr)
        return nullptr;
    ValidateRect(hwnd, nullptr);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    GetClientRect(hwnd, &paint->rcPaint);
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    return IsWindow(hwnd) && paint != nullptr ? TRUE : FALSE;
}

UINT OwnerDrawState(HWND control, UINT ownBits) {
    UINT state = ownBits;
    if (!IsWindowEnabled(control))
        state |= ODS_DISABLED;
    if (GetFocus() == control && control != nullptr)
        state |= ODS_FOCUS;
    return state;
}

LRESULT DrawOwnerDrawnControl(HWND control, UINT ctlType, UINT action, UINT state) {
    HWND parent = GetParent(control);
    HDC dc = WindowSurfaceDc(control);
    if (parent == nullptr || dc == nullptr)
        return 0;
    DRAWITEMSTRUCT draw;
    draw.CtlType = ctlType;
    draw.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
    draw.itemAction = action;
    draw.itemState = state;
    draw.hwndItem = control;
    draw.hDC = dc;
    GetClientRect(control, &draw.rcItem);
    ValidateRect(control, nullptr);
    // The parent draws the control's text in the control's font, the dialog font.
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const LRESULT drew =
        SendMessage(parent, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);  // fails harmlessly when the control went meanwhile
    return drew;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (track == nullptr || track->cbSize != sizeof(TRACKMOUSEEVENT))
        return FALSE;
    Pointer& pointer = ThePointer();
    std::unique_lock<std::mutex> guard(pointer.mutex);
    if (track->dwFlags & TME_QUERY) {
        *track = TRACKMOUSEEVENT{};
        if (pointer.leaveTracked != nullptr && IsWindow(pointer.leaveTracked)) {
            track->dwFlags = TME_LEAVE;
            track->hwndTrack = pointer.leaveTracked;
        }
        return TRUE;
    }
    if (!IsWindow(track->hwndTrack))
        return FALSE;
    if (!(track->dwFlags & TME_LEAVE))
        return TRUE;
    if (track->dwFlags & TME_CANCEL) {
        if (pointer.leaveTracked == track->hwndTrack)
            pointer.leaveTracked = nullptr;
        return TRUE;
    }
    if (pointer.over != track->hwndTrack) {
        guard.unlock();
        return PostMessage(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
    }
    pointer.leaveTracked = track->hwndTrack;
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr)
        return FALSE;
    Pointer& pointer = ThePointer();
    std::lock_guard<std::mutex> guard(pointer.mutex);
    *point = pointer.at;
    return TRUE;
}

namespace {

bool Holds(HWND hwnd, POINT point) {
    RECT rect;
    return IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rect) && point.x >= rect.left &&
           point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

HWND Deepest(HWND hwnd, POINT point, int depth) {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr && depth < 64;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (Holds(child, point))
            return Deepest(child, point, depth + 1);
    }
    return hwnd;
}

}  // namespace

HWND WindowFromPoint(POINT point) {
    for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT)) {
        if (Holds(top, point))
            return Deepest(top, point, 0);
    }
    return nullptr;
}

// ---- The pointer's gestures (ControlInput.h) ------------------------------------------

namespace ControlInput {

// The pointer leaves the window it was over: a WM_MOUSELEAVE it asked for is sent now.
static void LeaveCurrent(HWND next) {
    HWND leaving = nullptr;
    {
        Pointer& pointer = ThePointer();
        std::lock_guard<std::mutex> guard(pointer.mutex);
        if (pointer.over != next && pointer.leaveTracked == pointer.over)
            leaving = pointer.leaveTracked;
        if (pointer.over != next && leaving != nullptr)
            pointer.leaveTracked = nullptr;
        pointer.over = next;
    }
    if (leaving != nullptr && IsWindow(leaving))
        SendMessage(leaving, WM_MOUSELEAVE, 0, 0);
}

static LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<std::int16_t>(x)),
                      static_cast<WORD>(static_cast<std::int16_t>(y)));
}

// The window the left button is held on, null when none (or it ended).
static HWND PressedWindow() {
    Pointer& pointer = ThePointer();
    std::lock_guard<std::mutex> guard(pointer.mutex);
    if (pointer.pressed != nullptr && !IsWindow(pointer.pressed))
        pointer.pressed = nullptr;
    return pointer.pressed;
}

bool MoveMouseOver(HWND window, int x, int y) {
    if (!IsWindow(window) || !IsWindowVisible(window) ||
        GetWindowThreadId(window) != GetCurrentThreadId())
        return false;
    POINT at{x, y};
    ClientToScreen(window, &at);
    {
        Pointer& pointer = ThePointer();
        std::lock_guard<std::mutex> guard(pointer.mutex);
        pointer.at = at;
    }
    const HWND pressed = PressedWindow();
    if (pressed != nullptr && pressed != window) {
        POINT inPressed = at;
        ScreenToClient(pressed, &inPressed);
        SendMessage(pressed, WM_MOUSEMOVE, MK_LBUTTON, PointParam(inPressed.x, inPressed.y));
        return true;
    }
    LeaveCurrent(window);
    // The window under the pointer (its parents first) may set the cursor; the class
    // cursor of every window here is the arrow.
    if (pressed == nullptr &&
        !SendMessage(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) &&
        IsWindow(window))
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (!IsWindow(window))
        return true;
    SendMessage(window, WM_MOUSEMOVE, pressed != nullptr ? MK_LBUTTON : 0, PointParam(x, y));
    return true;
}

bool PressMouse(HWND window, int x, int y) {
    if (!IsWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
        GetWindowThreadId(window) != GetCurrentThreadId())
        return false;
    POINT at{x, y};
    ClientToScreen(window, &at);
    {
        Pointer& pointer = ThePointer();
        std::lock_guard<std::mutex> guard(pointer.mutex);
        pointer.at = at;
        pointer.pressed = window;
    }
    LeaveCurrent(window);
    SendMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    return true;
}

bool ReleaseMouse(int x, int y) {
    HWND pressed = nullptr;
    {
        Pointer& pointer = ThePointer();
        std::lock_guard<std::mutex> guard(pointer.mutex);
        pressed = pointer.pressed;
        pointer.pressed = nullptr;
        if (pressed != nullptr && IsWindow(pressed)) {
            POINT at{x, y};
            ClientToScreen(pressed, &at);
            pointer.at = at;
        }
    }
    if (pressed == nullptr || !IsWindow(pressed))
        return false;
    SendMessage(pressed, WM_LBUTTONUP, 0, PointParam(x, y));
    return true;
}

bool MoveMouseAway() {
    {
        Pointer& pointer = ThePointer();
        std::lock_guard<std::mutex> guard(pointer.mutex);
        if (pointer.over == nullptr)
            return false;
        pointer.at = POINT{-1, -1};
    }
    LeaveCurrent(nullptr);
    return true;
}

}  // namespace ControlInput
