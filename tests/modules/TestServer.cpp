// An in-process server for the COM library tests: one class, CLSID_TestCounter, whose
// objects offer ITestCounter, IRunnableObject and IPlatformProbe.
#include <atomic>
#include <string>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/com/ServerRegistration.h"
#include "platform/lock/ProcessLock.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/resource/Resource.h"
#include "platform/window/Window.h"
#include "tests/modules/TestServerInterface.h"

namespace {

std::atomic<LONG> moduleLocks{0};
std::atomic<LONG> unloadChecks{0};

// The handler of the module's window: keeps the last message.
class RecordingHandler final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_APP) {
            message_ = message;
            wParam_ = wParam;
            lParam_ = lParam;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    UINT message_ = WM_NULL;
    WPARAM wParam_ = 0;
    LPARAM lParam_ = 0;
};

class TestCounter final : public ITestCounter, public IRunnableObject, public IPlatformProbe {
public:
    TestCounter() { ++moduleLocks; }
    ~TestCounter() {
        DestroyWindow(window_);
        --moduleLocks;
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ITestCounter)
            *object = static_cast<ITestCounter*>(this);
        else if (iid == IID_IRunnableObject)
            *object = static_cast<IRunnableObject*>(this);
        else if (iid == IID_IPlatformProbe)
            *object = static_cast<IPlatformProbe*>(this);
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

    HRESULT IsLiveWindow(HWND hwnd, BOOL* live) override { return *live = IsWindow(hwnd), S_OK; }
    HRESULT Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return PostMessage(hwnd, message, wParam, lParam) ? S_OK : E_FAIL;
    }
    HRESULT MakeWindow(HWND* hwnd) override {
        if (!window_)
            window_ = CreateMessageWindow(&handler_);
        *hwnd = window_;
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT LastMessage(UINT* message, WPARAM* wParam, LPARAM* lParam) override {
        *message = handler_.message_;
        *wParam = handler_.wParam_;
        *lParam = handler_.lParam_;
        return S_OK;
    }
    HRESULT EndWindow(HWND hwnd) override { return DestroyWindow(hwnd) ? S_OK : E_FAIL; }
    HRESULT ReadText(const char* path, const char* name, BSTR* value) override {
        *value = nullptr;
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return S_FALSE;
        std::string data;
        DWORD type = 0;
        const LONG status = RegQueryValueBytes(key, name, &type, &data);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_SZ)
            return S_FALSE;
        if (!data.empty() && data.back() == '\0')
            data.pop_back();
        *value = Utf8ToBstr(data);
        return S_OK;
    }
    HRESULT WriteText(const char* path, const char* name, const char* value) override {
        HKEY key = nullptr;
        if (RegCreateKeyEx(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
            return E_FAIL;
        const std::string text(value);
        const LONG status = RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                          static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? S_OK : E_FAIL;
    }
    HRESULT OwnHtmlResource(int id, BSTR* bytes) override {
        *bytes = nullptr;
        HRSRC resource = FindResource(ThisModule(), id, RT_HTML);
        if (!resource)
            return S_FALSE;
        const BYTE* data = LoadResource(ThisModule(), resource);
        *bytes = Utf8ToBstr(std::string(reinterpret_cast<const char*>(data),
                                        SizeofResource(ThisModule(), resource)));
        return S_OK;
    }
    HRESULT LockDepth(LONG* depth) override { return *depth = ProcessLockDepth(), S_OK; }

private:
    std::atomic<ULONG> references_{0};
    LONG count_ = 0;
    bool run_ = false;
    RecordingHandler handler_;
    HWND window_ = nullptr;
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
