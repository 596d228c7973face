// The inside of BrowserHost, shared by its two sources. GTK types are declared only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/BandInterfaces.h"
#include "platform/host/BrowserHost.h"
#include "platform/window/Window.h"

typedef struct _GtkWidget GtkWidget;

// A band hosted in the pane or the toolbar row.
struct HostedBand {
    CLSID clsid{};
    ComPointer<IDeskBand> band;
    ComPointer<IObjectWithSite> withSite;
    HWND window = nullptr;
    int size = 0;    // the pane's width, or the row's height, the band asked for
    int length = 0;  // a toolbar band's width along the row (0: the rest of the row)
};

// Creates the band of clsid with its site on parent and the hosting browser, asks its
// information (size: the larger of its minimum and actual extent across, vertical or
// not; length, for a toolbar band: the larger of its minimum and actual width) and
// shows it. False, with nothing left over, when it cannot be hosted.
bool HostBand(REFCLSID clsid, HWND parent, IWebBrowser2* browser, DWORD bandId, bool vertical,
              HostedBand* hosted);
// ShowDW(FALSE), CloseDW, SetSite(NULL) and the release; harmless on an empty one.
void EndBand(HostedBand* hosted);

struct BrowserHost::Impl final : WindowHandler {
    class View;
    // A window that only holds a band (the pane, the toolbar row).
    struct Holder final : WindowHandler {
        LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
            return DefWindowProc(hwnd, message, wParam, lParam);
        }
    };

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Layout();
    // Ends every band (before the frame's windows go).
    void EndBands();
    void ShowAddress(const std::string& url);
    void EnableHistoryButton(LONG command, BOOL enable);
    void FillBandMenu();

    HWND frame = nullptr;
    HWND pane = nullptr;
    HWND toolbarRow = nullptr;
    Holder paneHolder;
    Holder rowHolder;
    std::unique_ptr<View> view;
    HostedBand paneBand;
    std::vector<HostedBand> toolbarBands;
    bool quitOnClose = false;
    // The chrome: GTK widgets above the model's windows.
    GtkWidget* chrome = nullptr;
    GtkWidget* address = nullptr;
    GtkWidget* back = nullptr;
    GtkWidget* forward = nullptr;
    GtkWidget* bandMenu = nullptr;
    BrowserHost* owner = nullptr;
};
