// Brisquel's dialog: it runs the launcher steps while it starts and then ends the
// process, so it is never seen. Its About box answers the system menu's About item.
#pragma once

#include <functional>

#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Dialog.h"

constexpr int IDD_BRISQUEL_DIALOG = 102;
constexpr int IDD_ABOUTBOX = 100;
constexpr UINT IDM_BRISQUEL_ABOUT = 0x10;
constexpr int kProgramIcon = 128;  // a globe and the arrow that opens it

// The About box: icon, "Nettlecomb Version 1.0", the maker's line and OK.
class AboutDialog : public CDialog {
public:
    AboutDialog() : CDialog(IDD_ABOUTBOX) {}
};

class BrisquelDialog : public CDialog {
public:
    // endProcess ends the process with the code given; the program's is the C library's
    // immediate exit (no clean-up runs), a test's records the code instead.
    explicit BrisquelDialog(std::function<void(int)> endProcess);

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The launcher steps, then the end of the process with code 0.
    BOOL OnInitDialog() override;

private:
    std::function<void(int)> endProcess_;
    HICON icon_ = nullptr;  // shared: the module's icon 128
};
