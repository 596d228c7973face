// The panel's three modeless dialogs: New View Name (201), Open View (210) and the
// settings dialog (206). Each is made fresh every time the panel shows it, placed on
// top, and reports its OK to the panel; Cancel only hides it.
#pragma once

#include <string>
#include <vector>

#include "band/ViewNames.h"
#include "platform/ui/Dialog.h"

class CHtmlPanelView;

class NewViewNameDialog final : public CDialog {
public:
    NewViewNameDialog(CHtmlPanelView& panel, std::string siteUrl);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    CHtmlPanelView& panel_;
    std::string siteUrl_;
    std::string viewName_;
    std::string openingName_;
    int autoGenerate_ = 0;
    int dontBug_ = 0;
};

class OpenViewDialog final : public CDialog {
public:
    explicit OpenViewDialog(CHtmlPanelView& panel);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CHtmlPanelView& panel_;
    std::vector<ViewListRow> rows_;
};

class SettingsDialog final : public CDialog {
public:
    explicit SettingsDialog(CHtmlPanelView& panel);

protected:
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    CHtmlPanelView& panel_;
    std::string storage_;
};

// Makes dialog (modeless, owned by the panel's window) from this module's templates and
// puts it on top, shown. False when it cannot be made.
bool ShowPanelDialog(CDialog& dialog, int templateId, HWND owner);
