// Wrenlow's entry points: the class object of the band, the unload check, and the
// registration of the band under the browser's toolbar key with its class, ProgIDs and
// type library keys.
#include <atomic>
#include <new>
#include <string>

#include "platform/com/ClassFactory.h"
#include "platform/com/ServerExports.h"
#include "platform/com/ServerRegistration.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/trace/Trace.h"
#include "toolbar/Gorsebeck.h"
#include "toolbar/WrenlowRegistration.h"

namespace {

std::atomic<LONG> moduleLocks{0};

class GorsebeckClassFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The one class object lives as long as the module; its count only answers.
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CGorsebeck::Create(iid, object);
    }
    HRESULT LockServer(BOOL lock) override {
        if (lock)
            ++moduleLocks;
        else
            --moduleLocks;
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
};

GorsebeckClassFactory classFactory;

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_Gorsebeck)
        return CLASS_E_CLASSNOTAVAILABLE;
    return classFactory.QueryInterface(iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return moduleLocks.load() == 0 && LiveGorsebeckObjects() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT DllRegisterServer() {
    try {
        const std::string module = CurrentModulePath();
        if (module.empty()) {
            Trace("wrenlow", "registration: the module's own path is unknown");
            return SELFREG_E_CLASS;
        }
        HKEY key = nullptr;
        if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, kBrowserToolbarKey, &key) == ERROR_SUCCESS) {
            RegSetValueEx(key, kGorsebeckClassId, REG_BINARY, nullptr, 0);
            RegCloseKey(key);
        }
        return RegisterServerScript(WrenlowRegistryScript(), module);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT DllUnregisterServer() {
    try {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kBrowserToolbarKey, 0, KEY_WRITE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValue(key, kGorsebeckClassId);
            RegCloseKey(key);
        }
        return UnregisterServerScript(WrenlowRegistryScript());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
