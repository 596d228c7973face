#include "toolbar/ExtractToolbar.h"

#include "platform/com/Bstr.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "platform/trace/Trace.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP and the toolbar's own styles
// (top, no resize, no parent alignment, no divider, tooltips, wrapable, flat, list,
// custom erase, transparent).
constexpr DWORD kToolbarStyle = 0x5401BB4D;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

ProgramStartRecord ExtractCommandLine(const std::string& moduleFolder, const std::string& pageUrl) {
    ProgramStartRecord start;
    start.program = moduleFolder + "/sollet";
    start.arguments.push_back("-httpvrl");
    if (!pageUrl.empty())
        start.arguments.push_back(pageUrl);
    return start;
}

std::string PageUrlOfBrowser(IWebBrowser2* browser) {
    if (browser == nullptr)
        return {};
    ComPointer<IDispatch> dispatch;
    if (browser->get_Document(dispatch.put()) != S_OK || !dispatch)
        return {};
    ComPointer<IHTMLDocument2> document = dispatch.query<IHTMLDocument2>();
    if (!document)
        return {};
    ScopedBstr url;
    if (document->get_URL(url.receive()) != S_OK)
        return {};
    return url.utf8();
}

ExtractToolbar::~ExtractToolbar() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

HWND ExtractToolbar::Create(HWND parent, const RECT& rect) {
    hwnd_ =
        CreateWindowForHandler(this, 0, kToolbarClassName, "", kToolbarStyle, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent, nullptr);
    return hwnd_;
}

void ExtractToolbar::SetBrowser(IWebBrowser2* browser) {
    browser_ = ComPointer<IWebBrowser2>(browser);
}

void ExtractToolbar::Extract() {
    const ProgramStartRecord start = ExtractCommandLine(
        FolderOf(MapToLinuxPath(CurrentModulePath())), PageUrlOfBrowser(browser_.get()));
    if (!StartProgram(start))
        Trace("wrenlow", "%s not started", start.program.c_str());
}

LRESULT ExtractToolbar::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == ID_EXTRACT) {
                Extract();
                return 0;
            }
            break;
        case WM_SIZE:
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // The band's focus is the host's and its toolbar's together.
            SendMessage(GetParent(hwnd), message, wParam, lParam);
            break;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}
