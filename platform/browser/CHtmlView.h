// The framework's HTML view: a browser control in a window on the user-interface thread
// that creates it. It loads http(s) and file: pages through one page loader, and res:
// pages from the resources of a loaded module (ResourcePage.h) itself; it delivers the
// events to its virtual handlers on that thread, keeps the live document the code reads
// and writes, and takes what a person does in a page as calls (click a link, type into
// a field, tick a box, submit a form, edit in design mode). Scripts on pages never run.
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
#include <string_view>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/Types.h"
#include "platform/browser/HtmlDocumentObserver.h"
#include "platform/com/Dispatch.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/Variant.h"

class HtmlDocument;
class HtmlElement;
struct IUnknown;
struct IDispatch;

// The ambient property a browser control asks its host for before each load: the
// download-control flags (DLCTL_..., PageLoader.h) as a VT_I4.
constexpr DISPID DISPID_AMBIENT_DLCONTROL = -5512;

// The command a view's print handler answers (WM_COMMAND, the low word of wParam).
constexpr UINT ID_FILE_PRINT = 0xE107;
// ExecWB's print command and its options; a command it does not know is answered with
// OLECMDERR_E_NOTSUPPORTED (OleInterfaces.h).
constexpr LONG OLECMDID_PRINT = 6;
constexpr LONG OLECMDEXECOPT_DODEFAULT = 0;
constexpr LONG OLECMDEXECOPT_PROMPTUSER = 1;
constexpr LONG OLECMDEXECOPT_DONTPROMPTUSER = 2;

// A print a control was asked for: the address of the page it showed, and whether the
// person chooses the printer first.
struct PrintRecord {
    std::string address;
    bool prompt = false;

    bool operator==(const PrintRecord&) const = default;
};

// What a presentation of the control (a screen) is told, on the control's thread:
// every change made through the document (HtmlDocumentObserver) and each document
// the control starts to show.
class BrowserControlObserver : public HtmlDocumentObserver {
public:
    // The control shows document from now on (a new load's first document, each newer
    // one of the same load, a written one). A move to a fragment keeps the document.
    virtual void OnDocumentShown(HtmlDocument& document) = 0;
    // The control moved to a fragment of the document shown (url: the whole address).
    virtual void OnFragmentMoved(const std::string& url) { (void)url; }
    // The control's load was stopped (Stop).
    virtual void OnLoadStopped() {}
    // The control's load of url ended without its top document (error as
    // OnNavigateError has it, never E_ABORT): the control shows no page of it.
    virtual void OnLoadFailed(const std::string& url, HRESULT error) {
        (void)url;
        (void)error;
    }
    // The code is about to read document (GetHtmlDocument): a screen brings what the
    // person changed on the page into it first (ReplaceDocumentFromHtml).
    virtual void OnDocumentRead(HtmlDocument& document) { (void)document; }
    // The control prints the page shown (ExecWB); prompt: the person chooses first.
    virtual void OnPrint(const PrintRecord& print) { (void)print; }
};

class CHtmlView;

// A screen's side of the browser controls: told of each control made as a child
// window (one with a parent in the window tree), right after its Create, on the
// control's thread. It may set the control's presentation observer there.
class BrowserControlPresenter {
public:
    virtual ~BrowserControlPresenter() = default;
    virtual void ControlCreated(CHtmlView& view) = 0;
};

// Installs the process's presenter (null: none), once at start-up as the window
// presentation is; the caller keeps it alive.
void SetBrowserControlPresenter(BrowserControlPresenter* presenter);

// The class name a browser control's child window carries (GetClassName).
inline constexpr const char* kBrowserControlClassName = "MorvelleBrowserControl";
// The view behind a browser control's window, null for any other window. The window's
// thread.
CHtmlView* BrowserControlFromWindow(HWND hwnd);

class CHtmlView : public CObject {
public:
    CHtmlView();
    // Any thread once the view's window is gone (DestroyWindow, or the end of its
    // thread); on the view's thread it destroys the window itself.
    ~CHtmlView() override;
    CHtmlView(const CHtmlView&) = delete;
    CHtmlView& operator=(const CHtmlView&) = delete;

    // Makes the view's window on the calling thread, which becomes the view's thread,
    // and its page loader (MakePageLoader). With a parent of the window tree on this
    // thread the window is its visible child (class kBrowserControlClassName, id
    // controlId) and the presenter, if any, is told; otherwise a message window, with
    // parent and controlId recorded. FALSE when the window or the loader cannot be made,
    // or the view exists already.
    virtual BOOL Create(HWND parent, UINT controlId);
    // The same with the window's name and style. A parent of the window tree gets the
    // view's window as a child (WS_CHILD added) over its whole client area, with
    // controlId as its id; without one the view's window is a message window.
    BOOL Create(HWND parent, UINT controlId, std::string_view windowName, DWORD style);
    // On the view's thread: ends the loader (its load in progress is dropped and no
    // event of it comes any more), cuts the control's COM object off (its calls then
    // fail with E_FAIL) and destroys the window. Harmless when done before.
    void DestroyWindow();

    // The view whose window hwnd is; null for any other window. On the window's thread.
    static CHtmlView* FromHandle(HWND hwnd);

    // The view's window; null before Create. Any thread.
    HWND GetSafeHwnd() const { return hwnd_.load(); }
    HWND GetParentHwnd() const { return parent_; }
    UINT GetControlId() const { return controlId_; }

    // Loads url (no flags, target frame, post data or headers), superseding the load
    // in progress. url is an http(s), file:, res: or about: address, or a system path
    // ("c:\tmp\a.htm"), which becomes the file: address of its file. First, on the
    // view's thread, OnBeforeNavigate2 may cancel it; then the view asks OnAmbientProperty
    // for the download-control flags and the load starts. An address that differs from
    // the current document's only by its fragment moves to the fragment instead: no load,
    // NavigateComplete2 but no DocumentComplete, the document (and what was typed into
    // it) kept. FALSE when the view has no live window (not created, destroyed, or its
    // thread ended); else TRUE, acting at once on the view's thread or later, in order,
    // when posted from another. Any thread.
    BOOL Navigate2(const std::string& url);
    BOOL Navigate(const std::string& url) { return Navigate2(url); }
    // Stops the load in progress: its transfer is aborted and it ends with
    // OnNavigateError(E_ABORT); nothing happens when no load is in progress. FALSE when
    // the view has no live window. Any thread, in order with Navigate2.
    BOOL Stop();
    // The previous or next address of the control's history (top documents and fragment
    // moves), loaded as Navigate2 loads it. FALSE when there is none. View's thread.
    BOOL GoBack();
    BOOL GoForward();

    // The current load's top document as its latest event brought it (its readyState
    // as the loader reports it; under a screen, with what the person changed on the page
    // brought in first: OnDocumentRead); null from the start of a navigation until its
    // response begins, and before the first. Kept after the load until the next
    // navigation. The document is live: what the code and the user change in it stays
    // until the next navigation. On the view's thread.
    std::shared_ptr<HtmlDocument> GetHtmlDocument() const;
    // The address of the current top document, with the fragment moved to; "" before
    // the first. On the view's thread.
    std::string GetLocationURL() const;

    // The editing mode of the control: "Inherit" until set, then what was last set,
    // here or through a document's designMode. It stays for every later document until
    // it is set off again; changing it raises no event. On the view's thread.
    std::string GetDesignMode() const;
    void SetDesignMode(const std::string& mode);

    // --- What a person does in the page (view's thread) ---
    // Each answers S_OK; E_FAIL without a document; E_INVALIDARG when the page has no
    // such link, form or field; E_ACCESSDENIED for an edit outside design mode.
    // Activates the first link (a or area) whose resolved address or written href is
    // address: BeforeNavigate2 with the resolved address, then the navigation.
    HRESULT ClickLink(const std::string& address);
    // Activates the first link whose text (white space folded) is text.
    HRESULT ClickLinkByText(const std::string& text);
    // form and field are a name or id ("" for the first form). Typing sets the field's
    // live value; ticking sets a check box's or radio button's checked state.
    HRESULT TypeIntoField(const std::string& form, const std::string& field,
                          const std::string& text);
    HRESULT TickBox(const std::string& form, const std::string& field, bool checked);
    // Submits the form: a GET form navigates to its action (made absolute) with the
    // query of its successful controls; a POST form to its action, the query passed as
    // post data to BeforeNavigate2 (the load itself is a GET). The resolved address goes
    // to BeforeNavigate2 first.
    HRESULT SubmitForm(const std::string& form);
    // A user's edit in design mode: the element with that id gets text as its content.
    HRESULT EditInDesignMode(const std::string& elementId, const std::string& text);

    // --- Commands (view's thread) ---
    // Runs a command of the control. OLECMDID_PRINT prints the page shown: the print is
    // recorded (GetPrints), which is all that happens without a screen, and the
    // presentation prints it (OnPrint), asking the person first unless the option is
    // OLECMDEXECOPT_DONTPROMPTUSER. S_OK; E_FAIL without a document;
    // OLECMDERR_E_NOTSUPPORTED for any other command. in and out are not used.
    HRESULT ExecWB(LONG command, LONG option, VARIANT* in, VARIANT* out);
    // The view's print handler (ID_FILE_PRINT): the print command with the default
    // option.
    void OnFilePrint();
    // The prints asked for so far, oldest first.
    std::vector<PrintRecord> GetPrints() const;

    // --- The presentation seam (view's thread) ---
    // Who is told of changes to the documents this control shows; null for nobody.
    void SetPresentationObserver(std::shared_ptr<BrowserControlObserver> observer);
    // Replaces the current document's content with a presentation's serialised page
    // (nobody is told). E_FAIL without a document.
    HRESULT ReplaceDocumentFromHtml(const std::string& html);

    // The control's COM object (IWebBrowser2, IConnectionPointContainer for
    // DWebBrowserEvents2, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject,
    // IOleWindow), without an added reference; null before Create. View's thread.
    IUnknown* GetControlUnknown() const;

    // Called once by the frame that created the view, on the view's thread. Nothing here.
    virtual void OnInitialUpdate() {}

protected:
    // Events, on the view's thread. A navigation starts with OnBeforeNavigate2 (the
    // address asked for; setting *cancel keeps the page as it is; a navigation started
    // inside the handler supersedes this one). A load then brings navigate-complete (the
    // address reached) and, for each frame document, before-navigate, navigate-complete
    // and document-complete, and last document-complete of the top document; or at any
    // point instead of the rest one navigate error. A frame's cancel is not honoured
    // (its document is already fetched). Nothing here.
    virtual void OnBeforeNavigate2(const std::string& url, DWORD flags,
                                   const std::string& targetFrameName,
                                   const std::string& postedData, const std::string& headers,
                                   BOOL* cancel);
    virtual void OnNavigateComplete2(const std::string& url);
    virtual void OnDocumentComplete(const std::string& url);
    // The current load ended without its top document: error is INET_E_... (no
    // connection, a time-out, a bad address, no such resource) or E_ABORT (stopped).
    virtual void OnNavigateError(const std::string& url, HRESULT error);
    // After each top navigate-complete: whether GoBack (CSC_NAVIGATEBACK) and GoForward
    // (CSC_NAVIGATEFORWARD) can go anywhere. Nothing here.
    virtual void OnCommandStateChange(LONG command, BOOL enable);

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

    HRESULT ActivateLink(HtmlElement& link);
    // A navigation the page itself starts (a link, a form), on the view's thread.
    void StartNavigation(const std::string& url, const std::string& targetFrameName,
                         const std::string& postedData, const std::string& headers);

    std::atomic<HWND> hwnd_{nullptr};
    HWND parent_ = nullptr;
    UINT controlId_ = 0;
    std::unique_ptr<Host> host_;  // the window's handler and the loader; made by Create
};
