// The screen: the window model shown with GTK, the browser controls as web views, and
// GTK's message boxes and file and folder pickers in place of the answering services.
// Built as a library of its own (libmorvelle-screen.so) that programs with windows
// link; headless programs and the test programs of the model never load GTK.
//
// Threads: GTK runs on the thread that called StartScreen (the main thread) only.
// Windows of other threads, and browsers made there (the engine's hidden page
// browsers), stay headless. Every call here is for that thread.
#pragma once

#include <functional>
#include <string>

#include "platform/base/Types.h"

// Starts the screen when the process has a display (DISPLAY or WAYLAND_DISPLAY set) and
// MORVELLE_HEADLESS is not "1": initialises GTK, installs the window presentation, the
// browser control presenter, the message-box and dialog services, and hands the
// thread's message waits to GTK's main loop. Once, before the first window. TRUE when
// the screen runs; FALSE leaves the process headless.
bool StartScreen();
bool ScreenRunning();

// The thread's message loop (GetMessage, DispatchMessage) until WM_QUIT; its code.
// Under the screen GTK's events are served while it waits.
int RunMessageLoop();

// --- Test support ---
// Makes GTK's message boxes the message-box service again (a test program installs its
// own check over them).
void UseScreenMessageBoxes();
// Serves GTK's events and the thread's messages until done() answers true (TRUE) or
// timeoutMs pass (FALSE).
bool PumpScreenUntil(const std::function<bool()>& done, int timeoutMs);
// Saves what the window shows (a top-level window with everything in it, or one child)
// as a PNG file at a Linux path: GTK's rendering of its widgets, with each browser view
// in it drawn from the web view's own snapshot. FALSE when it cannot.
bool SaveWindowScreenshot(HWND hwnd, const std::string& pngPath);
// Runs script in the page a browser control's view shows and gives its result as text
// (JavaScript's String() of it). FALSE on an error or after timeoutMs.
bool RunScriptInBrowserView(HWND control, const std::string& script, std::string* result,
                            int timeoutMs);
// The address the view of a browser control shows (res: addresses in their own form)
// and whether it is loading.
std::string BrowserViewAddress(HWND control);
bool BrowserViewLoading(HWND control);
