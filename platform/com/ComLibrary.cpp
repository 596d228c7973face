#include "platform/com/ComLibrary.h"

#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/ClassFactory.h"
#include "platform/com/ServerExports.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/trace/Trace.h"

namespace {

thread_local int initialisations = 0;

struct LoadedServer {
    std::string path;
    HLIBRARY module = nullptr;
    DllGetClassObjectFunction getClassObject = nullptr;
    DllCanUnloadNowFunction canUnloadNow = nullptr;  // null: never unloaded
    int creating = 0;                                // creations in progress
};

// The loaded servers. The lock is held only to find, load or unload a module, never
// while a server's class object or objects run.
std::mutex serversLock;
std::vector<std::unique_ptr<LoadedServer>>& Servers() {
    // Lives to the process's very end: a job thread may still create an object while
    // the process's static objects are being destroyed.
    static auto* servers = new std::vector<std::unique_ptr<LoadedServer>>;
    return *servers;
}

// The default text value of HKEY_CLASSES_ROOT\path; false when there is none.
bool ReadClassesText(const std::string& path, std::string* text) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    const LONG status = RegQueryValueBytes(key, "", &type, text);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    while (!text->empty() && text->back() == '\0')
        text->pop_back();
    return true;
}

bool IsFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The loaded server of path, loading it first when needed, with one creation counted
// on it; null with the failure in *hr.
LoadedServer* AcquireServer(const std::string& path, HRESULT* hr) {
    std::lock_guard lock(serversLock);
    for (const auto& server : Servers()) {
        if (server->path == path) {
            ++server->creating;
            return server.get();
        }
    }
    if (!IsFile(path)) {
        Trace("com", "the server module %s does not exist", path.c_str());
        *hr = CO_E_DLLNOTFOUND;
        return nullptr;
    }
    std::string reason;
    HLIBRARY module = LoadSharedLibrary(path, &reason);
    if (!module) {
        Trace("com", "the server module %s will not load: %s", path.c_str(), reason.c_str());
        *hr = CO_E_ERRORINDLL;
        return nullptr;
    }
    auto server = std::make_unique<LoadedServer>();
    server->path = path;
    server->module = module;
    server->getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(GetLibrarySymbol(module, "DllGetClassObject"));
    server->canUnloadNow =
        reinterpret_cast<DllCanUnloadNowFunction>(GetLibrarySymbol(module, "DllCanUnloadNow"));
    if (!server->getClassObject) {
        Trace("com", "the server module %s exports no DllGetClassObject", path.c_str());
        FreeSharedLibrary(module);
        *hr = CO_E_ERRORINDLL;
        return nullptr;
    }
    server->creating = 1;
    Servers().push_back(std::move(server));
    return Servers().back().get();
}

void ReleaseServer(LoadedServer* server) {
    std::lock_guard lock(serversLock);
    --server->creating;
}

HRESULT CreateFromServer(LoadedServer& server, REFCLSID clsid, IUnknown* outer, REFIID iid,
                         void** object) {
    try {
        ComPointer<IClassFactory> factory;
        HRESULT hr = server.getClassObject(clsid, IID_IClassFactory, factory.putVoid());
        if (FAILED(hr))
            return hr;
        if (!factory)
            return E_UNEXPECTED;
        hr = factory->CreateInstance(outer, iid, object);
        if (FAILED(hr))
            *object = nullptr;
        return hr;
    } catch (...) {
        Trace("com", "the server module %s threw out of a creation", server.path.c_str());
        *object = nullptr;
        return E_UNEXPECTED;
    }
}

}  // namespace

HRESULT CoInitialize(void*) {
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (initialisations > 0)
        --initialisations;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if ((context & CLSCTX_INPROC_SERVER) == 0)
        return REGDB_E_CLASSNOTREG;
    std::string path;
    try {
        if (!ReadClassesText("CLSID\\" + GuidToString(clsid) + "\\InprocServer32", &path))
            return REGDB_E_CLASSNOTREG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (path.empty())
        return CO_E_DLLNOTFOUND;
    HRESULT hr = S_OK;
    LoadedServer* server = nullptr;
    try {
        server = AcquireServer(path, &hr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!server)
        return hr;
    hr = CreateFromServer(*server, clsid, outer, iid, object);
    ReleaseServer(server);
    return hr;
}

void CoFreeUnusedLibraries() {
    std::lock_guard lock(serversLock);
    auto& servers = Servers();
    for (auto it = servers.begin(); it != servers.end();) {
        LoadedServer& server = **it;
        if (server.creating == 0 && server.canUnloadNow && server.canUnloadNow() == S_OK) {
            FreeSharedLibrary(server.module);
            it = servers.erase(it);
        } else {
            ++it;
        }
    }
}

HRESULT OleRun(IUnknown* object) {
    if (!object)
        return E_INVALIDARG;
    ComPointer<IRunnableObject> runnable;
    if (FAILED(object->QueryInterface(IID_IRunnableObject, runnable.putVoid())) || !runnable)
        return S_OK;
    return runnable->Run(nullptr);
}

HRESULT CLSIDFromProgID(std::string_view progId, CLSID* clsid) {
    if (!clsid)
        return E_INVALIDARG;
    *clsid = GUID_NULL;
    std::string text;
    try {
        if (progId.empty() || !ReadClassesText(std::string(progId) + "\\CLSID", &text))
            return CO_E_CLASSSTRING;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return CLSIDFromString(text, clsid);
}
