#include "platform/ui/UserInput.h"

#include <string>

#include "platform/thread/Thread.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/window/WindowTree.h"

namespace UserInput {

namespace {

bool IsClassName(HWND hwnd, std::string_view name) {
    const std::string actual = GetClassName(hwnd);
    if (actual.size() != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (fold(actual[i]) != fold(name[i]))
            return false;
    }
    return true;
}

// Whether a person could reach the window: alive, of this thread, shown and enabled.
bool Reachable(HWND hwnd) {
    return IsWindow(hwnd) && GetWindowThreadId(hwnd) == GetCurrentThreadId() &&
           IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

DWORD ButtonType(HWND button) {
    return static_cast<DWORD>(GetWindowLong(button, GWL_STYLE)) & BS_TYPEMASK;
}

// Decodes one UTF-8 character at pos (an invalid byte stands for itself).
char32_t NextCharacter(std::string_view text, size_t* pos) {
    const auto lead = static_cast<unsigned char>(text[(*pos)++]);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3   ? lead & 0x07
                 : extra == 2 ? lead & 0x0F
                 : extra == 1 ? lead & 0x1F
                              : lead;
    for (; extra > 0 && *pos < text.size(); --extra) {
        const auto next = static_cast<unsigned char>(text[*pos]);
        if ((next & 0xC0) != 0x80)
            break;
        c = (c << 6) | (next & 0x3F);
        ++*pos;
    }
    return c;
}

}  // namespace

bool ClickButton(HWND button) {
    if (!Reachable(button) || !IsClassName(button, "BUTTON") || ButtonType(button) == BS_GROUPBOX)
        return false;
    SendMessage(button, BM_CLICK, 0, 0);
    return true;
}

bool TickBox(HWND checkBox, bool checked) {
    const DWORD type = ButtonType(checkBox);
    if (!Reachable(checkBox) || !IsClassName(checkBox, "BUTTON") ||
        (type != BS_AUTOCHECKBOX && type != BS_CHECKBOX && type != BS_AUTO3STATE &&
         type != BS_3STATE))
        return false;
    const bool isChecked = SendMessage(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (isChecked != checked)
        SendMessage(checkBox, BM_CLICK, 0, 0);
    return true;
}

bool TypeText(HWND edit, std::string_view text, bool replaceAll) {
    if (!Reachable(edit) || !IsClassName(edit, "EDIT"))
        return false;
    if (GetWindowLong(edit, GWL_STYLE) & ES_READONLY)
        return false;
    SetFocus(edit);
    if (replaceAll)
        SendMessage(edit, EM_SETSEL, 0, -1);
    else
        SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(GetWindowTextLength(edit)), -1);
    size_t pos = 0;
    if (replaceAll && text.empty() && GetWindowTextLength(edit) > 0)
        SendMessage(edit, WM_CHAR, VK_BACK, 0);
    while (pos < text.size())
        SendMessage(edit, WM_CHAR, static_cast<WPARAM>(NextCharacter(text, &pos)), 0);
    return true;
}

bool ReplaceText(HWND edit, size_t start, size_t end, std::string_view text) {
    if (!Reachable(edit) || !IsClassName(edit, "EDIT"))
        return false;
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    if (text.empty()) {
        if (start != end)
            SendMessage(edit, WM_CHAR, VK_BACK, 0);
        return true;
    }
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '\r' || text[pos] == '\n') {
            pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
            SendMessage(edit, WM_CHAR, VK_RETURN, 0);
            continue;
        }
        SendMessage(edit, WM_CHAR, static_cast<WPARAM>(NextCharacter(text, &pos)), 0);
    }
    return true;
}

bool SelectText(HWND edit, size_t start, size_t end) {
    if (!Reachable(edit) || !IsClassName(edit, "EDIT"))
        return false;
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    return true;
}

bool Focus(HWND control) {
    if (!Reachable(control))
        return false;
    SetFocus(control);
    return GetFocus() == control;
}

bool SelectListRow(HWND listBox, int row) {
    if (!Reachable(listBox) || !IsClassName(listBox, "LISTBOX"))
        return false;
    return SendMessage(listBox, UIM_SELECTITEM, static_cast<WPARAM>(row), FALSE) != LB_ERR;
}

bool DoubleClickListRow(HWND listBox, int row) {
    if (!Reachable(listBox) || !IsClassName(listBox, "LISTBOX"))
        return false;
    return SendMessage(listBox, UIM_SELECTITEM, static_cast<WPARAM>(row), TRUE) != LB_ERR;
}

bool PressEnter(HWND window) {
    return Reachable(window) && DialogKey(window, VK_RETURN);
}

bool PressEscape(HWND window) {
    return Reachable(window) && DialogKey(window, VK_ESCAPE);
}

bool PressTab(HWND window, bool backwards) {
    return Reachable(window) && DialogKey(window, VK_TAB, backwards);
}

bool PressSpace(HWND focus) {
    if (!Reachable(focus) || GetFocus() != focus)
        return false;
    SendMessage(focus, WM_KEYDOWN, VK_SPACE, 0);
    if (IsWindow(focus))
        SendMessage(focus, WM_CHAR, VK_SPACE, 0);
    return true;
}

bool ReleaseSpace(HWND focus) {
    if (!IsWindow(focus) || GetWindowThreadId(focus) != GetCurrentThreadId())
        return false;
    SendMessage(focus, WM_KEYUP, VK_SPACE, 0);
    return true;
}

bool ResizeWindow(HWND window, int width, int height) {
    if (!Reachable(window) || width < 0 || height < 0)
        return false;
    return SetWindowPos(window, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool CloseWindow(HWND window) {
    if (!Reachable(window))
        return false;
    SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

}  // namespace UserInput
