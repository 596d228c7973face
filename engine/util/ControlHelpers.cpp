#include "engine/util/ControlHelpers.h"

#include "engine/util/Conversions.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/gdi/SystemMetrics.h"
#include "platform/ui/Controls.h"
#include "platform/ui/WindowSurface.h"

namespace {

// The row whose text is exactly text (the list box's own search ignores case), -1 when
// none.
int FindExact(HWND listBox, std::string_view text) {
    const std::string wanted(text);
    int after = -1;
    for (;;) {
        const auto row =
            static_cast<int>(SendMessage(listBox, LB_FINDSTRINGEXACT, static_cast<WPARAM>(after),
                                         reinterpret_cast<LPARAM>(wanted.c_str())));
        if (row == LB_ERR || row <= after)
            return -1;
        if (ListBoxText(listBox, row) == wanted)
            return row;
        after = row;
    }
}

}  // namespace

void PaintIconCentred(HWND window, HICON icon) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    DrawIconEx(dc, (client.right - client.left - width + 1) / 2,
               (client.bottom - client.top - height + 1) / 2, icon, width, height, 0, nullptr,
               DI_NORMAL);
    EndPaint(window, &paint);
}

bool IsEditWindow(HWND window) {
    std::string name = GetClassName(window);
    for (char& c : name)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return name == "edit";
}

std::string WindowTextOf(HWND window) {
    return GetWindowText(window);
}

int WindowIntOf(HWND window) {
    return StringToInt(WindowTextOf(window));
}

void FillListBox(HWND listBox, const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        SendMessage(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RemoveListBoxString(HWND listBox, std::string_view text) {
    const int row = FindExact(listBox, text);
    if (row >= 0)
        SendMessage(listBox, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

int AddListBoxString(HWND listBox, std::string_view text) {
    if (text.empty())
        return -1;
    const int row = FindExact(listBox, text);
    if (row >= 0)
        return row;
    const std::string copy(text);
    return static_cast<int>(
        SendMessage(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
}

std::string GetListBoxSelection(HWND listBox) {
    const auto row = static_cast<int>(SendMessage(listBox, LB_GETCURSEL, 0, 0));
    return row >= 0 ? ListBoxText(listBox, row) : std::string();
}
