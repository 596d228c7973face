// The web browser that hosts the bands (morvelle-browser): a frame window with an
// address bar, back, forward, reload and stop; the hosting browser view (a browser
// control behind IWebBrowser2 and DWebBrowserEvents2); a band pane beside the page whose
// menu lists the vertical bands registered in the registry store; and a row of the
// toolbar bands registered under the browser's toolbar key.
//
// Threading: the main thread, with the screen started (StartScreen). GTK's headers stay
// in BrowserHost.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/com/Guid.h"

struct IWebBrowser2;

// A band class of the registry store.
struct RegisteredBand {
    CLSID clsid{};
    std::string title;  // the CLSID key's default value ("" when it has none)
};

// The classes registered as implementing the vertical-band category (CATID_InfoBand),
// in the store's order.
std::vector<RegisteredBand> RegisteredVerticalBands();
// The classes named by the values of the browser's toolbar key.
std::vector<RegisteredBand> RegisteredToolbarBands();

class BrowserHost {
public:
    BrowserHost();
    ~BrowserHost();
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;

    // Makes and shows the frame, hosts the toolbar bands and loads url ("" for a blank
    // page). FALSE when the frame or its view cannot be made.
    BOOL Create(const std::string& url);
    // Ends the bands and destroys the frame (also done by closing the window).
    void Destroy();
    // Closing the frame ends the thread's message loop (the program's).
    void SetQuitOnClose(bool quit);

    // Opens the band named by its title or CLSID (its registry form) in the pane,
    // closing the one open there; FALSE when no registered vertical band has that name
    // or it cannot be made.
    BOOL OpenBand(const std::string& name);
    BOOL OpenBand(REFCLSID clsid);
    // Closes the pane's band: ShowDW(FALSE), CloseDW, SetSite(NULL), Release.
    void CloseBand();

    HWND Frame() const;
    HWND View() const;        // the hosting browser control's window
    HWND BandPane() const;    // the band pane's window (the band's parent)
    HWND BandWindow() const;  // the open band's window, null when none
    // The hosting browser (no added reference).
    IWebBrowser2* Browser() const;
    // The pane's width and the toolbar row's height as the bands' information gave them.
    int PaneWidth() const;
    int ToolbarHeight() const;
    // What the address bar shows.
    std::string AddressText() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The address bar's form of an address: a res: address shows its module's path with "/"
// ("res:///opt/band/libQuillet.so/216"; the control's form has the system path,
// "res://\opt\band\libQuillet.so/216"); other addresses show as they are.
std::string AddressForDisplay(const std::string& url);
// The way back for an address typed or left in the bar: a res: address whose module
// part, written with "/", is the path of a loaded module gets the system path's form;
// anything else is taken as it is.
std::string AddressFromDisplay(const std::string& text);

// morvelle-browser's command line: [URL] [--band NAME]. FALSE (with a reason) for a
// wrong one.
struct BrowserCommandLine {
    std::string url;
    std::string band;
};
bool ParseBrowserCommandLine(int argc, char** argv, BrowserCommandLine* line, std::string* error);
