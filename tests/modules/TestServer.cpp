// An in-process server for the COM library tests: one class, CLSID_TestCounter, whose
// objects offer ITestCounter and IRunnableObject.
#include <atomic>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/com/ServerRegistration.h"
#include "platform/module/SharedLibrary.h"
#include "tests/modules/TestServerInterface.h"

namespace {

std::atomic<LONG> moduleLocks{0};
std::atomic<LONG> unloadChecks{0};

class TestCounter final : public ITestCounter, public IRunnableObject {
public:
    TestCounter() { ++moduleLocks; }
    ~TestCounter() { --moduleLocks; }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ITestCounter)
            *object = static_cast<ITestCounter*>(this);
        else if (iid == IID_IRunnableObject)
            *object = static_cast<IRunnableObject*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT Next(LONG* value) override { return *value = ++count_, S_OK; }
    HRESULT WasRun(BOOL* run) override { return *run = run_ ? TRUE : FALSE, S_OK; }
    HRESULT Text(BSTR* text) override {
        *text = Utf8ToBstr("Z\xC3\xA4hler");
        return *text ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT UnloadChecks(LONG* count) override { return *count = unloadChecks, S_OK; }

    HRESULT GetRunningClass(CLSID* clsid) override { return *clsid = CLSID_TestCounter, S_OK; }
    HRESULT Run(IBindCtx*) override { return run_ = true, S_OK; }
    BOOL IsRunning() override { return run_ ? TRUE : FALSE; }
    HRESULT LockRunning(BOOL, BOOL) override { return S_OK; }
    HRESULT SetContainedObject(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> references_{0};
    LONG count_ = 0;
    bool run_ = false;
};

class TestFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        return *object = nullptr, E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* counter = new TestCounter();
        counter->AddRef();
        const HRESULT hr = counter->QueryInterface(iid, object);
        counter->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override {
        moduleLocks += lock ? 1 : -1;
        return S_OK;
    }
};

TestFactory factory;

RegistryScript Script() {
    const std::string served = "CLSID\\" + GuidToString(CLSID_TestCounter);
    const std::string unserved = "CLSID\\" + GuidToString(CLSID_TestUnservedClass);
    RegistryScript script;
    script.ownedKeys = {served, unserved, kTestCounterProgId};
    script.keys = {
        {served, {{"", "Test counter"}}},
        {served + "\\InprocServer32", {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
        {unserved + "\\InprocServer32", {{"", "%MODULE%"}}},
        {std::string(kTestCounterProgId) + "\\CLSID", {{"", GuidToString(CLSID_TestCounter)}}},
    };
    return script;
}

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (clsid != CLSID_TestCounter)
        return *object = nullptr, CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    ++unloadChecks;
    return moduleLocks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT DllRegisterServer() {
    return RegisterServerScript(Script(), CurrentModulePath());
}

extern "C" HRESULT DllUnregisterServer() {
    return UnregisterServerScript(Script());
}
