#include "programs/brisquel/BrisquelDialog.h"

#include <utility>

#include "engine/util/ControlHelpers.h"
#include "platform/ui/Menus.h"
#include "programs/brisquel/LaunchSteps.h"

BrisquelDialog::BrisquelDialog(std::function<void(int)> endProcess)
    : CDialog(IDD_BRISQUEL_DIALOG),
      endProcess_(std::move(endProcess)),
      icon_(LoadIcon(GetResourceModule(), kProgramIcon)) {}

BOOL BrisquelDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING, IDM_BRISQUEL_ABOUT, "&About Brisquel...");
    }
    RunLaunchSteps();
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);
    if (endProcess_)
        endProcess_(0);
    return TRUE;
}

LRESULT BrisquelDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == IDM_BRISQUEL_ABOUT) {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    if (message == WM_QUERYDRAGICON)
        return reinterpret_cast<LRESULT>(icon_);
    if (message == WM_PAINT && IsIconic(hwnd)) {
        PaintIconCentred(hwnd, icon_);
        return 0;
    }
    return CDialog::WindowProc(hwnd, message, wParam, lParam);
}
