// The frame of the web browser: the model's windows (the frame, the toolbar row, the band
// pane and the hosting browser control) laid out under a row of GTK chrome (back,
// forward, reload, stop, the address and the band menu) that lives in the frame's
// GtkFixed above them.
#include "platform/host/BrowserHost.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>

#include "platform/host/BrowserHostImpl.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr int kChromeHeight = 40;
constexpr int kFirstRowHeight = 22;
constexpr int kFrameWidth = 1100;
constexpr int kFrameHeight = 760;
constexpr UINT kViewId = 100;
constexpr DWORD kPaneBandId = 1;
constexpr DWORD kFirstToolbarBandId = 10;

using Impl = BrowserHost::Impl;

}  // namespace

// The hosting browser control: its address and history state go to the chrome.
class BrowserHost::Impl::View final : public CHtmlView {
public:
    explicit View(Impl& host) : host_(host) {}

protected:
    // Frames complete their navigations too: the address bar shows the page's own.
    void OnNavigateComplete2(const std::string&) override { host_.ShowAddress(GetLocationURL()); }
    // A failed load's error page shows under the address that failed.
    void OnNavigateError(const std::string& url, HRESULT error) override {
        if (error != E_ABORT)
            host_.ShowAddress(url);
    }
    void OnCommandStateChange(LONG command, BOOL enable) override {
        host_.EnableHistoryButton(command, enable);
    }

private:
    Impl& host_;
};

LRESULT BrowserHost::Impl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (hwnd == frame)
                Layout();
            break;
        case WM_CLOSE:
            // The bands go while their windows' parents are still whole.
            if (hwnd == frame)
                EndBands();
            break;
        case WM_DESTROY:
            if (hwnd == frame && quitOnClose)
                PostQuitMessage(0);
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void BrowserHost::Impl::EndBands() {
    EndBand(&paneBand);
    for (HostedBand& band : toolbarBands)
        EndBand(&band);
    toolbarBands.clear();
}

void BrowserHost::Impl::Layout() {
    if (!IsWindow(frame))
        return;
    RECT client{};
    GetClientRect(frame, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (chrome)
        gtk_widget_set_size_request(chrome, width, kChromeHeight);
    int rowHeight = 0;
    for (const HostedBand& band : toolbarBands)
        rowHeight = std::max(rowHeight, band.size);
    const int top = kChromeHeight + rowHeight;
    const int paneWidth =
        paneBand.band ? std::min(paneBand.size, width / 2 + paneBand.size / 2) : 0;
    if (toolbarRow) {
        MoveWindow(toolbarRow, 0, kChromeHeight, width, rowHeight, TRUE);
        ShowWindow(toolbarRow, rowHeight > 0 ? SW_SHOW : SW_HIDE);
        // Side by side, each as wide as it asks (one that tells no width: the rest).
        int x = 0;
        for (const HostedBand& band : toolbarBands) {
            const int length = band.length > 0 ? band.length : std::max(width - x, 0);
            if (band.window)
                MoveWindow(band.window, x, 0, length, rowHeight, TRUE);
            x += length;
        }
    }
    if (pane) {
        MoveWindow(pane, 0, top, paneWidth, std::max(height - top, 0), TRUE);
        ShowWindow(pane, paneWidth > 0 ? SW_SHOW : SW_HIDE);
        if (paneBand.window)
            MoveWindow(paneBand.window, 0, 0, paneWidth, std::max(height - top, 0), TRUE);
    }
    if (view && view->GetSafeHwnd())
        MoveWindow(view->GetSafeHwnd(), paneWidth, top, std::max(width - paneWidth, 0),
                   std::max(height - top, 0), TRUE);
}

void BrowserHost::Impl::ShowAddress(const std::string& url) {
    if (address)
        gtk_editable_set_text(GTK_EDITABLE(address), AddressForDisplay(url).c_str());
}

void BrowserHost::Impl::EnableHistoryButton(LONG command, BOOL enable) {
    GtkWidget* button = command == CSC_NAVIGATEBACK ? back : forward;
    if (button)
        gtk_widget_set_sensitive(button, enable != FALSE);
}

namespace {

GtkWidget* ChromeButton(GtkWidget* box, const char* label, const char* tip, GCallback clicked,
                        Impl* impl) {
    GtkWidget* button = gtk_button_new_with_label(label);
    gtk_widget_set_tooltip_text(button, tip);
    g_signal_connect(button, "clicked", clicked, impl);
    gtk_box_append(GTK_BOX(box), button);
    return button;
}

Impl* ImplOf(gpointer data) {
    return static_cast<Impl*>(data);
}

}  // namespace

void BrowserHost::Impl::FillBandMenu() {
    GtkWidget* list = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    for (const RegisteredBand& band : RegisteredVerticalBands()) {
        const std::string clsid = GuidToString(band.clsid);
        GtkWidget* item =
            gtk_button_new_with_label(band.title.empty() ? clsid.c_str() : band.title.c_str());
        gtk_button_set_has_frame(GTK_BUTTON(item), FALSE);
        g_object_set_data_full(G_OBJECT(item), "clsid", g_strdup(clsid.c_str()), g_free);
        g_signal_connect(item, "clicked", G_CALLBACK(+[](GtkButton* button, gpointer data) {
                             Impl* impl = ImplOf(data);
                             const char* text = static_cast<const char*>(
                                 g_object_get_data(G_OBJECT(button), "clsid"));
                             gtk_menu_button_popdown(GTK_MENU_BUTTON(impl->bandMenu));
                             CLSID clsid{};
                             if (text && SUCCEEDED(CLSIDFromString(text, &clsid)))
                                 impl->owner->OpenBand(clsid);
                         }),
                         this);
        gtk_box_append(GTK_BOX(list), item);
    }
    GtkWidget* close = gtk_button_new_with_label("Close band");
    gtk_button_set_has_frame(GTK_BUTTON(close), FALSE);
    g_signal_connect(close, "clicked", G_CALLBACK(+[](GtkButton*, gpointer data) {
                         Impl* impl = ImplOf(data);
                         gtk_menu_button_popdown(GTK_MENU_BUTTON(impl->bandMenu));
                         impl->owner->CloseBand();
                     }),
                     this);
    gtk_box_append(GTK_BOX(list), close);
    // The menu button is at the frame's right end: the menu opens leftwards from it.
    GtkWidget* popover = gtk_popover_new();
    gtk_widget_set_halign(popover, GTK_ALIGN_END);
    gtk_popover_set_child(GTK_POPOVER(popover), list);
    gtk_menu_button_set_popover(GTK_MENU_BUTTON(bandMenu), popover);
}

BrowserHost::BrowserHost() : impl_(std::make_unique<Impl>()) {
    impl_->owner = this;
}

BrowserHost::~BrowserHost() {
    Destroy();
}

BOOL BrowserHost::Create(const std::string& url) {
    Impl& impl = *impl_;
    if (impl.frame != nullptr || !ScreenRunning())
        return FALSE;
    RECT frameRect{0, 0, kFrameWidth, kFrameHeight};
    AdjustWindowRectEx(&frameRect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    impl.frame = CreateWindowForHandler(&impl, 0, "MorvelleBrowserFrame", "Morvelle Browser",
                                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        frameRect.right - frameRect.left,
                                        frameRect.bottom - frameRect.top, nullptr, nullptr);
    if (impl.frame == nullptr)
        return FALSE;
    impl.toolbarRow = CreateWindowForHandler(&impl.rowHolder, 0, "MorvelleToolbarRow", "", WS_CHILD,
                                             0, 0, 0, 0, impl.frame, ControlIdMenu(101));
    impl.pane = CreateWindowForHandler(&impl.paneHolder, 0, "MorvelleBandPane", "", WS_CHILD, 0, 0,
                                       0, 0, impl.frame, ControlIdMenu(102));
    impl.view = std::make_unique<Impl::View>(impl);
    if (!impl.view->Create(impl.frame, kViewId)) {
        Destroy();
        return FALSE;
    }

    // The chrome.
    impl.chrome = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_widget_set_margin_start(impl.chrome, 4);
    gtk_widget_set_margin_end(impl.chrome, 4);
    impl.back = ChromeButton(
        impl.chrome, "Back", "Back",
        G_CALLBACK(+[](GtkButton*, gpointer data) { ImplOf(data)->view->GoBack(); }), &impl);
    impl.forward = ChromeButton(
        impl.chrome, "Forward", "Forward",
        G_CALLBACK(+[](GtkButton*, gpointer data) { ImplOf(data)->view->GoForward(); }), &impl);
    gtk_widget_set_sensitive(impl.back, FALSE);
    gtk_widget_set_sensitive(impl.forward, FALSE);
    ChromeButton(impl.chrome, "Reload", "Reload", G_CALLBACK(+[](GtkButton*, gpointer data) {
                     Impl* impl = ImplOf(data);
                     const std::string location = impl->view->GetLocationURL();
                     if (!location.empty())
                         impl->view->Navigate2(location);
                 }),
                 &impl);
    ChromeButton(impl.chrome, "Stop", "Stop",
                 G_CALLBACK(+[](GtkButton*, gpointer data) { ImplOf(data)->view->Stop(); }), &impl);
    impl.address = gtk_entry_new();
    gtk_widget_set_hexpand(impl.address, TRUE);
    g_signal_connect(impl.address, "activate", G_CALLBACK(+[](GtkEntry* entry, gpointer data) {
                         const std::string text = gtk_editable_get_text(GTK_EDITABLE(entry));
                         if (!text.empty())
                             ImplOf(data)->view->Navigate2(AddressFromDisplay(text));
                     }),
                     &impl);
    gtk_box_append(GTK_BOX(impl.chrome), impl.address);
    impl.bandMenu = gtk_menu_button_new();
    gtk_menu_button_set_label(GTK_MENU_BUTTON(impl.bandMenu), "Bands");
    gtk_box_append(GTK_BOX(impl.chrome), impl.bandMenu);
    impl.FillBandMenu();
    if (GtkWidget* container = ScreenContainerOf(impl.frame))
        gtk_fixed_put(GTK_FIXED(container), impl.chrome, 0, 0);

    // The toolbar bands, each under its own id. A band makes its windows in its site's
    // client area, as wide as the frame and a button's height high before any band
    // told its own.
    RECT client{};
    GetClientRect(impl.frame, &client);
    MoveWindow(impl.toolbarRow, 0, kChromeHeight, client.right - client.left, kFirstRowHeight,
               FALSE);
    DWORD bandId = kFirstToolbarBandId;
    for (const RegisteredBand& registered : RegisteredToolbarBands()) {
        HostedBand hosted;
        if (HostBand(registered.clsid, impl.toolbarRow, Browser(), bandId++, false, &hosted))
            impl.toolbarBands.push_back(std::move(hosted));
    }
    impl.Layout();
    ShowWindow(impl.frame, SW_SHOW);
    impl.view->Navigate2(url.empty() ? "about:blank" : url);
    return TRUE;
}

void BrowserHost::Destroy() {
    Impl& impl = *impl_;
    impl.EndBands();
    if (impl.frame != nullptr && IsWindow(impl.frame))
        ::DestroyWindow(impl.frame);
    impl.view.reset();
    impl.frame = impl.pane = impl.toolbarRow = nullptr;
    impl.chrome = impl.address = impl.back = impl.forward = impl.bandMenu = nullptr;
}

BOOL BrowserHost::OpenBand(const std::string& name) {
    for (const RegisteredBand& band : RegisteredVerticalBands()) {
        if (EqualsNoCase(band.title, name) || EqualsNoCase(GuidToString(band.clsid), name))
            return OpenBand(band.clsid);
    }
    return FALSE;
}

BOOL BrowserHost::OpenBand(REFCLSID clsid) {
    Impl& impl = *impl_;
    if (!IsWindow(impl.pane))
        return FALSE;
    CloseBand();
    HostedBand hosted;
    if (!HostBand(clsid, impl.pane, Browser(), kPaneBandId, true, &hosted))
        return FALSE;
    impl.paneBand = std::move(hosted);
    impl.Layout();
    return TRUE;
}

void BrowserHost::CloseBand() {
    EndBand(&impl_->paneBand);
    impl_->Layout();
}

HWND BrowserHost::Frame() const {
    return impl_->frame;
}

HWND BrowserHost::View() const {
    return impl_->view ? impl_->view->GetSafeHwnd() : nullptr;
}

HWND BrowserHost::BandPane() const {
    return impl_->pane;
}

HWND BrowserHost::BandWindow() const {
    return impl_->paneBand.window;
}

IWebBrowser2* BrowserHost::Browser() const {
    IUnknown* unknown = impl_->view ? impl_->view->GetControlUnknown() : nullptr;
    return unknown ? static_cast<IWebBrowser2*>(unknown) : nullptr;
}

int BrowserHost::PaneWidth() const {
    return impl_->paneBand.band ? impl_->paneBand.size : 0;
}

std::string BrowserHost::AddressText() const {
    return impl_->address ? gtk_editable_get_text(GTK_EDITABLE(impl_->address)) : "";
}

namespace {

bool IsResAddress(const std::string& text) {
    return text.size() >= 6 && g_ascii_strncasecmp(text.c_str(), "res://", 6) == 0;
}

}  // namespace

std::string AddressForDisplay(const std::string& url) {
    if (!IsResAddress(url))
        return url;
    const std::size_t end = std::min(url.find('/', 6), url.find('#', 6));
    std::string module = url.substr(6, end == std::string::npos ? std::string::npos : end - 6);
    std::replace(module.begin(), module.end(), '\\', '/');
    return url.substr(0, 6) + module + (end == std::string::npos ? "" : url.substr(end));
}

std::string AddressFromDisplay(const std::string& text) {
    if (!IsResAddress(text) || text.size() < 7 || text[6] != '/')
        return text;
    // The module's path is the longest part before a "/" that names a loaded module.
    const std::size_t hash = text.find('#');
    const std::size_t stop = hash == std::string::npos ? text.size() : hash;
    for (std::size_t at = text.rfind('/', stop - 1); at != std::string::npos && at > 6;
         at = text.rfind('/', at - 1)) {
        std::string module = text.substr(6, at - 6);
        std::replace(module.begin(), module.end(), '/', '\\');
        HMODULE loaded = nullptr;
        if (GetModuleHandleEx(0, module, &loaded)) {
            FreeLibrary(loaded);
            return text.substr(0, 6) + module + text.substr(at);
        }
    }
    return text;
}

int BrowserHost::ToolbarHeight() const {
    int height = 0;
    for (const HostedBand& band : impl_->toolbarBands)
        height = std::max(height, band.size);
    return height;
}

void BrowserHost::SetQuitOnClose(bool quit) {
    impl_->quitOnClose = quit;
}

bool ParseBrowserCommandLine(int argc, char** argv, BrowserCommandLine* line, std::string* error) {
    *line = BrowserCommandLine{};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--band") {
            if (i + 1 >= argc) {
                *error = "--band needs a band's title or CLSID";
                return false;
            }
            line->band = argv[++i];
        } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
            *error = "unknown option " + argument;
            return false;
        } else if (line->url.empty()) {
            line->url = argument;
        } else {
            *error = "more than one address";
            return false;
        }
    }
    return true;
}
