#include "platform/ui/ControlInput.h"
#include "platform/thread/Thread.h"

#include "platform/ui/CommonControls.h"
#include "platform/ui/CommonControlsInternal.h"

namespace ControlInput {

namespace {

// A person can reach a visible, enabled window; its own thread acts.
// (The UIM_ messages are answered by their own controls only; any other window answers 0.)
bool Reachable(HWND window) {
    return IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
           GetWindowThreadId(window) == GetCurrentThreadId();
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Reachable(window) && SendMessage(window, message, wParam, lParam) != 0;
}

}  // namespace

bool SelectListViewRow(HWND listView, int row) {
    return Send(listView, UIM_LISTVIEW_CLICKROW, static_cast<WPARAM>(row), FALSE);
}

bool DoubleClickListViewRow(HWND listView, int row) {
    return Send(listView, UIM_LISTVIEW_CLICKROW, static_cast<WPARAM>(row), TRUE);
}

bool TickListViewRow(HWND listView, int row, bool checked) {
    return Send(listView, UIM_LISTVIEW_TICKROW, static_cast<WPARAM>(row), checked);
}

bool ClickListColumn(HWND listView, int column) {
    return Send(listView, UIM_LISTVIEW_CLICKCOLUMN, static_cast<WPARAM>(column), 0);
}

bool SelectTab(HWND tabControl, int tab) {
    return Send(tabControl, UIM_TAB_CLICK, static_cast<WPARAM>(tab), 0);
}

bool ClickToolbarButton(HWND toolbar, int commandId) {
    return Send(toolbar, UIM_TOOLBAR_CLICK, static_cast<WPARAM>(commandId), 0);
}

std::string HoverToolbarButton(HWND toolbar, int commandId) {
    std::string tip;
    Send(toolbar, UIM_TOOLBAR_HOVER, static_cast<WPARAM>(commandId),
         reinterpret_cast<LPARAM>(&tip));
    return tip;
}

bool ChooseMenuItem(unsigned commandId) {
    return ChooseShownMenuItem(commandId);
}

bool ChooseMenuItemByText(std::string_view text) {
    return ChooseShownMenuItemByText(text);
}

bool HighlightMenuItem(unsigned commandId) {
    return HighlightShownMenuItem(commandId);
}

bool PressMenuKey(char key) {
    return PressShownMenuKey(key);
}

bool DismissMenu() {
    return DismissShownMenu();
}

bool ChooseSystemMenuItem(HWND window, unsigned commandId) {
    return Reachable(window) && ::ChooseSystemMenuItem(window, commandId);
}

}  // namespace ControlInput
