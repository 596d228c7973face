#include "programs/sollet/GalleryViewerDialog.h"

#include "platform/file/FileLayer.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/MessageBox.h"
#include "platform/window/WindowStyles.h"
#include "programs/sollet/SolletIds.h"

namespace {

constexpr const char* kCaption = "Sollet";

// The chosen name with ".html" added when its file name (the part after the last
// folder separator) holds no ".".
std::string WithHtmlExtension(const std::string& name) {
    const size_t separator = name.find_last_of("\\/");
    const size_t start = separator == std::string::npos ? 0 : separator + 1;
    if (name.find('.', start) != std::string::npos)
        return name;
    return name + ".html";
}

}  // namespace

GalleryViewerDialog::GalleryViewerDialog() : CDialog(IDD_GALLERY_VIEWER) {}

GalleryViewerDialog::~GalleryViewerDialog() {
    browser_.DestroyWindow();
    DestroyWindow();
}

bool GalleryViewerDialog::CreateViewer(HWND parent) {
    if (!Create(IDD_GALLERY_VIEWER, parent))
        return false;
    ShowWindow(SW_SHOW);
    return true;
}

BOOL GalleryViewerDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    browser_.Create(m_hWnd, IDC_BROWSER, this);
    LayOutBrowser();
    return TRUE;
}

void GalleryViewerDialog::Show(const std::string& pagePath, const std::string& siteUrl) {
    pagePath_ = pagePath;
    if (!siteUrl.empty() && siteUrl.front() == '-')
        pagePath_.clear();
    browser_.Navigate(pagePath);
    saved_ = false;
    SetWindowText(siteUrl);
}

void GalleryViewerDialog::Save() {
    if (pagePath_.empty()) {
        ::MessageBox(m_hWnd, "Nothing to save.", kCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    FileDialogRecord chooser;
    chooser.filter = "HTML (*.html)|*.html|All Files (*.*)|*.*||";
    chooser.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    chooser.save = true;
    const std::string chosen = ShowFileDialog(chooser);
    if (chosen.empty())
        return;
    const std::string target = WithHtmlExtension(chosen);
    std::string page;
    if (ReadFileBytes(pagePath_, &page) && WriteFileBytes(target, page)) {
        saved_ = true;
        return;
    }
    ::MessageBox(m_hWnd, "The images could not be saved to " + target + ".", kCaption,
                 MB_OK | MB_ICONEXCLAMATION);
}

void GalleryViewerDialog::Close() {
    if (!saved_ && !pagePath_.empty() &&
        ::MessageBox(m_hWnd, "Would you like to save these images?", kCaption,
                     MB_YESNO | MB_ICONQUESTION) == IDYES) {
        Save();
    }
    DestroyWindow();
}

BOOL GalleryViewerDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == IDC_SAVE_GALLERY && HIWORD(wParam) == BN_CLICKED) {
        Save();
        return TRUE;
    }
    return FALSE;
}

void GalleryViewerDialog::LayOutBrowser() {
    const HWND control = browser_.GetSafeHwnd();
    const HWND save = GetDlgItem(IDC_SAVE_GALLERY);
    if (control == nullptr)
        return;
    RECT client{};
    GetClientRect(&client);
    RECT button{};
    if (save)
        ::GetWindowRect(save, &button);
    RECT place{};
    ::GetWindowRect(control, &place);
    ScreenToClient(&place);
    const int buttonHeight = button.bottom - button.top;
    const int height = (client.bottom - client.top) - buttonHeight - 1;
    ::MoveWindow(control, place.left, place.top, client.right - client.left, height, TRUE);
    // "save..." stays under the browser, at the bottom, whatever the window's size.
    if (save)
        ::MoveWindow(save, 0, client.bottom - buttonHeight, button.right - button.left,
                     buttonHeight, TRUE);
}

LRESULT GalleryViewerDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialog::WindowProc(hwnd, message, wParam, lParam);
    if (message == WM_SIZE)
        LayOutBrowser();
    return result;
}
