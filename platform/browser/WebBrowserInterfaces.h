// The COM face of a browser control: IWebBrowser2, the DWebBrowserEvents2 calls it
// makes on advised sinks, and the document interfaces reached through its Document.
// Our own declarations, with the slots this system calls.
//
// Threading: on the control's thread only. Scripts on pages never run.
#pragma once

#include <memory>

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Guid.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/com/Variant.h"

class HtmlDocument;
class HtmlElement;

// The service a band asks its site for to reach the browser that hosts it.
inline constexpr GUID SID_SWebBrowserApp = {
    0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IWebBrowser2 = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
// The browser's event interface: calls come to an advised sink's IDispatch::Invoke.
inline constexpr IID DIID_DWebBrowserEvents2 = {
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
inline constexpr IID IID_IHTMLDocument2 = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
inline constexpr IID IID_IHTMLDocument3 = {
    0x3050F485, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
inline constexpr IID IID_IHTMLElement = {
    0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// Dispatch ids of the events, with their arguments in Invoke's rgvarg (last first):
//   DISPID_BEFORENAVIGATE2 (250): [6] the browser (VT_DISPATCH), [5] URL, [4] flags (VT_I4),
//     [3] target frame, [2] post data, [1] headers (VT_BSTR), [0] Cancel (VT_BOOL, false;
//     a sink cannot cancel here: the host's own handler decides).
//   DISPID_NAVIGATECOMPLETE2 (252), DISPID_DOCUMENTCOMPLETE (259): [1] the browser, [0] URL.
//   DISPID_NAVIGATEERROR (271): [4] the browser, [3] URL, [2] frame, [1] status (VT_I4,
//     the HRESULT), [0] Cancel (VT_BOOL, false).
//   DISPID_COMMANDSTATECHANGE (105): [1] command (VT_I4: CSC_NAVIGATEFORWARD or
//     CSC_NAVIGATEBACK), [0] enabled (VT_BOOL).
// DISPID_NAVIGATECOMPLETE (101) belongs to the older event interface; this browser
// never calls it.
constexpr DISPID DISPID_NAVIGATECOMPLETE = 101;
constexpr DISPID DISPID_COMMANDSTATECHANGE = 105;
constexpr DISPID DISPID_BEFORENAVIGATE2 = 250;
constexpr DISPID DISPID_NAVIGATECOMPLETE2 = 252;
constexpr DISPID DISPID_DOCUMENTCOMPLETE = 259;
constexpr DISPID DISPID_NAVIGATEERROR = 271;
constexpr LONG CSC_NAVIGATEFORWARD = 1;
constexpr LONG CSC_NAVIGATEBACK = 2;

struct IWebBrowser2 : IDispatch {
    static constexpr const IID& InterfaceId = IID_IWebBrowser2;
    virtual HRESULT GoBack() = 0;
    virtual HRESULT GoForward() = 0;
    virtual HRESULT Stop() = 0;
    // The control's own object (it answers IOleInPlaceActiveObject).
    virtual HRESULT get_Application(IDispatch** application) = 0;
    // The current top document (it answers IHTMLDocument2 and IHTMLDocument3); S_FALSE
    // and null while there is none.
    virtual HRESULT get_Document(IDispatch** document) = 0;
    // The address of the current top document ("" before the first).
    virtual HRESULT get_LocationURL(BSTR* url) = 0;
    // Loads url; the optional arguments may be null or VT_EMPTY. Post data and headers
    // are passed to BeforeNavigate2 only: loads are always GETs.
    virtual HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                             VARIANT* headers) = 0;
    // As Navigate with url as a VT_BSTR.
    virtual HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                              VARIANT* postData, VARIANT* headers) = 0;
    // A command of the control (CHtmlView::ExecWB): OLECMDID_PRINT prints the page shown.
    virtual HRESULT ExecWB(LONG command, LONG option, VARIANT* in, VARIANT* out) = 0;

protected:
    ~IWebBrowser2() = default;
};

struct IHTMLElement : IDispatch {
    static constexpr const IID& InterfaceId = IID_IHTMLElement;
    // flags are ignored; a missing attribute gives VT_NULL.
    virtual HRESULT setAttribute(BSTR name, VARIANT value, LONG flags) = 0;
    virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* value) = 0;
    virtual HRESULT get_tagName(BSTR* name) = 0;
    virtual HRESULT put_innerHTML(BSTR html) = 0;
    virtual HRESULT get_innerHTML(BSTR* html) = 0;
    virtual HRESULT put_innerText(BSTR text) = 0;
    virtual HRESULT get_innerText(BSTR* text) = 0;
    virtual HRESULT get_outerHTML(BSTR* html) = 0;
    // The element of the document model behind this object.
    virtual std::shared_ptr<HtmlElement> Model() = 0;

protected:
    ~IHTMLElement() = default;
};

struct IHTMLDocument2 : IDispatch {
    static constexpr const IID& InterfaceId = IID_IHTMLDocument2;
    virtual HRESULT get_body(IHTMLElement** body) = 0;
    virtual HRESULT get_readyState(BSTR* state) = 0;
    virtual HRESULT get_designMode(BSTR* mode) = 0;
    virtual HRESULT put_designMode(BSTR mode) = 0;
    virtual HRESULT get_URL(BSTR* url) = 0;
    // Collects text for the new content: the one-element argument list the platform
    // passes, as VARIANTs (each VT_BSTR is written).
    virtual HRESULT write(const VARIANT* texts, UINT count) = 0;
    virtual HRESULT close() = 0;
    // The document model behind this object (the same the control's GetHtmlDocument
    // gives).
    virtual std::shared_ptr<HtmlDocument> Model() = 0;

protected:
    ~IHTMLDocument2() = default;
};

struct IHTMLDocument3 : IDispatch {
    static constexpr const IID& InterfaceId = IID_IHTMLDocument3;
    virtual HRESULT get_documentElement(IHTMLElement** root) = 0;
    virtual HRESULT getElementById(BSTR id, IHTMLElement** element) = 0;

protected:
    ~IHTMLDocument3() = default;
};

// A new COM object over a document of the model (answers IHTMLDocument2 and 3).
ComPointer<IHTMLDocument2> MakeHtmlDocumentObject(std::shared_ptr<HtmlDocument> document);
