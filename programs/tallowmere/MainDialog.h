// Tallowmere's one window: the site list, the storage folder, the buttons and the MP3
// list of every link the crawls found, with its state. Find MP3s Only crawls every listed
// site; Find && Download MP3s also downloads each link as it is found; Download Selected
// downloads the checked rows afterwards. The title line counts visited pages, rows,
// downloads and the elapsed time while busy.
//
// Threads: the dialog and all its state live on the thread that runs it. Jobs run on
// their own threads and reach it only through posted messages: WM_MP3_FOUND (0x700),
// WM_DOWNLOAD_DONE (0x701) and WM_JOB_FINISHED (0x4900). Every job the dialog starts
// stays in its job array until its WM_JOB_FINISHED has been handled; what is left when
// the window goes is handed over by TakeLeftJobs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Dialog.h"
#include "programs/tallowmere/Mp3Rows.h"
#include "programs/tallowmere/TallowmereSettings.h"

class Job;
class CrawlSiteMP3sAdvJob;

// Resources and ids of the dialog.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TALLOWMERE_DIALOG = 102;
constexpr int IDC_MP3_LIST = 1000;
constexpr int IDC_STORAGE = 1001;
constexpr int IDC_BROWSE = 1002;
constexpr int IDC_FIND = 1003;
constexpr int IDC_FIND_AND_DOWNLOAD = 1004;
constexpr int IDC_DOWNLOAD_SELECTED = 1005;
constexpr int IDC_SITE_LIST = 1006;
constexpr int IDC_SITE_EDIT = 1007;
constexpr int IDC_ADD_SITE = 1008;
constexpr int IDC_STOP = 1010;
constexpr int IDC_REMOVE_SITE = 1011;
constexpr int IDC_REMOVE_MP3 = 1012;
constexpr int IDC_REMOVE_ALL = 1013;
constexpr int IDC_VIEW = 1014;
constexpr int IDC_SELECT_ALL = 1015;
constexpr int IDC_BOTTOM_LINE = 1016;
// The About item of the system menu.
constexpr UINT IDM_ABOUTBOX = 0x10;
inline constexpr const char* kAboutMenuText = "&About Tallowmere...";
// The title timer.
constexpr UINT_PTR kTitleTimerId = 1234;

class AboutDialog : public CDialog {
public:
    explicit AboutDialog(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}
};

class MainDialog : public CDialog {
public:
    MainDialog();
    ~MainDialog() override;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The jobs still in the job array when the window went (cancelled by then). The
    // caller waits for their threads and deletes them. Once.
    std::vector<Job*> TakeLeftJobs();

    // What the dialog holds, for its tests and its presentation.
    const TallowmereSettings& GetSettings() const { return settings_; }
    const Mp3Rows& GetRows() const { return rows_; }
    bool IsFinding() const { return finding_; }
    bool IsDownloading() const { return downloading_; }
    bool InDownloadMode() const { return downloadMode_; }
    int GetPendingDownloads() const { return pendingDownloads_; }
    int GetDownloadedCount() const { return downloadedCount_; }
    size_t CountJobs() const { return jobs_.size(); }
    HICON GetProgramIcon() const { return icon_; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    struct DownloadInfo {
        int rowId = 0;         // the row it downloads
        bool inBatch = false;  // counted in the pending downloads of Download Selected
        bool reported = false;
    };

    // The row that info's download job downloads, null when it has gone.
    Mp3Row* RowOfDownload(const Job* job, const DownloadInfo& info);

    void OnMp3Found(const std::string* url, LPARAM reachable);
    void OnDownloadDone(const Job* job);
    void OnJobFinished(Job* job);
    void OnTimer();
    void OnSize();
    void OnDestroy();
    LRESULT OnNotify(const NMHDR* header);
    void OnPaintMinimised();

    void AddSite();
    void RemoveSelectedSite();
    void RemoveSelectedMp3();
    void RemoveAllMp3s();
    void SelectAllMp3s();
    void BrowseStorage();
    void ViewStorage();
    void Find(bool downloadMode);
    void DownloadSelected();
    void StopAll();
    void SortByColumn(int column);

    void StartJob(Job* job);
    Job* StartDownload(Mp3Row& row, bool inBatch);
    // A download has ended, reported or not: the pending count of its batch falls.
    void EndDownload(DownloadInfo& info);
    void EnableButtons();
    void WriteTitle();
    std::string StorageFolder() const;
    void TakeStorageFolder();
    void ShowRow(const Mp3Row& row, bool checked);
    void ShowRowState(const Mp3Row& row);
    int ListRowOf(int id) const;
    int RowIdAt(int listRow) const;
    HWND Item(int id) const { return GetDlgItem(id); }

    TallowmereSettings settings_;
    Mp3Rows rows_;
    std::int64_t startTime_ = 0;
    int downloadedCount_ = 0;
    int pendingDownloads_ = 0;  // -1 after Stop
    int sortColumn_ = 0;
    bool sortDescending_ = false;
    std::vector<Job*> jobs_;  // not owned; each until its WM_JOB_FINISHED
    std::vector<CrawlSiteMP3sAdvJob*> crawls_;
    std::map<const Job*, DownloadInfo> downloads_;
    std::vector<Job*> leftJobs_;
    bool finding_ = false;
    bool downloading_ = false;
    bool downloadMode_ = false;
    bool inTimer_ = false;
    UINT_PTR timerId_ = 0;
    HICON icon_ = nullptr;  // shared: the module's icon 128
};
