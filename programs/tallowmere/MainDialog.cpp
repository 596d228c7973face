#include "programs/tallowmere/MainDialog.h"

#include <algorithm>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/jobs/JobManager.h"
#include "engine/util/FileDialogHelpers.h"
#include "engine/util/FileHelpers.h"
#include "engine/util/ListControlHelpers.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/ShellHelpers.h"
#include "engine/workers/DownloadFileJob.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Clock.h"
#include "platform/timing/Timing.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowSurface.h"
#include "programs/tallowmere/CrawlSiteMP3sAdvJob.h"
#include "programs/tallowmere/TitleLine.h"

namespace {

constexpr int kColumnWidth = 300;
constexpr const char* kCaption = "Tallowmere";
constexpr int kProgramIcon = 128;  // a note on a round blue field

// The sort of the MP3 list: each row found by its record's id.
struct SortContext {
    const Mp3Rows* rows;
    int column;
    bool descending;
};

int CompareRows(LPARAM first, LPARAM second, LPARAM sortData) {
    const auto* context = reinterpret_cast<const SortContext*>(sortData);
    return context->rows->Compare(static_cast<int>(first), static_cast<int>(second),
                                  context->column, context->descending);
}

// Places a control at (x, y) keeping its size.
void MoveControl(HWND dialog, int id, int x, int y, int width, int height) {
    MoveWindow(GetDlgItem(dialog, id), x, y, width, height, TRUE);
}

// A control's rectangle in the dialog's client coordinates.
RECT ControlRect(const CWnd& dialog, int id) {
    RECT rect;
    ::GetWindowRect(dialog.GetDlgItem(id), &rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

}  // namespace

MainDialog::MainDialog() : CDialog(IDD_TALLOWMERE_DIALOG) {
    icon_ = LoadIcon(GetResourceModule(), kProgramIcon);
}

MainDialog::~MainDialog() {
    if (m_hWnd != nullptr)
        DestroyWindow();
    for (Job* job : TakeLeftJobs())
        DeleteJob(job);
}

std::vector<Job*> MainDialog::TakeLeftJobs() {
    return std::exchange(leftJobs_, {});
}

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (theJobManager != nullptr)
        theJobManager->StartThread();

    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenu(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(systemMenu, MF_STRING, IDM_ABOUTBOX, kAboutMenuText);
    }
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);

    HWND sites = Item(IDC_SITE_LIST);
    ListView_SetExtendedListViewStyle(sites, LVS_EX_FULLROWSELECT);
    AddListColumn(sites, "url", kColumnWidth);
    AutoSizeColumns(sites, true);
    HWND mp3s = Item(IDC_MP3_LIST);
    ListView_SetExtendedListViewStyle(mp3s, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    for (const char* heading : {"filename", "state", "url"})
        AddListColumn(mp3s, heading, kColumnWidth);
    AutoSizeColumns(mp3s, true);

    settings_.Load();
    WriteTitle();
    ListView_DeleteAllItems(sites);
    for (const std::string& site : settings_.sites)
        InsertListItem(sites, ListView_GetItemCount(sites), 0, site, -1, 0);
    SetDlgItemText(m_hWnd, IDC_STORAGE, settings_.storageFolder);

    if (timerId_ != 0)
        KillTimer(timerId_);
    timerId_ = SetTimer(kTitleTimerId, Timing().siteFinderTitleTimerMs);
    EnableButtons();
    StartBrowserPool(BrowserImagesAllowed, SiteMp3FinderBrowserThreads);
    PostMessage(WM_SIZE, 0, 0);
    return TRUE;
}

LRESULT MainDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MP3_FOUND:
            OnMp3Found(reinterpret_cast<const std::string*>(wParam), lParam);
            return 0;
        case WM_DOWNLOAD_DONE:
            OnDownloadDone(reinterpret_cast<const Job*>(wParam));
            return 0;
        case WM_JOB_FINISHED:
            OnJobFinished(reinterpret_cast<Job*>(wParam));
            return 0;
        case WM_TIMER:
            OnTimer();
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                AboutDialog(hwnd).DoModal();
                return 0;
            }
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        case WM_PAINT:
            if (IsIconic(hwnd)) {
                OnPaintMinimised();
                return 0;
            }
            break;
        case WM_SIZE: {
            const LRESULT result = CDialog::WindowProc(hwnd, message, wParam, lParam);
            OnSize();
            return result;
        }
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_NOTIFY:
            if (lParam != 0) {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->idFrom == IDC_MP3_LIST)
                    return OnNotify(header);
            }
            break;
        default:
            break;
    }
    return CDialog::WindowProc(hwnd, message, wParam, lParam);
}

BOOL MainDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_ADD_SITE:
            AddSite();
            return TRUE;
        case IDC_REMOVE_SITE:
            RemoveSelectedSite();
            return TRUE;
        case IDC_BROWSE:
            BrowseStorage();
            return TRUE;
        case IDC_FIND:
            Find(false);
            return TRUE;
        case IDC_FIND_AND_DOWNLOAD:
            Find(true);
            return TRUE;
        case IDC_STOP:
            StopAll();
            return TRUE;
        case IDC_DOWNLOAD_SELECTED:
            DownloadSelected();
            return TRUE;
        case IDC_REMOVE_MP3:
            RemoveSelectedMp3();
            return TRUE;
        case IDC_REMOVE_ALL:
            RemoveAllMp3s();
            return TRUE;
        case IDC_VIEW:
            ViewStorage();
            return TRUE;
        case IDC_SELECT_ALL:
            SelectAllMp3s();
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- Rows ------------------------------------------------------------------------------

int MainDialog::ListRowOf(int id) const {
    LVFINDINFO find;
    find.flags = LVFI_PARAM;
    find.lParam = id;
    return ListView_FindItem(Item(IDC_MP3_LIST), -1, &find);
}

int MainDialog::RowIdAt(int listRow) const {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = listRow;
    return ListView_GetItem(Item(IDC_MP3_LIST), &item) ? static_cast<int>(item.lParam) : 0;
}

void MainDialog::ShowRow(const Mp3Row& row, bool checked) {
    HWND list = Item(IDC_MP3_LIST);
    const int at = InsertListItem(list, ListView_GetItemCount(list), 0, row.fileName, -1, row.id);
    if (at < 0)
        return;
    InsertListItem(list, at, Mp3ColumnState, row.state, -1, 0);
    InsertListItem(list, at, Mp3ColumnUrl, row.url, -1, 0);
    if (checked)
        ListView_SetCheckState(list, at, true);
}

void MainDialog::ShowRowState(const Mp3Row& row) {
    const int at = ListRowOf(row.id);
    if (at >= 0)
        ListView_SetItemText(Item(IDC_MP3_LIST), at, Mp3ColumnState, row.state.c_str());
}

std::string MainDialog::StorageFolder() const {
    return GetDlgItemText(m_hWnd, IDC_STORAGE);
}

void MainDialog::TakeStorageFolder() {
    startTime_ = ClockNow();
    settings_.storageFolder = StorageFolder();
    settings_.settings.folder = settings_.storageFolder;
    if (!settings_.storageFolder.empty())
        CreateDirectoryIfMissing(settings_.storageFolder);
}

void MainDialog::OnMp3Found(const std::string* url, LPARAM reachable) {
    if (url == nullptr)
        return;
    if (rows_.FindByFileName(Mp3Rows::ListedName(*url)) != nullptr)
        return;  // the same file under another address is listed once
    const std::string storage = StorageFolder();
    const std::string stored = Mp3Rows::StoredName(*url);
    std::string_view state = reachable != 0 ? Mp3StateFound : Mp3StateCannotLocate;
    if (!stored.empty() && !storage.empty() && FileExists(JoinPath(storage, stored)))
        state = Mp3StateDownloaded;
    Mp3Row& row = rows_.Add(*url, state);
    ShowRow(row, downloadMode_);
    if (downloadMode_)
        StartDownload(row, false);
    AutoSizeColumns(Item(IDC_MP3_LIST), false);
}

Job* MainDialog::StartDownload(Mp3Row& row, bool inBatch) {
    auto* job = new DownloadFileJob;
    job->SetUrl(row.url);
    job->SetFolder(StorageFolder());
    job->SetNameTest(IsMp3Link);
    row.download = job;
    DownloadInfo& info = downloads_[job];
    info.rowId = row.id;
    info.inBatch = inBatch;
    StartJob(job);
    return job;
}

void MainDialog::OnDownloadDone(const Job* job) {
    const auto found = downloads_.find(job);
    if (found == downloads_.end())
        return;  // not a download of this dialog: the pointer is not looked into
    const auto* download = static_cast<const DownloadFileJob*>(job);
    const bool stored = !download->GetPath().empty() && FileExists(download->GetPath());
    if (stored)
        ++downloadedCount_;
    if (Mp3Row* row = RowOfDownload(job, found->second)) {
        row->download = nullptr;
        row->state = stored ? Mp3StateDownloaded : Mp3StateCannotLocate;
        ShowRowState(*row);
    }
    EndDownload(found->second);
}

Mp3Row* MainDialog::RowOfDownload(const Job* job, const DownloadInfo& info) {
    Mp3Row* row = rows_.Find(info.rowId);
    return row != nullptr && row->download == job ? row : nullptr;
}

void MainDialog::EndDownload(DownloadInfo& info) {
    if (info.reported)
        return;
    info.reported = true;
    if (!info.inBatch || pendingDownloads_ <= 0)
        return;
    if (--pendingDownloads_ == 0)
        MessageBox(m_hWnd, "Download Complete", kCaption, MB_OK | MB_ICONINFORMATION);
}

void MainDialog::OnJobFinished(Job* job) {
    if (job == nullptr)
        return;
    const auto at = std::find(jobs_.begin(), jobs_.end(), job);
    if (at == jobs_.end())
        return;  // not a job of this dialog, or told twice
    jobs_.erase(at);
    std::erase(crawls_, job);
    if (const auto download = downloads_.find(job); download != downloads_.end()) {
        // A download that ended without its report (cancelled, or its body failed).
        if (Mp3Row* row = RowOfDownload(job, download->second)) {
            row->download = nullptr;
            if (!job->IsCancelled()) {
                row->state = Mp3StateCannotLocate;
                ShowRowState(*row);
            }
        }
        EndDownload(download->second);
        downloads_.erase(download);
    }
    if (theJobManager != nullptr)
        theJobManager->RetireJob(job);
    else
        DeleteJob(job);
    if (jobs_.empty()) {
        downloadMode_ = false;
        downloading_ = false;
        finding_ = false;
    }
}

// ---- Buttons ---------------------------------------------------------------------------

void MainDialog::AddSite() {
    const std::string site = GetDlgItemText(m_hWnd, IDC_SITE_EDIT);
    if (site.empty())
        return;
    HWND sites = Item(IDC_SITE_LIST);
    InsertListItem(sites, ListView_GetItemCount(sites), 0, site, -1, 0);
}

void MainDialog::RemoveSelectedSite() {
    HWND sites = Item(IDC_SITE_LIST);
    const int row = GetSelectedListItem(sites);
    if (row >= 0)
        ListView_DeleteItem(sites, row);
}

void MainDialog::RemoveSelectedMp3() {
    HWND list = Item(IDC_MP3_LIST);
    const int row = GetSelectedListItem(list);
    if (row < 0)
        return;
    rows_.Remove(RowIdAt(row));
    ListView_DeleteItem(list, row);
}

void MainDialog::RemoveAllMp3s() {
    rows_.Clear();
    ListView_DeleteAllItems(Item(IDC_MP3_LIST));
}

void MainDialog::SelectAllMp3s() {
    HWND list = Item(IDC_MP3_LIST);
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        ListView_SetCheckState(list, row, true);
}

void MainDialog::BrowseStorage() {
    const std::string folder = BrowseForFolder(m_hWnd, StorageFolder());
    if (!folder.empty())
        SetDlgItemText(m_hWnd, IDC_STORAGE, folder);
}

void MainDialog::ViewStorage() {
    const std::string folder = StorageFolder();
    if (!folder.empty())
        ExploreFolder(folder);
}

void MainDialog::Find(bool downloadMode) {
    TakeStorageFolder();
    HWND sites = Item(IDC_SITE_LIST);
    settings_.sites.clear();
    for (int row = 0; row < ListView_GetItemCount(sites); ++row)
        settings_.sites.push_back(ListViewText(sites, row, 0));
    settings_.Save();
    downloadedCount_ = 0;
    if (settings_.sites.empty()) {
        EnableButtons();
        return;  // nothing to crawl: the dialog stays idle
    }
    // The mode holds before the first link can arrive.
    downloadMode_ = downloadMode;
    for (const std::string& site : settings_.sites) {
        auto* crawl = new CrawlSiteMP3sAdvJob;
        settings_.settings.siteUrl = site;
        crawl->MakeViewPages(settings_.settings, "");
        crawls_.push_back(crawl);
        StartJob(crawl);
    }
    finding_ = true;
    EnableButtons();
}

void MainDialog::StartJob(Job* job) {
    if (job == nullptr)
        return;
    job->ClearStop();
    jobs_.push_back(job);
    job->AddListenerWindow(m_hWnd);
    if (theJobManager != nullptr)
        theJobManager->AddJob(job);
}

void MainDialog::DownloadSelected() {
    TakeStorageFolder();
    downloading_ = true;
    downloadedCount_ = 0;
    if (pendingDownloads_ < 0)
        pendingDownloads_ = 0;
    HWND list = Item(IDC_MP3_LIST);
    for (int at = 0; at < ListView_GetItemCount(list); ++at) {
        if (ListView_GetCheckState(list, at) != TRUE)
            continue;
        Mp3Row* row = rows_.Find(RowIdAt(at));
        if (row == nullptr || row->download != nullptr || row->state == Mp3StateDownloaded)
            continue;
        ++pendingDownloads_;
        StartDownload(*row, true);
    }
    if (jobs_.empty())
        downloading_ = false;  // nothing to download: no job will end the run
    EnableButtons();
}

void MainDialog::StopAll() {
    finding_ = false;
    downloading_ = false;
    downloadMode_ = false;
    pendingDownloads_ = -1;
    // Late reports of these downloads count in no later batch.
    for (auto& [job, info] : downloads_)
        info.inBatch = false;
    for (Job* job : jobs_)
        job->Cancel();
}

void MainDialog::SortByColumn(int column) {
    sortColumn_ = column;
    SortContext context{&rows_, column, sortDescending_};
    ListView_SortItems(Item(IDC_MP3_LIST), CompareRows, reinterpret_cast<LPARAM>(&context));
    sortDescending_ = !sortDescending_;
}

LRESULT MainDialog::OnNotify(const NMHDR* header) {
    if (header->code == LVN_COLUMNCLICK) {
        SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        return 0;
    }
    return CDialog::WindowProc(m_hWnd, WM_NOTIFY, static_cast<WPARAM>(header->idFrom),
                               reinterpret_cast<LPARAM>(header));
}

// ---- Title, timer, layout, end ---------------------------------------------------------

void MainDialog::EnableButtons() {
    const bool busy = finding_ || downloading_;
    ::EnableWindow(Item(IDC_STOP), busy);
    for (int id : {IDC_REMOVE_SITE, IDC_FIND, IDC_ADD_SITE, IDC_FIND_AND_DOWNLOAD})
        ::EnableWindow(Item(id), !busy);
}

void MainDialog::WriteTitle() {
    int visited = 0;
    for (const CrawlSiteMP3sAdvJob* crawl : crawls_)
        visited += crawl->GetPagesVisitedCount();
    const bool busy = finding_ || downloading_;
    const std::int64_t elapsed = busy ? ClockNow() - startTime_ : 0;
    SetWindowText(TallowmereTitle(visited, static_cast<int>(rows_.Size()),
                                  downloading_ ? &downloadedCount_ : nullptr, elapsed));
}

void MainDialog::OnTimer() {
    if (!inTimer_) {
        Sleep(Timing().siteFinderTimerPauseMs);
        inTimer_ = true;
        if (finding_ || downloading_) {
            WriteTitle();
            if (theBrowserPool != nullptr)
                theBrowserPool->PingAll();
        }
        inTimer_ = false;
    }
    EnableButtons();
}

void MainDialog::OnSize() {
    if (Item(IDC_MP3_LIST) == nullptr)
        return;
    // From the client area as it is: the start-up's posted WM_SIZE carries no size.
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    const RECT sites = ControlRect(*this, IDC_SITE_LIST);
    const int sitesWidth = sites.right - sites.left;
    MoveControl(m_hWnd, IDC_SITE_LIST, sites.left, sites.top, sitesWidth, height - 115);
    const RECT mp3s = ControlRect(*this, IDC_MP3_LIST);
    MoveControl(m_hWnd, IDC_MP3_LIST, mp3s.left, mp3s.top, width - sitesWidth - 25, height - 115);
    const int lineTop = height - 30;
    MoveControl(m_hWnd, IDC_BOTTOM_LINE, 12, lineTop, width - 20, 2);

    // A row of buttons: the first keeps its x, each next one gap pixels right of the
    // one before.
    auto placeRow = [&](std::initializer_list<int> ids, int y, int firstGap, int gap) {
        int x = 0;
        bool first = true;
        int nextGap = firstGap;
        for (int id : ids) {
            const RECT rect = ControlRect(*this, id);
            const int w = rect.right - rect.left;
            const int h = rect.bottom - rect.top;
            if (first) {
                x = rect.left;
                first = false;
            } else {
                x += nextGap;
                nextGap = gap;
            }
            MoveControl(m_hWnd, id, x, y, w, h);
            x += w;
        }
    };
    placeRow({IDC_FIND, IDC_FIND_AND_DOWNLOAD, IDC_STOP, IDC_DOWNLOAD_SELECTED}, lineTop + 5, 5, 5);
    placeRow({IDC_REMOVE_SITE, IDC_REMOVE_ALL, IDC_REMOVE_MP3, IDC_SELECT_ALL}, lineTop + 2 - 30, 8,
             5);
    Invalidate();
}

void MainDialog::OnPaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(&client);
    DrawIcon(dc, (client.right - client.left - 32 + 1) / 2,
             (client.bottom - client.top - 32 + 1) / 2, icon_);
    EndPaint(m_hWnd, &paint);
}

void MainDialog::OnDestroy() {
    if (theBrowserPool != nullptr) {
        theBrowserPool->StopActive();
        theBrowserPool->ClosePool();
    }
    StopAll();
    if (theJobManager != nullptr)
        theJobManager->Stop();
    Sleep(Timing().siteFinderShutdownWaitMs);
    if (timerId_ != 0) {
        KillTimer(timerId_);
        timerId_ = 0;
    }
    // No WM_JOB_FINISHED reaches a window that has gone: the jobs are handed over.
    leftJobs_.insert(leftJobs_.end(), jobs_.begin(), jobs_.end());
    jobs_.clear();
    crawls_.clear();
    downloads_.clear();
}
