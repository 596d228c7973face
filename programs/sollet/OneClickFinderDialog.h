// Sollet's main dialog: the site's address, "go", "stop" and "show", and the counts of
// a search. A search hands the start page to a page loader, queues every new page link
// the loaders report, hands queued links to idle loaders, collects the images, and ends
// when the queue is empty and every loader is idle (or on "stop", which also shows the
// images found).
//
// Threading: every handler runs on the dialog's thread; the loaders are child dialogs of
// the same thread and talk to it only through posted messages.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/util/CaseFoldedHash.h"
#include "platform/text/Text.h"
#include "platform/ui/Dialog.h"
#include "programs/sollet/GalleryViewerDialog.h"
#include "programs/sollet/PageLoaderDialog.h"

// The maker's web site, opened by the system menu's About item.
inline constexpr const char* kMakerSite = "https://www.morvelle.example/";

class OneClickFinderDialog : public CDialog {
public:
    // startUrl: the address from the command line; "" for none (the launcher steps
    // then run when the dialog starts).
    explicit OneClickFinderDialog(std::string startUrl);
    ~OneClickFinderDialog() override;

    // A search runs while the elapsed-time timer does.
    bool Searching() const { return timerId_ != 0; }
    std::uint32_t PagesVisited() const { return pagesVisited_; }
    const StringArray& FoundImages() const { return foundImages_; }
    const StringArray& SeenLinks() const { return seenLinks_; }
    const std::deque<std::string>& Queue() const { return queue_; }
    const std::vector<std::unique_ptr<PageLoaderDialog>>& Loaders() const { return loaders_; }
    const std::vector<std::unique_ptr<GalleryViewerDialog>>& Viewers() const { return viewers_; }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter does nothing.
    void OnOK() override {}
    // Esc and the close box: while searching, asks "Do you wish to close Sollet?".
    void OnCancel() override;
    void PostNcDestroy() override;

private:
    void Go();
    void Stop();
    void ShowGallery();
    void ChooseSaveFile();
    void Clear();
    void ShowLoaders();
    void EnableButtons();
    void WriteTitle();
    void RebuildLoaders();
    void DestroyLoaders();
    void EndSearch();

    void OnLinksFound(const StringArray* links, LPARAM serial);
    void OnImagesFound(const StringArray* images, LPARAM serial);
    void OnLoaderIdle(PageLoaderDialog* loader, LPARAM serial);
    void OnElapsedTimer();

    // The current loader with that serial number; null for a loader of an earlier "go"
    // (or none at all).
    PageLoaderDialog* CurrentLoader(std::uint64_t serial) const;
    // The first idle loader in creation order; null when all are busy.
    PageLoaderDialog* FirstIdleLoader() const;

    std::string startUrl_;
    std::string searchUrl_;  // the address edit's text at the last "go"
    HICON icon_ = nullptr;   // shared: the module's icon 128
    std::uint32_t pagesVisited_ = 0;
    StringArray foundImages_;
    StringArray seenLinks_;
    // The found images and seen links again, hashed, for the tests ignoring case.
    TextSetIgnoringCase foundKeys_;
    TextSetIgnoringCase seenKeys_;
    std::deque<std::string> queue_;
    std::int64_t startTime_ = 0;
    UINT_PTR timerId_ = 0;
    // Their windows end with the dialog's; the objects go in PostNcDestroy.
    std::vector<std::unique_ptr<PageLoaderDialog>> loaders_;
    std::vector<std::unique_ptr<GalleryViewerDialog>> viewers_;
};
