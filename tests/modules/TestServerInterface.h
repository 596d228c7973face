// The test server module's class and interface, for the COM library tests.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

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
