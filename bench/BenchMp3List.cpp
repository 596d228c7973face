// Tallowmere's MP3 list at several sizes: the steps its main dialog takes on the list's
// thread for every MP3 link a crawl reports (the file name looked up among the rows, the
// record added, the row shown with its three texts and its check mark, the columns sized
// to their contents), then for every download that ends (the record found by its id, the
// list row by its item data, the state text changed, the columns sized again). Prints,
// for each number of links, the wall and CPU time of each half and per link, so that a
// list that costs more per link as it grows shows at once.
//
//   morvelle-bench-mp3-list [--links N[,N...]]     (default 1000,10000,100000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "engine/util/ListControlHelpers.h"
#include "platform/ui/CommonControls.h"
#include "platform/window/Window.h"
#include "programs/tallowmere/Mp3Rows.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// A plain top-level window that holds the list, as the dialog does.
class ListParent : public WindowHandler {
public:
    ListParent() {
        hwnd_ = CreateWindowForHandler(this, 0, "BenchMp3List", "", WS_POPUP, 0, 0, 800, 600,
                                       nullptr, nullptr);
    }
    ~ListParent() override {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    HWND Hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

int ListRowOf(HWND list, int id) {
    LVFINDINFO find;
    find.flags = LVFI_PARAM;
    find.lParam = id;
    return ListView_FindItem(list, -1, &find);
}

void RunOne(int links) {
    ListParent parent;
    HWND list = CreateWindowEx(0, "SysListView32", "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                               780, 580, parent.Hwnd(), ControlIdMenu(1000));
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    for (const char* heading : {"filename", "state", "url"})
        AddListColumn(list, heading, 100);
    AutoSizeColumns(list, true);
    Mp3Rows rows;

    const Clock::time_point began = Clock::now();
    const double cpuBegan = CpuSeconds();
    std::vector<int> ids;
    ids.reserve(static_cast<size_t>(links));
    for (int i = 0; i < links; ++i) {
        const std::string url = "http://127.0.0.1:8080/music/" + std::to_string(i) + "/song " +
                                std::to_string(i) + ".mp3";
        if (rows.FindByFileName(Mp3Rows::ListedName(url)) != nullptr)
            continue;
        (void)Mp3Rows::StoredName(url);
        Mp3Row& row = rows.Add(url, Mp3StateFound);
        ids.push_back(row.id);
        const int at =
            InsertListItem(list, ListView_GetItemCount(list), 0, row.fileName, -1, row.id);
        InsertListItem(list, at, Mp3ColumnState, row.state, -1, 0);
        InsertListItem(list, at, Mp3ColumnUrl, row.url, -1, 0);
        ListView_SetCheckState(list, at, true);
        AutoSizeColumns(list, false);
    }
    const Clock::duration listed = Clock::now() - began;
    const double listedCpu = CpuSeconds() - cpuBegan;

    const Clock::time_point doneBegan = Clock::now();
    const double doneCpuBegan = CpuSeconds();
    for (const int id : ids) {
        Mp3Row* row = rows.Find(id);
        if (row == nullptr)
            continue;
        row->state = Mp3StateDownloaded;
        const int at = ListRowOf(list, id);
        if (at >= 0)
            ListView_SetItemText(list, at, Mp3ColumnState, row->state.c_str());
        AutoSizeColumns(list, false);
    }
    const Clock::duration done = Clock::now() - doneBegan;
    const double doneCpu = CpuSeconds() - doneCpuBegan;

    std::printf(
        "%7d links: listed in %8.2f s wall, %8.2f s CPU (%6.1f us a link); downloads "
        "shown in %8.2f s wall, %8.2f s CPU (%6.1f us a link); %d rows\n",
        links, Seconds(listed), listedCpu, Seconds(listed) * 1e6 / links, Seconds(done), doneCpu,
        Seconds(done) * 1e6 / links, ListView_GetItemCount(list));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes{1000, 10000, 100000};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--links" && i + 1 < argc) {
            sizes.clear();
            std::string list = argv[++i];
            size_t from = 0;
            while (from <= list.size()) {
                const size_t comma = list.find(',', from);
                const std::string item = list.substr(from, comma - from);
                const int n = std::atoi(item.c_str());
                if (n <= 0) {
                    std::fprintf(stderr, "usage: morvelle-bench-mp3-list [--links N[,N...]]\n");
                    return 2;
                }
                sizes.push_back(n);
                if (comma == std::string::npos)
                    break;
                from = comma + 1;
            }
        } else {
            std::fprintf(stderr, "usage: morvelle-bench-mp3-list [--links N[,N...]]\n");
            return 2;
        }
    }
    for (const int links : sizes)
        RunOne(links);
    return 0;
}
