// The interfaces through which an embedded control, its container and a band talk:
// windows of in-place objects, client sites, verbs, focus, services, commands and
// connection points. Our own declarations, holding the slots this system calls, each
// interface's slots in the platform's relative order.
//
// Threading: every call is made on the thread that owns the object's window (the
// apartment's thread) unless an implementation says otherwise.
#pragma once

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/Variant.h"

struct MSG;  // platform/window/MessageLoop.h

constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200u);
constexpr HRESULT CONNECT_E_ADVISELIMIT = static_cast<HRESULT>(0x80040201u);
constexpr HRESULT OLECMDERR_E_NOTSUPPORTED = static_cast<HRESULT>(0x80040100u);
constexpr HRESULT OLEOBJ_E_INVALIDVERB = static_cast<HRESULT>(0x80040181u);

// Verbs of IOleObject::DoVerb.
constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

inline constexpr IID IID_IOleWindow = {
    0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleClientSite = {
    0x00000118, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleObject = {
    0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceObject = {
    0x00000113, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceActiveObject = {
    0x00000117, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IServiceProvider = {
    0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
inline constexpr IID IID_IOleCommandTarget = {
    0xB722BCCB, 0x4E68, 0x101B, {0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70}};
inline constexpr IID IID_IInputObject = {
    0x68284FAA, 0x6A48, 0x11D0, {0x8C, 0x78, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xB4}};
inline constexpr IID IID_IInputObjectSite = {
    0xF1DB8392, 0x7331, 0x11D0, {0x8C, 0x99, 0x00, 0xA0, 0xC9, 0x2D, 0xBF, 0xE8}};
inline constexpr IID IID_IObjectWithSite = {
    0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};
inline constexpr IID IID_IConnectionPointContainer = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPoint = {
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

struct IOleWindow : IUnknown {
    static constexpr const IID& InterfaceId = IID_IOleWindow;
    // E_INVALIDARG for a null window.
    virtual HRESULT GetWindow(HWND* window) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;

protected:
    ~IOleWindow() = default;
};

// The container's side of an embedded object.
struct IOleClientSite : IUnknown {
    static constexpr const IID& InterfaceId = IID_IOleClientSite;
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetMoniker(DWORD assign, DWORD which, IUnknown** moniker) = 0;
    virtual HRESULT GetContainer(IUnknown** container) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL show) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;

protected:
    ~IOleClientSite() = default;
};

// An embedded object: its client site and its verbs.
struct IOleObject : IUnknown {
    static constexpr const IID& InterfaceId = IID_IOleObject;
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual HRESULT Close(DWORD saveOption) = 0;
    // message may be null; parent is the window the object shows in, position its place
    // in parent's client area.
    virtual HRESULT DoVerb(LONG verb, MSG* message, IOleClientSite* site, LONG index, HWND parent,
                           const RECT* position) = 0;

protected:
    ~IOleObject() = default;
};

struct IOleInPlaceObject : IOleWindow {
    static constexpr const IID& InterfaceId = IID_IOleInPlaceObject;
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;

protected:
    ~IOleInPlaceObject() = default;
};

struct IOleInPlaceActiveObject : IOleWindow {
    static constexpr const IID& InterfaceId = IID_IOleInPlaceActiveObject;
    // S_OK when the object used the keystroke, S_FALSE when it did not.
    virtual HRESULT TranslateAccelerator(MSG* message) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;
    virtual HRESULT EnableModeless(BOOL enable) = 0;

protected:
    ~IOleInPlaceActiveObject() = default;
};

// Finds a service of the object's container by service id and interface.
struct IServiceProvider : IUnknown {
    static constexpr const IID& InterfaceId = IID_IServiceProvider;
    virtual HRESULT QueryService(REFGUID service, REFIID iid, void** object) = 0;

protected:
    ~IServiceProvider() = default;
};

struct OLECMD {
    ULONG cmdID = 0;
    DWORD cmdf = 0;
};
struct OLECMDTEXT;  // never filled here

struct IOleCommandTarget : IUnknown {
    static constexpr const IID& InterfaceId = IID_IOleCommandTarget;
    virtual HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                OLECMDTEXT* text) = 0;
    virtual HRESULT Exec(const GUID* group, DWORD command, DWORD option, VARIANT* in,
                         VARIANT* out) = 0;

protected:
    ~IOleCommandTarget() = default;
};

// A band's keyboard focus, as its site sees it.
struct IInputObject : IUnknown {
    static constexpr const IID& InterfaceId = IID_IInputObject;
    virtual HRESULT UIActivateIO(BOOL activate, MSG* message) = 0;
    virtual HRESULT HasFocusIO() = 0;
    virtual HRESULT TranslateAcceleratorIO(MSG* message) = 0;

protected:
    ~IInputObject() = default;
};

// The site a band tells when its focus changes.
struct IInputObjectSite : IUnknown {
    static constexpr const IID& InterfaceId = IID_IInputObjectSite;
    virtual HRESULT OnFocusChangeIS(IUnknown* object, BOOL focus) = 0;

protected:
    ~IInputObjectSite() = default;
};

struct IObjectWithSite : IUnknown {
    static constexpr const IID& InterfaceId = IID_IObjectWithSite;
    virtual HRESULT SetSite(IUnknown* site) = 0;
    virtual HRESULT GetSite(REFIID iid, void** site) = 0;

protected:
    ~IObjectWithSite() = default;
};

struct IConnectionPointContainer;

// One outgoing interface of an object: sinks advise to hear its calls.
struct IConnectionPoint : IUnknown {
    static constexpr const IID& InterfaceId = IID_IConnectionPoint;
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    // The sink must answer the outgoing interface (or IDispatch for a dispatch
    // interface); *cookie names the connection, never 0.
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    // CONNECT_E_NOCONNECTION for a cookie that names no live connection.
    virtual HRESULT Unadvise(DWORD cookie) = 0;

protected:
    ~IConnectionPoint() = default;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr const IID& InterfaceId = IID_IConnectionPointContainer;
    // CONNECT_E_NOCONNECTION for an interface the object does not call out on.
    virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;

protected:
    ~IConnectionPointContainer() = default;
};
