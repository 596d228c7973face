#include "programs/brisquel/BrisquelDialog.h"

#include <utility>

#include "programs/brisquel/LaunchSteps.h"

BrisquelDialog::BrisquelDialog(std::function<void(int)> endProcess)
    : CDialog(IDD_BRISQUEL_DIALOG), endProcess_(std::move(endProcess)) {}

BOOL BrisquelDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    RunLaunchSteps();
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
    return CDialog::WindowProc(hwnd, message, wParam, lParam);
}
