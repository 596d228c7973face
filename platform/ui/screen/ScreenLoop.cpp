// GTK's main loop and the model's message queue of the main thread, as one loop.
//
// A source on the queue descriptor wakes GTK when a message is queued, sent, or a
// timer is due. While the model's GetMessage waits (the program's loop, a dialog's
// modal loop) the wait hook runs one GTK iteration at a time, and the source only
// wakes it: GetMessage then takes the message itself, WM_QUIT included. While GTK
// runs a loop of its own (a GTK dialog, a test's pump) the source serves the queue.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>

#include "platform/thread/Thread.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/MessageLoop.h"

namespace {

DWORD screenThread = 0;
bool running = false;
guint queueWatch = 0;
// A GetMessage is waiting in the hook's iteration.
bool inModelWait = false;
// A WM_QUIT taken while serving from a GTK loop, handed back to the next GetMessage.
bool quitTaken = false;
int quitCode = 0;
// Serving already (a handler that runs a nested loop must not serve again under it).
bool serving = false;

void ServeQueue() {
    if (serving)
        return;
    serving = true;
    MSG msg;
    // A bounded batch, so that GTK's own events keep their turn.
    for (int i = 0; i < 64 && PeekMessage(&msg, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            quitTaken = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        DispatchMessage(&msg);
    }
    serving = false;
}

gboolean OnQueueReadable(gint, GIOCondition, gpointer) {
    if (!inModelWait)
        ServeQueue();
    return G_SOURCE_CONTINUE;
}

void WatchQueue(bool watch) {
    if (watch && queueWatch == 0) {
        queueWatch = g_unix_fd_add(GetMessageQueueFd(), G_IO_IN, OnQueueReadable, nullptr);
    } else if (!watch && queueWatch != 0) {
        g_source_remove(queueWatch);
        queueWatch = 0;
    }
}

// GetMessage found nothing: let GTK run until something comes.
void WaitInGtk() {
    if (quitTaken) {
        quitTaken = false;
        PostQuitMessage(quitCode);
        return;
    }
    const bool saved = inModelWait;
    const bool watched = queueWatch != 0;
    inModelWait = true;
    WatchQueue(true);
    g_main_context_iteration(nullptr, TRUE);
    inModelWait = saved;
    if (!watched)
        WatchQueue(false);
}

}  // namespace

namespace screen {

bool OnScreenThread() {
    return running && GetCurrentThreadId() == screenThread;
}

void StartLoop() {
    screenThread = GetCurrentThreadId();
    running = true;
    WatchQueue(true);
    SetMessageWaitHook(WaitInGtk);
}

void RunSoon(int (*call)(void* data), void* data) {
    // At the events' own priority: an idle one waits behind GTK's frames and events for
    // as long as they keep coming.
    g_idle_add_full(G_PRIORITY_DEFAULT, call, data, nullptr);
}

bool RunNestedLoop(const std::function<bool()>& done, int timeoutMs, bool holdMessages) {
    const bool savedWait = inModelWait;
    const bool watched = queueWatch != 0;
    inModelWait = false;
    WatchQueue(!holdMessages);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // A tick, so that the iteration below returns to look at the clock and at done().
    const guint tick = g_timeout_add(
        10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool finished = false;
    for (;;) {
        if (done()) {
            finished = true;
            break;
        }
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline)
            break;
        g_main_context_iteration(nullptr, TRUE);
    }
    g_source_remove(tick);
    inModelWait = savedWait;
    WatchQueue(watched);
    return finished;
}

}  // namespace screen

bool StartScreen() {
    if (running)
        return true;
    const char* headless = std::getenv("MORVELLE_HEADLESS");
    if (headless != nullptr && std::string(headless) == "1")
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0'))
        return false;
    if (!gtk_init_check())
        return false;
    screen::StartLoop();
    screen::StartPresentation();
    screen::StartBrowserViews();
    screen::StartDialogs();
    screen::StartMenus();
    return true;
}

bool ScreenRunning() {
    return running;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    return static_cast<int>(msg.wParam);
}

bool PumpScreenUntil(const std::function<bool()>& done, int timeoutMs) {
    if (!screen::OnScreenThread())
        return done();
    return screen::RunNestedLoop(done, timeoutMs, false);
}
