// The COM library calls of the platform for in-process servers: per-thread
// initialisation, creating an object by its class identifier from the server the
// registry names, running it, releasing servers no longer in use, and ProgIDs.
//
// A class is found under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32, whose default
// value is the Linux path of the server module. The module is loaded on first use and
// kept loaded; only CoFreeUnusedLibraries releases it, when it answers S_OK to
// DllCanUnloadNow (its code stays mapped, as LoadSharedLibrary says; the next creation
// loads it again and starts from its DllGetClassObject). All calls are safe on any thread. No lock
// is held while a server's class object or objects run (they may create objects of other servers);
// a lock is held while a module loads and while its DllCanUnloadNow answers, so neither a server's
// static initialisation nor its DllCanUnloadNow may create objects.
#pragma once

#include <string_view>

#include "platform/base/Types.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL = 0x17;

// Counts initialisations of the calling thread: S_OK for the first, S_FALSE for each
// further one. It prepares nothing; creation works on any thread. reserved is ignored.
HRESULT CoInitialize(void* reserved);
// Takes back one CoInitialize of the calling thread; harmless without one.
void CoUninitialize();

// Creates an object of clsid from its in-process server and asks it for iid.
// *object receives an owned reference, or null on failure:
//   E_POINTER            object is null;
//   REGDB_E_CLASSNOTREG  no in-process server is registered for clsid (or context
//                        does not include CLSCTX_INPROC_SERVER);
//   CO_E_DLLNOTFOUND     the registered module file does not exist;
//   CO_E_ERRORINDLL      the module will not load or exports no DllGetClassObject;
//   E_NOINTERFACE        the object has no interface iid;
//   or what the server's class object answers (CLASS_E_CLASSNOTAVAILABLE,
//   CLASS_E_NOAGGREGATION, E_OUTOFMEMORY...).
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

// Releases every server that is not creating an object at the moment and whose
// DllCanUnloadNow answers S_OK. A server without DllCanUnloadNow stays loaded.
void CoFreeUnusedLibraries();

// Identifiers of the runnable side of an object.
inline constexpr IID IID_IRunnableObject = {
    0x00000126, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IBindCtx;  // no binding contexts here: always null

// The side of an object that is put into its running state before use.
struct IRunnableObject : IUnknown {
    static constexpr const IID& InterfaceId = IID_IRunnableObject;

    virtual HRESULT GetRunningClass(CLSID* clsid) = 0;
    virtual HRESULT Run(IBindCtx* bindContext) = 0;
    virtual BOOL IsRunning() = 0;
    virtual HRESULT LockRunning(BOOL lock, BOOL lastUnlockCloses) = 0;
    virtual HRESULT SetContainedObject(BOOL contained) = 0;

protected:
    ~IRunnableObject() = default;
};

// Puts an object into its running state: an object with IRunnableObject is run (its
// Run's result); any other in-process object is running already (S_OK).
// E_INVALIDARG for a null object.
HRESULT OleRun(IUnknown* object);

// The class a ProgID names (HKEY_CLASSES_ROOT\<progId>\CLSID). CO_E_CLASSSTRING, and
// *clsid GUID_NULL, when it names none; E_INVALIDARG for a null clsid.
HRESULT CLSIDFromProgID(std::string_view progId, CLSID* clsid);
