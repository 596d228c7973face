#include "programs/sollet/OneClickFinderDialog.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "engine/util/ControlHelpers.h"
#include "engine/util/ShellHelpers.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/text/Text.h"
#include "platform/timing/Clock.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/window/Timer.h"
#include "platform/window/WindowStyles.h"
#include "programs/brisquel/LaunchSteps.h"
#include "programs/sollet/GalleryPage.h"
#include "programs/sollet/SolletIds.h"

namespace {

constexpr const char* kCaption = "Sollet";
constexpr const char* kAboutItem = "&About Sollet";
constexpr int kProgramIcon = 128;

// Adds text to array and key set unless its key (the text ignoring case) is there.
bool AddUnique(StringArray& array, TextSetIgnoringCase& keys, const std::string& text) {
    if (!keys.insert(text).second)
        return false;
    array.push_back(text);
    return true;
}

}  // namespace

OneClickFinderDialog::OneClickFinderDialog(std::string startUrl)
    : CDialog(IDD_ONECLICKFINDER_DIALOG),
      startUrl_(std::move(startUrl)),
      searchUrl_(kUrlHint),
      icon_(LoadIcon(GetResourceModule(), kProgramIcon)) {}

OneClickFinderDialog::~OneClickFinderDialog() {
    DestroyLoaders();
    viewers_.clear();
}

BOOL OneClickFinderDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING, IDM_ABOUTBOX, kAboutItem);
    }
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);
    SetDlgItemText(m_hWnd, IDC_URL, kUrlHint);
    SetDlgItemText(m_hWnd, IDC_LOADER_COUNT, "1");
    EnableButtons();
    if (!startUrl_.empty()) {
        SetDlgItemText(m_hWnd, IDC_URL, startUrl_);
        Go();
    } else {
        RunLaunchSteps();
    }
    WriteTitle();
    return TRUE;
}

BOOL OneClickFinderDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_GO:
            Go();
            return TRUE;
        case IDC_STOP:
            Stop();
            return TRUE;
        case IDC_SHOW:
            ShowGallery();
            return TRUE;
        case IDC_SAVE:
            ChooseSaveFile();
            return TRUE;
        case IDC_CLEAR:
            Clear();
            return TRUE;
        case IDC_SHOW_LOADERS:
            ShowLoaders();
            return TRUE;
        default:
            return FALSE;
    }
}

void OneClickFinderDialog::OnCancel() {
    if (Searching() && ::MessageBox(m_hWnd, "Do you wish to close Sollet?", kCaption,
                                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    EndDialog(IDCANCEL);
}

void OneClickFinderDialog::Go() {
    Clear();
    searchUrl_ = GetDlgItemText(m_hWnd, IDC_URL);
    startTime_ = ClockNow();
    pagesVisited_ = 0;
    if (timerId_ != 0)
        KillTimer(timerId_);
    timerId_ = SetTimer(kElapsedTimer, kElapsedTimerMs);
    EnableButtons();
    RebuildLoaders();
    if (PageLoaderDialog* loader = FirstIdleLoader())
        loader->Load(searchUrl_);
    WriteTitle();
    if (HWND stop = GetDlgItem(IDC_STOP); stop && ::IsWindowEnabled(stop))
        ::SetFocus(stop);
    Invalidate();
}

void OneClickFinderDialog::Stop() {
    EndSearch();
    ShowGallery();
    EnableButtons();
}

void OneClickFinderDialog::EndSearch() {
    if (timerId_ != 0)
        KillTimer(timerId_);
    timerId_ = 0;
    EnableButtons();
}

void OneClickFinderDialog::ShowGallery() {
    // Viewers closed since the last "show" are freed here; open ones stay.
    std::erase_if(viewers_, [](const std::unique_ptr<GalleryViewerDialog>& viewer) {
        return viewer->m_hWnd == nullptr;
    });
    const std::string page = WriteGalleryPage(foundImages_, ClockNow());
    auto viewer = std::make_unique<GalleryViewerDialog>();
    if (!viewer->CreateViewer(m_hWnd))
        return;
    viewer->Show(page, searchUrl_);
    viewers_.push_back(std::move(viewer));
}

void OneClickFinderDialog::ChooseSaveFile() {
    FileDialogRecord chooser;
    chooser.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    chooser.save = true;
    ShowFileDialog(chooser);  // the name chosen is not used
}

void OneClickFinderDialog::Clear() {
    if (HWND list = GetDlgItem(IDC_LIST))
        ListView_DeleteAllItems(list);
    pagesVisited_ = 0;
    SetDlgItemText(m_hWnd, IDC_IMAGES_FOUND, "0");
    SetDlgItemText(m_hWnd, IDC_PAGES_VISITED, "0");
    SetDlgItemText(m_hWnd, IDC_TIME_ELAPSED, "");
    seenLinks_.clear();
    queue_.clear();
    foundImages_.clear();
    seenKeys_.clear();
    foundKeys_.clear();
}

void OneClickFinderDialog::ShowLoaders() {
    for (const auto& loader : loaders_)
        loader->ShowWindow(SW_SHOW);
}

void OneClickFinderDialog::EnableButtons() {
    const BOOL searching = Searching() ? TRUE : FALSE;
    for (int id : {IDC_GO, IDC_CLEAR, IDC_SAVE}) {
        if (HWND button = GetDlgItem(id))
            ::EnableWindow(button, !searching);
    }
    if (HWND stop = GetDlgItem(IDC_STOP))
        ::EnableWindow(stop, searching);
    for (int id : {IDC_SHOW, IDC_SHOW_LOADERS}) {
        if (HWND button = GetDlgItem(id))
            ::EnableWindow(button, TRUE);
    }
}

void OneClickFinderDialog::WriteTitle() {
    SetWindowText(std::string("Sollet - ") + GetDlgItemText(m_hWnd, IDC_URL));
}

void OneClickFinderDialog::PostNcDestroy() {
    // The loader windows (children) and the viewers (owned) have ended with this
    // window; their objects go now, with their browser controls.
    timerId_ = 0;
    DestroyLoaders();
    viewers_.clear();
}

void OneClickFinderDialog::DestroyLoaders() {
    loaders_.clear();
}

void OneClickFinderDialog::RebuildLoaders() {
    DestroyLoaders();
    const std::string text = GetDlgItemText(m_hWnd, IDC_LOADER_COUNT);
    const int count = std::atoi(text.c_str());
    for (int i = 0; i < count; ++i) {
        auto loader = std::make_unique<PageLoaderDialog>();
        if (!loader->CreateLoader(m_hWnd))
            break;
        loaders_.push_back(std::move(loader));
    }
}

PageLoaderDialog* OneClickFinderDialog::CurrentLoader(std::uint64_t serial) const {
    for (const auto& loader : loaders_) {
        if (loader->Serial() == serial)
            return loader.get();
    }
    return nullptr;
}

PageLoaderDialog* OneClickFinderDialog::FirstIdleLoader() const {
    for (const auto& loader : loaders_) {
        if (loader->IsIdle())
            return loader.get();
    }
    return nullptr;
}

void OneClickFinderDialog::OnLinksFound(const StringArray* links, LPARAM serial) {
    if (links == nullptr || CurrentLoader(static_cast<std::uint64_t>(serial)) == nullptr)
        return;
    for (const std::string& link : *links) {
        if (!link.empty() && AddUnique(seenLinks_, seenKeys_, link))
            queue_.push_back(link);
    }
}

void OneClickFinderDialog::OnImagesFound(const StringArray* images, LPARAM serial) {
    if (images == nullptr || CurrentLoader(static_cast<std::uint64_t>(serial)) == nullptr)
        return;
    for (const std::string& image : *images) {
        if (!image.empty())
            AddUnique(foundImages_, foundKeys_, image);
    }
    SetDlgItemText(m_hWnd, IDC_IMAGES_FOUND, std::to_string(foundImages_.size()));
}

void OneClickFinderDialog::OnLoaderIdle(PageLoaderDialog* loader, LPARAM serial) {
    // Only a current loader counts: one of an earlier "go" is gone, and its address may
    // have been taken by a new one, so the serial number must match too.
    if (loader == nullptr || CurrentLoader(static_cast<std::uint64_t>(serial)) != loader)
        return;
    ++pagesVisited_;
    if (Searching()) {
        // Loads run one after another on this thread; a handed-out load may report
        // idle (posted) before the next is handed out, which the loop sees as idle
        // again only once that report is served.
        for (PageLoaderDialog* next = loader->IsIdle() ? loader : FirstIdleLoader();
             next != nullptr && !queue_.empty(); next = FirstIdleLoader()) {
            const std::string link = queue_.front();
            queue_.pop_front();
            next->Load(link);
        }
        const bool allIdle = std::all_of(loaders_.begin(), loaders_.end(),
                                         [](const auto& each) { return each->IsIdle(); });
        if (queue_.empty() && allIdle)
            EndSearch();
    }
    SetDlgItemText(m_hWnd, IDC_PAGES_VISITED, std::to_string(pagesVisited_));
}

void OneClickFinderDialog::OnElapsedTimer() {
    const std::int64_t elapsed = std::max<std::int64_t>(0, ClockNow() - startTime_);
    SetDlgItemText(m_hWnd, IDC_TIME_ELAPSED,
                   FormatText("%02lld:%02lld:%02lld", static_cast<long long>(elapsed / 3600),
                              static_cast<long long>(elapsed / 60 % 60),
                              static_cast<long long>(elapsed % 60)));
}

LRESULT OneClickFinderDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LINKS_FOUND:
            OnLinksFound(reinterpret_cast<const StringArray*>(wParam), lParam);
            return 0;
        case WM_IMAGES_FOUND:
            OnImagesFound(reinterpret_cast<const StringArray*>(wParam), lParam);
            return 0;
        case WM_LOADER_IDLE:
            OnLoaderIdle(reinterpret_cast<PageLoaderDialog*>(wParam), lParam);
            return 0;
        case WM_TIMER:
            if (wParam == kElapsedTimer) {
                OnElapsedTimer();
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                OpenUrlInBrowser(kMakerSite);
                return 0;
            }
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        case WM_PAINT:
            if (IsIconic(hwnd)) {
                PaintIconCentred(hwnd, icon_);
                return 0;
            }
            break;
        default:
            break;
    }
    return CDialog::WindowProc(hwnd, message, wParam, lParam);
}
