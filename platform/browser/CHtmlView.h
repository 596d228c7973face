// The framework's HTML view: a window on the user-interface thread that creates it,
// holding one page loader (the browser control), whose events it delivers to its
// virtual handlers on that thread.
//
// Threads: everything runs on the view's thread (the one that called Create) except
// what says "any thread". The loader fetches on a thread of its own, so the view's
// thread never blocks on the network: while a page loads it still serves its
// messages (sends with a time-out, stops, timers). Loader events are posted to the
// view's window and delivered in the loader's order; events of a load that a later
// navigation superseded never reach the handlers.
//
// Requests from other threads (Navigate2, Stop) are posted to the view's thread and
// served in the order they were made, in one queue with every other message posted to
// the view's window. On the view's own thread they act at once.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/base/CObject.h"
#include "platform/base/Types.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

class HtmlDocument;

// The ambient property a browser control asks its host for before each load: the
// download-control flags (DLCTL_..., PageLoader.h) as a VT_I4.
constexpr DISPID DISPID_AMBIENT_DLCONTROL = -5512;

class CHtmlView : public CObject {
public:
    CHtmlView();
    // Any thread once the view's window is gone (DestroyWindow, or the end of its
    // thread); on the view's thread it destroys the window itself.
    ~CHtmlView() override;
    CHtmlView(const CHtmlView&) = delete;
    CHtmlView& operator=(const CHtmlView&) = delete;

    // Makes the view's window on the calling thread, which becomes the view's thread,
    // and its page loader (MakePageLoader). parent and controlId are recorded only.
    // FALSE when the window or the loader cannot be made, or the view exists already.
    virtual BOOL Create(HWND parent, UINT controlId);
    // On the view's thread: ends the loader (its load in progress is dropped and no
    // event of it comes any more) and destroys the window. Harmless when done before.
    void DestroyWindow();

    // The view's window; null before Create. Any thread.
    HWND GetSafeHwnd() const { return hwnd_.load(); }
    HWND GetParentHwnd() const { return parent_; }
    UINT GetControlId() const { return controlId_; }

    // Loads url (no flags, target frame, post data or headers), superseding the load
    // in progress. Before the load starts the view asks OnAmbientProperty for the
    // download-control flags. FALSE when the view has no live window (not created,
    // destroyed, or its thread ended); else TRUE, the load starting at once on the
    // view's thread or later, in order, when posted from another. Any thread.
    BOOL Navigate2(const std::string& url);
    // Stops the load in progress: its transfer is aborted and it ends with
    // OnNavigateError(E_ABORT); nothing happens when no load is in progress. FALSE when
    // the view has no live window. Any thread, in order with Navigate2.
    BOOL Stop();

    // The current load's top document as its latest event brought it (its readyState
    // as the loader reports it); null from the start of a navigation until its
    // response begins, and before the first. Kept after the load until the next
    // navigation. On the view's thread.
    std::shared_ptr<HtmlDocument> GetHtmlDocument() const;

    // Called once by the frame that created the view, on the view's thread. Nothing here.
    virtual void OnInitialUpdate() {}

protected:
    // Events of the current load, on the view's thread, in this order: before-navigate
    // (the address asked for), navigate-complete (the address reached) and then, for
    // each frame document, before-navigate, navigate-complete and document-complete,
    // and last document-complete of the top document; or at any point instead of the
    // rest one navigate error. Nothing here.
    virtual void OnBeforeNavigate2(const std::string& url);
    virtual void OnNavigateComplete2(const std::string& url);
    virtual void OnDocumentComplete(const std::string& url);
    // The current load ended without its top document: error is INET_E_... (no
    // connection, a time-out, a bad address) or E_ABORT (stopped).
    virtual void OnNavigateError(const std::string& url, HRESULT error);

    // An ambient property the control asks for, on the view's thread. TRUE with an
    // answer in *result, or FALSE for the control's default. Before each load the view
    // asks DISPID_AMBIENT_DLCONTROL; a VT_I4 answer gives the load's download-control
    // flags, the default being DLCTL_DLIMAGES (images are fetched, scripts never run).
    // This base answers FALSE to everything.
    virtual BOOL OnAmbientProperty(DISPID dispid, VARIANT* result);

    // Every other message for the view's window, on its thread (sent, posted, timer
    // ticks). The default answer is DefWindowProc's.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Host;

    std::atomic<HWND> hwnd_{nullptr};
    HWND parent_ = nullptr;
    UINT controlId_ = 0;
    std::unique_ptr<Host> host_;  // the window's handler and the loader; made by Create
};
