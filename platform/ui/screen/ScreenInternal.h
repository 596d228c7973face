// What the parts of the screen share (platform/ui/screen/*.cpp). Main thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GdkTexture GdkTexture;
struct HICON__;

namespace screen {

// The thread GTK runs on, once StartScreen succeeded.
bool OnScreenThread();

// The loop (ScreenLoop.cpp): watches the thread's queue descriptor and takes over its
// message waits.
void StartLoop();
// Runs GTK's main loop, nested, until done() answers true (true) or timeoutMs pass
// (false; a negative timeout waits for done alone). With holdMessages the thread's
// queue is not served meanwhile (a wait for a web view's answer must not run the
// model's code); otherwise it is.
bool RunNestedLoop(const std::function<bool()>& done, int timeoutMs, bool holdMessages);

// Runs call(data) once from the loop, soon, outside the handler that asks (not starved
// by GTK's frames and events, as a call at GTK's idle priority can be). call answers
// G_SOURCE_REMOVE (0).
void RunSoon(int (*call)(void* data), void* data);

// The presentation of the window tree (ScreenPresentation.cpp).
void StartPresentation();
// Places a widget made elsewhere (a browser view) as the one showing child window hwnd.
void AdoptChildWidget(HWND hwnd, GtkWidget* widget);
GtkWidget* WidgetOf(HWND hwnd);

// One kind of control shown by a GTK widget of its own (ScreenControls.cpp): made once,
// then told when the window's text or style (message 0) or the control's content (the
// control message that changed it) changed. make null: the widget comes from elsewhere.
struct ControlKind {
    const char* className;
    GtkWidget* (*make)(HWND hwnd);
    void (*refresh)(HWND hwnd, GtkWidget* widget, UINT message);
};
// The kind of hwnd's class, null for a window shown as a plain canvas.
const ControlKind* ControlKindOf(HWND hwnd);
// The list view, tab control, tree view and toolbar (ScreenCommonControls.cpp).
const std::vector<ControlKind>& CommonControlKinds();

// The person's pointer and keys (ScreenInput.cpp).
// Held while a presentation call runs: GTK's own focus moves meanwhile (a widget hidden,
// removed or focused for the model) are not taken for the person's.
struct PresentationCall {
    PresentationCall();
    ~PresentationCall();
    PresentationCall(const PresentationCall&) = delete;
    PresentationCall& operator=(const PresentationCall&) = delete;
};
// Records that widget shows hwnd (its own widget: a control's, a canvas's overlay, a
// browser view, a GtkWindow).
void MarkWindowWidget(HWND hwnd, GtkWidget* widget);
// The pointer over the overlay of a window shown as its drawing goes to the model; the
// top-level window's content also tells when the pointer leaves every window.
void AttachPointer(HWND hwnd, GtkWidget* overlay, bool topLevel);
// Enter, Esc, Tab and Shift+Tab in a top-level window, and GTK's focus moves in it.
void AttachKeys(HWND hwnd, GtkWidget* window);
// The window ends: a button held on it is let go.
void ForgetPressedWindow(HWND hwnd);

// The browser views (ScreenBrowserView.cpp).
void StartBrowserViews();
// The WebKitWebView showing a browser control's window, null for other windows.
GtkWidget* BrowserViewOf(HWND hwnd);

// Menus (ScreenMenus.cpp): popup menus as popovers of their drawing, and a header bar
// menu button for the system menu's items of the program (added before the first show).
void StartMenus();
GtkWidget* ShownMenuPopover();
void AddSystemMenuButton(HWND hwnd, GtkWidget* window);

// Icons (ScreenIcons.cpp). A texture of the model's icon (the caller unrefs it; null
// for none); a top-level window's icons shown as its surface's icon list, once it is
// realized (watch) and whenever they change (show); and the picture of a message box's
// icon kind (MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONINFORMATION in
// type; null for a box without one).
GdkTexture* TextureOfIcon(HICON__* icon);
void WatchWindowIcons(HWND hwnd, GtkWidget* window);
void ShowWindowIcons(HWND hwnd, GtkWidget* window);
GdkTexture* MessageBoxIconTexture(UINT type);

// Message boxes and pickers (ScreenDialogs.cpp).
void StartDialogs();

}  // namespace screen
