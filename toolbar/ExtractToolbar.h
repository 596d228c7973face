// The band's toolbar: one button, "Extract" (command 500), which starts Sollet on the
// page the browser shows.
//
// Threading: the band's window thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/shell/Shell.h"
#include "platform/ui/ImageList.h"
#include "platform/window/Window.h"

// The window class of the toolbar: a superclass of the platform's toolbar
// ("ToolbarWindow32"), which handles every message this one leaves alone.
inline constexpr const char* kToolbarClassName = "WrenlowToolbar";
// The Extract button's command.
constexpr UINT ID_EXTRACT = 500;

// The start of Sollet for a page: the program "sollet" in moduleFolder (a Linux path, the
// band module's own folder) with the arguments "-httpvrl" and the page address as one
// argument, unchanged ("%20" and blanks kept); the address is left out when empty, so
// Sollet then starts as without one.
ProgramStartRecord ExtractCommandLine(const std::string& moduleFolder, const std::string& pageUrl);

// The address of the page the browser shows: its document's URL; "" without a browser or
// an HTML document.
std::string PageUrlOfBrowser(IWebBrowser2* browser);

class ExtractToolbar : public WindowHandler {
public:
    ExtractToolbar() = default;
    ~ExtractToolbar() override;

    // Makes the toolbar window as a child of parent over rect's place, with the Extract
    // button (its text, its 16 x 16 image in the toolbar's image list, command 500).
    HWND Create(HWND parent, const RECT& rect);
    HWND Hwnd() const { return hwnd_; }

    // Holds browser (an added reference; null drops the one held).
    void SetBrowser(IWebBrowser2* browser);
    IWebBrowser2* Browser() const { return browser_.get(); }

    // Extract: starts Sollet on the shown page through the shell (nothing waits for it,
    // and no descriptor of the browser goes with it).
    void Extract();

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The toolbar's WM_CREATE steps: styles, the string, the image list and the button.
    void AddExtractButton(HWND hwnd);

    std::unique_ptr<WindowHandler> base_;  // the platform toolbar's own handler
    HWND hwnd_ = nullptr;
    HIMAGELIST images_ = nullptr;  // the toolbar's image list; destroyed with this object
    ComPointer<IWebBrowser2> browser_;
};
