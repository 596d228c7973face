// The interfaces a browser uses to host a band beside its pages (an explorer bar), and
// the ones a band needs as the container of its own browser control: docking windows,
// band information, persistence, control sites and in-place sites. Our own declarations,
// holding the slots this system calls, each interface's slots in the platform's
// relative order.
//
// Threading: every call is made on the thread that owns the band's window.
#pragma once

#include <cstdint>

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "platform/com/Guid.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/Unknown.h"

inline constexpr IID IID_IDockingWindow = {
    0x012DD920, 0x7B26, 0x11D0, {0x8C, 0xA9, 0x00, 0xA0, 0xC9, 0x2D, 0xBF, 0xE8}};
inline constexpr IID IID_IDeskBand = {
    0xEB0FE172, 0x1A3A, 0x11D0, {0x89, 0xB3, 0x00, 0xA0, 0xC9, 0x0A, 0x90, 0xAC}};
inline constexpr IID IID_IPersist = {
    0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStream = {
    0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleControlSite = {
    0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IOleInPlaceSite = {
    0x00000119, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The component category of vertical explorer bars: a band class that implements it is
// offered beside the browser's pages.
inline constexpr GUID CATID_InfoBand = {
    0x00021493, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// What GetBandInfo is asked for (dwMask) and the band's mode flags.
constexpr DWORD DBIM_MINSIZE = 0x0001;
constexpr DWORD DBIM_MAXSIZE = 0x0002;
constexpr DWORD DBIM_INTEGRAL = 0x0004;
constexpr DWORD DBIM_ACTUAL = 0x0008;
constexpr DWORD DBIM_TITLE = 0x0010;
constexpr DWORD DBIM_MODEFLAGS = 0x0020;
constexpr DWORD DBIM_BKCOLOR = 0x0040;
constexpr DWORD DBIMF_NORMAL = 0x0000;
constexpr DWORD DBIMF_VARIABLEHEIGHT = 0x0008;

// A band's view modes (GetBandInfo's viewMode).
constexpr DWORD DBIF_VIEWMODE_NORMAL = 0x0000;
constexpr DWORD DBIF_VIEWMODE_VERTICAL = 0x0001;

// The title is UTF-16, as the platform's wide strings are.
struct DESKBANDINFO {
    DWORD dwMask = 0;
    POINT ptMinSize{};
    POINT ptMaxSize{};
    POINT ptIntegral{};
    POINT ptActual{};
    char16_t wszTitle[256] = {};
    DWORD dwModeFlags = 0;
    DWORD crBkgnd = 0;  // a COLORREF
};

// A window docked in the browser's frame.
struct IDockingWindow : IOleWindow {
    static constexpr const IID& InterfaceId = IID_IDockingWindow;
    virtual HRESULT ShowDW(BOOL show) = 0;
    virtual HRESULT CloseDW(DWORD reserved) = 0;
    virtual HRESULT ResizeBorderDW(const RECT* border, IUnknown* site, BOOL reserved) = 0;

protected:
    ~IDockingWindow() = default;
};

// A band: a docking window that tells its sizes and title.
struct IDeskBand : IDockingWindow {
    static constexpr const IID& InterfaceId = IID_IDeskBand;
    // info may be null: the band then only takes note of its id and mode.
    virtual HRESULT GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) = 0;

protected:
    ~IDeskBand() = default;
};

struct IStream;  // no streams here: a band's state is not persisted

struct IPersist : IUnknown {
    static constexpr const IID& InterfaceId = IID_IPersist;
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};

struct IPersistStream : IPersist {
    static constexpr const IID& InterfaceId = IID_IPersistStream;
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(std::uint64_t* size) = 0;

protected:
    ~IPersistStream() = default;
};

// The container's side of a control: focus and control information.
struct IOleControlSite : IUnknown {
    static constexpr const IID& InterfaceId = IID_IOleControlSite;
    virtual HRESULT OnControlInfoChanged() = 0;
    virtual HRESULT LockInPlaceActive(BOOL lock) = 0;
    virtual HRESULT GetExtendedControl(IDispatch** control) = 0;
    virtual HRESULT TransformCoords(POINT* himetric, POINT* container, DWORD flags) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message, DWORD modifiers) = 0;
    virtual HRESULT OnFocus(BOOL gotFocus) = 0;
    virtual HRESULT ShowPropertyFrame() = 0;

protected:
    ~IOleControlSite() = default;
};

struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;
struct OLEINPLACEFRAMEINFO;

// The container's side of an object active in place in one of its windows.
struct IOleInPlaceSite : IOleWindow {
    static constexpr const IID& InterfaceId = IID_IOleInPlaceSite;
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    // frame and document receive null here; position and clip the object's place.
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                     RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) = 0;
    virtual HRESULT Scroll(SIZE extent) = 0;
    virtual HRESULT OnUIDeactivate(BOOL undoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT DiscardUndoState() = 0;
    virtual HRESULT DeactivateAndUndo() = 0;
    virtual HRESULT OnPosRectChange(const RECT* position) = 0;

protected:
    ~IOleInPlaceSite() = default;
};
