// The four entry points every in-process server exports (extern "C", its only
// exported symbols), and their types for the code that looks them up.
#pragma once

#include "platform/base/Types.h"
#include "platform/com/Guid.h"

extern "C" {
// The class object of clsid, asked for iid (normally IID_IClassFactory);
// CLASS_E_CLASSNOTAVAILABLE for a class the server does not have.
HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
// S_OK when no object of the server lives and no lock is held, else S_FALSE.
HRESULT DllCanUnloadNow();
// Writes, respectively removes, the server's registry keys.
HRESULT DllRegisterServer();
HRESULT DllUnregisterServer();
}

using DllGetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
