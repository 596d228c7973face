#include "platform/ui/CommonControls.h"

#include "platform/gdi/GdiText.h"
#include "platform/ui/CommonControlsInternal.h"
#include "platform/ui/ToolTip.h"

int TextWidth(std::string_view text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size;
    const BOOL measured =
        GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return measured ? static_cast<int>(size.cx) : 0;
}

void RegisterCommonControlClasses() {
    RegisterWindowClass("SysListView32", MakeListViewControl);
    RegisterWindowClass("SysTabControl32", MakeTabControl);
    RegisterWindowClass("SysTreeView32", MakeTreeViewControl);
    RegisterWindowClass("ToolbarWindow32", MakeToolbarControl);
    RegisterToolTipClass();
}
