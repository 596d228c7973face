#include "band/PanelDialogs.h"

#include "band/HtmlPanelView.h"
#include "engine/util/FileDialogHelpers.h"
#include "engine/util/StringUtilities.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/MessageBox.h"
#include "platform/window/WindowTree.h"

bool ShowPanelDialog(CDialog& dialog, int templateId, HWND owner) {
    // The templates are this module's; the process-wide choice is put back at once.
    const HMODULE previous = GetResourceModule();
    SetResourceModule(ThisModule());
    const bool made = dialog.Create(templateId, owner);
    SetResourceModule(previous);
    if (!made)
        return false;
    ::ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
    ::SetWindowPos(dialog.GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

// --- New View Name ---

NewViewNameDialog::NewViewNameDialog(CHtmlPanelView& panel, std::string siteUrl)
    : CDialog(201), panel_(panel), siteUrl_(std::move(siteUrl)) {
    autoGenerate_ = panel.Preferences().autoGenerateViewNames ? 1 : 0;
    dontBug_ = panel.Preferences().dontBug ? 1 : 0;
    viewName_ = panel.Preferences().settings.viewName;
}

void NewViewNameDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Check(dx, 202, autoGenerate_);
    DDX_Check(dx, 203, dontBug_);
    DDX_Text(dx, 201, viewName_);
}

BOOL NewViewNameDialog::OnInitDialog() {
    const std::string marker(panel_.Product().markerPage);
    if (autoGenerate_)
        viewName_ = MakeViewName(panel_.Preferences().storageFolder, siteUrl_, viewName_, marker);
    openingName_ = viewName_;
    return CDialog::OnInitDialog();
}

void NewViewNameDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    const std::string& storage = panel_.Preferences().storageFolder;
    const std::string marker(panel_.Product().markerPage);
    // A blank name is the default view, which is overwritten as the dialog says; so is
    // the name the dialog opened with. Any other stored name is refused.
    const std::string name = TrimString(viewName_);
    if (autoGenerate_) {
        viewName_ = MakeViewName(storage, siteUrl_, "default", marker);
    } else if (!name.empty() && !EqualsNoCase(name, TrimString(openingName_)) &&
               ViewExists(storage, siteUrl_, name, marker)) {
        MessageBox(GetSafeHwnd(), FormatText("Viewname \"%s\" already taken.", viewName_.c_str()),
                   panel_.Product().title, MB_ICONINFORMATION);
        return;
    }
    EndDialog(IDOK);
    panel_.OnNewViewNameDialogOk(viewName_, autoGenerate_ != 0, dontBug_ != 0);
}

// --- Open View ---

OpenViewDialog::OpenViewDialog(CHtmlPanelView& panel) : CDialog(210), panel_(panel) {}

BOOL OpenViewDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CListBox list;
    list.SubclassWindow(GetDlgItem(209));
    rows_ = ListStoredViews(panel_.Preferences().storageFolder);
    for (const ViewListRow& row : rows_) {
        const int index = list.AddString(row.text);
        list.SetItemData(index, row.data);
    }
    list.Detach();
    return TRUE;
}

BOOL OpenViewDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == 209 && HIWORD(wParam) == LBN_DBLCLK) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void OpenViewDialog::OnOK() {
    CListBox list;
    list.SubclassWindow(GetDlgItem(209));
    const int row = list.GetCurSel();
    list.Detach();
    // Nothing chosen: the dialog stays as it is.
    if (row < 0)
        return;
    const ChosenView chosen = ChooseStoredView(rows_, row);
    EndDialog(IDOK);
    panel_.OnOpenViewDialogOk(chosen.siteName, chosen.viewName);
}

// --- Settings ---

SettingsDialog::SettingsDialog(CHtmlPanelView& panel)
    : CDialog(206), panel_(panel), storage_(panel.Preferences().storageFolder) {}

void SettingsDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, 210, storage_);
}

BOOL SettingsDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == 211 && HIWORD(wParam) == BN_CLICKED) {
        const HWND edit = GetDlgItem(210);
        const std::string chosen = BrowseForFolder(GetSafeHwnd(), ::GetWindowText(edit));
        if (!chosen.empty())
            ::SetWindowText(edit, chosen);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void SettingsDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
    panel_.OnSettingsDialogOk(storage_);
}
