// A modal dialog with a loop of its own, for dialogs run modally on a thread that serves
// nothing else: a browser's user-interface thread of an in-process band. DoModal is the
// dialog's usual one (the template from the module's resources or from memory, the
// owner disabled while it runs and enabled again after it); the loop pumps the thread's
// queue itself.
//
// The loop: the dialog is placed topmost and shown. While no message waits it is idle:
// it is shown once if it is still hidden, its owner gets WM_ENTERIDLE (lParam the
// dialog) once per idle phase, and the dialog gets WM_KICKIDLE with an idle count that
// rises from 0 until it answers 0. Waiting messages are taken with GetMessage and
// dispatched (WM_KICKIDLE is not); a WM_QUIT is posted again and ends the loop with -1;
// the loop ends as soon as the dialog has. Every message but WM_PAINT, the caret's
// blink (0x0118) and a mouse move to where the last one was starts a new idle phase.
//
// Threads: the thread that calls DoModal, which owns the dialog's window.
#pragma once

#include "platform/ui/Dialog.h"
#include "platform/window/MessageLoop.h"

class ThreadedDialog : public CDialog {
public:
    explicit ThreadedDialog(int templateId, HWND parent = nullptr);
    explicit ThreadedDialog(DialogTemplate dialogTemplate, HWND parent = nullptr);

    int RunModalLoop() override;

private:
    // Whether msg, just dispatched, starts a new idle phase.
    bool StartsIdlePhase(const MSG& msg);

    bool movedBefore_ = false;
    HWND lastMoveWindow_ = nullptr;
    LPARAM lastMovePlace_ = 0;
};
