#include "programs/ambrevin/AdvancedFinderDialog.h"

#include "engine/util/ControlHelpers.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/ListControlHelpers.h"
#include "engine/util/StringUtilities.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabControl.h"
#include "platform/window/Timer.h"
#include "platform/window/WindowMessages.h"
#include "programs/ambrevin/FoundPage.h"

namespace {

constexpr LONG kNavigateForward = 1;
constexpr LONG kNavigateBack = 2;
constexpr int kLowestPageTimeout = 1;
constexpr int kHighestPageTimeout = 3600;

// The wait cursor for a scope; the cursor shown before comes back at its end.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace

AdvancedFinderDialog::AdvancedFinderDialog(std::string startPage)
    : CDialog(IDD_ADVANCEDFINDER_DIALOG), startPage_(std::move(startPage)) {}

AdvancedFinderDialog::~AdvancedFinderDialog() {
    browseControl_.DestroyWindow();
    foundControl_.DestroyWindow();
}

void AdvancedFinderDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SAVE_PAGE, savePage_);
    DDX_Control(dx, IDC_REFRESH, refresh_);
    DDX_Control(dx, IDC_FORWARD, forward_);
    DDX_Control(dx, IDC_BACK, back_);
    DDX_Control(dx, IDC_STAY_ON_SITE, stayOnSite_);
    DDX_Control(dx, IDC_CLEAR_LIST, clearList_);
    DDX_Control(dx, IDC_SAVE_LIST, saveList_);
    DDX_Control(dx, IDC_STOP, stop_);
    DDX_Control(dx, IDC_GO, go_);
    DDX_Control(dx, IDC_FOLLOW, follow_);
    DDX_Control(dx, IDC_EXTRACT, extract_);
    // A time-out outside 1 to 3,600 seconds is refused like a value that is no number.
    int timeout = pageTimeout_;
    DDX_Text(dx, IDC_PAGE_TIMEOUT, timeout);
    if (dx->Failed())
        return;
    if (dx->m_bSaveAndValidate && (timeout < kLowestPageTimeout || timeout > kHighestPageTimeout)) {
        dx->Fail(FormatText("Please enter an integer between %d and %d.", kLowestPageTimeout,
                            kHighestPageTimeout));
        return;
    }
    pageTimeout_ = timeout;
    DDX_Text(dx, IDC_MINIMUM_HEIGHT, minimumHeight_);
    if (dx->Failed())
        return;
    DDX_Text(dx, IDC_MINIMUM_WIDTH, minimumWidth_);
}

OwnerDrawButton* AdvancedFinderDialog::Button(int id) {
    switch (id) {
        case IDC_SAVE_PAGE:
            return &savePage_;
        case IDC_REFRESH:
            return &refresh_;
        case IDC_FORWARD:
            return &forward_;
        case IDC_BACK:
            return &back_;
        case IDC_CLEAR_LIST:
            return &clearList_;
        case IDC_SAVE_LIST:
            return &saveList_;
        case IDC_STOP:
            return &stop_;
        case IDC_GO:
            return &go_;
        case IDC_FOLLOW:
            return &follow_;
        case IDC_EXTRACT:
            return &extract_;
        default:
            return nullptr;
    }
}

BOOL AdvancedFinderDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING, IDM_ABOUTBOX, kAboutMenuText);
    }
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);
    // The browser controls are the dialog's own: made at their template places.
    RECT browse = DialogUnitsToPixels(RECT{97, 20, 97 + 105, 20 + 142});
    RECT found = DialogUnitsToPixels(RECT{97, 34, 97 + 105, 34 + 142});
    browseRect_ = browse;
    foundRect_ = found;
    browseControl_.Create(m_hWnd, IDC_BROWSER, this);
    foundControl_.Create(m_hWnd, IDC_FOUND_BROWSER, this);
    ShowBrowserControls();

    if (HWND list = GetDlgItem(IDC_FOUND_LIST)) {
        AddListColumn(list, "addresses", 300);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    }
    for (OwnerDrawButton* button : {&savePage_, &refresh_, &forward_, &back_, &clearList_,
                                    &saveList_, &stop_, &go_, &follow_, &extract_}) {
        button->OffsetColor(OwnerDrawButton::kBackgroundIn, 30, true);
    }
    UpdateTitle();
    if (HWND tabs = GetDlgItem(IDC_TABS)) {
        int at = 0;
        for (const char* name : {"browser", "found images"}) {
            std::string text = name;
            TCITEM item;
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            TabCtrl_InsertItem(tabs, at++, &item);
        }
    }
    EnableControls(true);
    scriptsOff_ =
        MessageBox(m_hWnd, kScriptsQuestion, "Ambrevin", MB_YESNO | MB_ICONQUESTION) == IDYES;
    foundShown_ = false;
    ShowBrowserControls();
    browseControl_.Navigate(startPage_);
    foundControl_.Navigate("about:blank");
    refresh_.ShowWindow(SW_HIDE);
    savePage_.ShowWindow(SW_HIDE);
    PostMessage(WM_SIZE, 0, 0);
    return TRUE;
}

LRESULT AdvancedFinderDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            crawl_.OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw != nullptr) {
                if (OwnerDrawButton* button = Button(static_cast<int>(draw->CtlID)))
                    return button->OnDrawItem(*draw);
            }
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        }
        case WM_CTLCOLORBTN: {
            // An owner-drawn button answers its own colour request.
            const HWND control = reinterpret_cast<HWND>(lParam);
            OwnerDrawButton* button =
                control != nullptr ? Button(::GetDlgCtrlID(control)) : nullptr;
            if (button != nullptr && button->GetSafeHwnd() == control)
                return ::SendMessage(control, kReflectedColorRequest, wParam, lParam);
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        }
        case WM_COMMAND:
            // The button sees its own click first (it takes the focus), then the dialog.
            if (HIWORD(wParam) == BN_CLICKED) {
                if (OwnerDrawButton* button = Button(LOWORD(wParam)))
                    button->OnClicked();
            }
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                AboutDialog(hwnd).DoModal();
                return 0;
            }
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        case WM_PAINT:
            if (IsIconic(hwnd)) {
                PaintIconCentred(hwnd, icon_);
                return 0;
            }
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != nullptr && header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
                ShowFoundTab(TabCtrl_GetCurSel(header->hwndFrom));
                return 0;
            }
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        }
        default:
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
    }
}

BOOL AdvancedFinderDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_EXTRACT:
            crawl_.StartExtract();
            return TRUE;
        case IDC_FOLLOW:
            crawl_.StartFollowMode();
            return TRUE;
        case IDC_STOP:
            crawl_.StopCrawl();
            return TRUE;
        case IDC_GO:
            Navigate();
            return TRUE;
        case IDC_SAVE_LIST:
            SaveList();
            return TRUE;
        case IDC_CLEAR_LIST:
            ClearList();
            return TRUE;
        case IDC_REFRESH:
            BuildFoundImagesPageText();
            return TRUE;
        case IDC_SAVE_PAGE:
            SaveFoundPage();
            return TRUE;
        case IDC_BACK:
            if (backEnabled_)
                browseControl_.GoBack();
            return TRUE;
        case IDC_FORWARD:
            if (forwardEnabled_)
                browseControl_.GoForward();
            return TRUE;
        default:
            return FALSE;
    }
}

void AdvancedFinderDialog::OnOK() {
    Navigate();
}

void AdvancedFinderDialog::Navigate() {
    const std::string address = TrimString(WindowTextOf(GetDlgItem(IDC_ADDRESS)));
    if (!address.empty())
        browseControl_.Navigate(address);
}

void AdvancedFinderDialog::Layout() {
    if (browseControl_.GetSafeHwnd() == nullptr || m_hWnd == nullptr)
        return;
    RECT client{};
    GetClientRect(&client);
    auto childRect = [&](int id, RECT* rect) {
        HWND child = GetDlgItem(id);
        if (child == nullptr)
            return false;
        ::GetWindowRect(child, rect);
        ScreenToClient(rect);
        return true;
    };
    RECT r{};
    if (childRect(IDC_TABS, &r)) {
        const int width = client.right - r.left;
        const int height = client.bottom - r.top;
        ::MoveWindow(GetDlgItem(IDC_TABS), r.left, r.top, width, height, TRUE);
        browseRect_.right = browseRect_.left + width - 10;
        browseRect_.bottom = browseRect_.top + height - 30;
        foundRect_.right = foundRect_.left + width - 10;
        foundRect_.bottom = foundRect_.top + height - 52;
        ShowBrowserControls();
    }
    if (childRect(IDC_FOUND_LIST, &r))
        ::MoveWindow(GetDlgItem(IDC_FOUND_LIST), r.left, r.top, r.right - r.left,
                     client.bottom - r.top, TRUE);
    if (childRect(IDC_ADDRESS, &r))
        ::MoveWindow(GetDlgItem(IDC_ADDRESS), r.left, r.top, client.right - r.left,
                     r.bottom - r.top, TRUE);
}

void AdvancedFinderDialog::ShowBrowserControls() {
    // The browse control shows on tab 0, the found-images control on tab 1.
    auto place = [](HWND control, const RECT& rect, bool shown) {
        if (control == nullptr)
            return;
        ::MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     TRUE);
        ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    };
    place(browseControl_.GetSafeHwnd(), browseRect_, !foundShown_);
    place(foundControl_.GetSafeHwnd(), foundRect_, foundShown_);
}

void AdvancedFinderDialog::ShowFoundTab(int tab) {
    foundShown_ = tab == 1;
    ShowBrowserControls();
    refresh_.ShowWindow(foundShown_ ? SW_SHOW : SW_HIDE);
    savePage_.ShowWindow(foundShown_ ? SW_SHOW : SW_HIDE);
    if (foundShown_ && crawl_.Running())
        BuildFoundImagesPageText();
}

std::string AdvancedFinderDialog::BuildFoundImagesPageText() {
    const WaitCursor waiting;
    foundPage_ = FoundPageText(crawl_.Found());
    WriteHtmlToDocument(foundControl_, foundPage_);
    return foundPage_;
}

void AdvancedFinderDialog::SaveFoundPage() {
    const std::string path = TheFileSaveChooser().Choose(kFoundPageFilter, "htm", "");
    if (path.empty())
        return;
    const std::string text = BuildFoundImagesPageText();
    if (!WriteTextFile(path, text))
        MessageBox(m_hWnd, kCouldNotSaveMessage, "Ambrevin", MB_OK | MB_ICONINFORMATION);
}

void AdvancedFinderDialog::SaveList() {
    const std::string path = TheFileSaveChooser().Choose(kListFileFilter, "txt", "");
    if (path.empty())
        return;
    // The list's rows are the found list, row for row.
    if (!AppendListFile(path, crawl_.Found()))
        MessageBox(m_hWnd, kCouldNotSaveMessage, "Ambrevin", MB_OK | MB_ICONINFORMATION);
}

void AdvancedFinderDialog::ClearList() {
    if (MessageBox(m_hWnd, kClearListQuestion, "Ambrevin", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (HWND list = GetDlgItem(IDC_FOUND_LIST))
        ListView_DeleteAllItems(list);
    crawl_.ClearLists();
}

void AdvancedFinderDialog::ShowAddress(const std::string& url) {
    if (HWND address = GetDlgItem(IDC_ADDRESS))
        ::SetWindowText(address, url);
}

void AdvancedFinderDialog::AddFoundRow(const std::string& url) {
    if (HWND list = GetDlgItem(IDC_FOUND_LIST))
        InsertListItem(list, ListView_GetItemCount(list), 0, url, -1, 0);
}

void AdvancedFinderDialog::UpdateTitle() {
    if (m_hWnd != nullptr)
        SetWindowText(crawl_.Title());
}

void AdvancedFinderDialog::EnableControls(bool enable) {
    for (int id : {IDC_STAY_ON_SITE, IDC_MINIMUM_WIDTH, IDC_MINIMUM_HEIGHT, IDC_PAGE_TIMEOUT,
                   IDC_CLEAR_LIST, IDC_SAVE_LIST, IDC_SAVE_PAGE, IDC_GO, IDC_FOLLOW, IDC_EXTRACT}) {
        if (HWND control = GetDlgItem(id))
            ::EnableWindow(control, enable ? TRUE : FALSE);
    }
}

void AdvancedFinderDialog::ReadCrawlSettings() {
    UpdateData(TRUE);
    crawl_.SetSettings(pageTimeout_, minimumWidth_, minimumHeight_);
}

bool AdvancedFinderDialog::StayOnSiteTicked() {
    return stayOnSite_.GetSafeHwnd() != nullptr && stayOnSite_.GetCheck() == BST_CHECKED;
}

void AdvancedFinderDialog::StartTimer(UINT_PTR id, UINT elapseMs) {
    SetTimer(id, elapseMs);
}

void AdvancedFinderDialog::StopTimer(UINT_PTR id) {
    KillTimer(id);
}

BOOL AdvancedFinderDialog::OnAmbientProperty(UINT, DISPID dispid, VARIANT* result) {
    if (dispid != DISPID_AMBIENT_DLCONTROL)
        return FALSE;
    result->vt = VT_I4;
    result->intVal = scriptsOff_ ? kScriptsOffDownloadControl : kScriptsOnDownloadControl;
    return TRUE;
}

void AdvancedFinderDialog::OnDocumentComplete(UINT controlId, const std::string& url) {
    if (controlId == IDC_BROWSER)
        crawl_.OnDocumentComplete(url);
}

void AdvancedFinderDialog::OnCommandStateChange(UINT controlId, LONG command, BOOL enable) {
    if (controlId != IDC_BROWSER)
        return;
    if (command == kNavigateBack) {
        backEnabled_ = enable != FALSE;
        back_.EnableWindow(enable);
    } else if (command == kNavigateForward) {
        forwardEnabled_ = enable != FALSE;
        forward_.EnableWindow(enable);
    }
}
