// The test server module's class and interfaces, for the COM library tests and the
// tests of the one platform a host and its modules share.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/window/Window.h"

// {5E0C3A1D-92B7-4C5E-8F14-6A2D9B3E7C01}
inline constexpr CLSID CLSID_TestCounter = {
    0x5E0C3A1D, 0x92B7, 0x4C5E, {0x8F, 0x14, 0x6A, 0x2D, 0x9B, 0x3E, 0x7C, 0x01}};
// Registered to the same module, which does not serve it.
// {5E0C3A1D-92B7-4C5E-8F14-6A2D9B3E7C02}
inline constexpr CLSID CLSID_TestUnservedClass = {
    0x5E0C3A1D, 0x92B7, 0x4C5E, {0x8F, 0x14, 0x6A, 0x2D, 0x9B, 0x3E, 0x7C, 0x02}};
// {5E0C3A1D-92B7-4C5E-8F14-6A2D9B3E7C03}
inline constexpr IID IID_ITestCounter = {
    0x5E0C3A1D, 0x92B7, 0x4C5E, {0x8F, 0x14, 0x6A, 0x2D, 0x9B, 0x3E, 0x7C, 0x03}};

// {5E0C3A1D-92B7-4C5E-8F14-6A2D9B3E7C04}
inline constexpr IID IID_IPlatformProbe = {
    0x5E0C3A1D, 0x92B7, 0x4C5E, {0x8F, 0x14, 0x6A, 0x2D, 0x9B, 0x3E, 0x7C, 0x04}};

inline constexpr const char* kTestCounterProgId = "Morvelle.TestCounter";

struct ITestCounter : IUnknown {
    static constexpr const IID& InterfaceId = IID_ITestCounter;

    // 1, 2, 3... on successive calls on one object.
    virtual HRESULT Next(LONG* value) = 0;
    // Whether the object's IRunnableObject::Run has been called.
    virtual HRESULT WasRun(BOOL* run) = 0;
    // A BSTR made inside the module, for the caller to free.
    virtual HRESULT Text(BSTR* text) = 0;
    // How often the module's DllCanUnloadNow has been asked so far.
    virtual HRESULT UnloadChecks(LONG* count) = 0;

protected:
    ~ITestCounter() = default;
};

// Platform calls made from inside the server module, on the caller's thread.
struct IPlatformProbe : IUnknown {
    static constexpr const IID& InterfaceId = IID_IPlatformProbe;

    // IsWindow and PostMessage as the module sees them.
    virtual HRESULT IsLiveWindow(HWND hwnd, BOOL* live) = 0;
    virtual HRESULT Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Creates the module's window on the calling thread (one per object); its handler
    // keeps the last message it was given.
    virtual HRESULT MakeWindow(HWND* hwnd) = 0;
    virtual HRESULT LastMessage(UINT* message, WPARAM* wParam, LPARAM* lParam) = 0;
    // DestroyWindow from the module, for any handle.
    virtual HRESULT EndWindow(HWND hwnd) = 0;
    // A text value of HKEY_CURRENT_USER\<path>: read (S_FALSE when missing) and written.
    virtual HRESULT ReadText(const char* path, const char* name, BSTR* value) = 0;
    virtual HRESULT WriteText(const char* path, const char* name, const char* value) = 0;
    // The bytes of the HTML resource id of ThisModule() as the module's code finds it
    // (S_FALSE when there is none).
    virtual HRESULT OwnHtmlResource(int id, BSTR* bytes) = 0;
    // ProcessLockDepth() as the module sees it.
    virtual HRESULT LockDepth(LONG* depth) = 0;

protected:
    ~IPlatformProbe() = default;
};
