// The band module's class object, unload check, registration and engine.
#include "band/BandModule.h"

#include <atomic>
#include <chrono>
#include <new>
#include <string>

#include "band/PanelBand.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/JobManager.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "platform/com/BandInterfaces.h"
#include "platform/com/ClassFactory.h"
#include "platform/module/SharedLibrary.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"

namespace {

std::atomic<LONG> moduleLocks{0};
std::atomic<LONG> bandObjects{0};

constexpr const char* kThreadingModel = "Apartment";
constexpr const char* kLibraryVersion = "1.0";

// The one class object of the module; it lives as long as the module.
class BandClassFactory final : public IClassFactory {
public:
    explicit BandClassFactory(const BandProduct& product) : product_(product) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CPanelBand::Create(product_, iid, object);
    }
    HRESULT LockServer(BOOL lock) override {
        if (lock)
            ++moduleLocks;
        else
            --moduleLocks;
        return S_OK;
    }

private:
    const BandProduct& product_;
};

}  // namespace

RegistryScript BandRegistryScript(const BandProduct& product) {
    const std::string clsid = GuidToString(product.classId);
    const std::string libid = GuidToString(product.libraryId);
    const std::string clsidKey = "CLSID\\" + clsid;
    const std::string libraryKey = "TypeLib\\" + libid + "\\" + kLibraryVersion;
    const std::string interfaceKey = "Interface\\" + GuidToString(product.interfaceId);
    const std::string progId(product.progId);
    const std::string independent(product.versionIndependentProgId);
    const std::string name(product.friendlyName);
    const std::string progIdName(product.progIdDescription);
    RegistryScript s;
    s.ownedKeys = {progId, independent, clsidKey, libraryKey, interfaceKey};
    s.keys = {
        {progId, {{"", progIdName}}},
        {progId + "\\CLSID", {{"", clsid}}},
        {independent, {{"", progIdName}}},
        {independent + "\\CLSID", {{"", clsid}}},
        {independent + "\\CurVer", {{"", progId}}},
        {clsidKey, {{"", name}}},
        {clsidKey + "\\ProgID", {{"", progId}}},
        {clsidKey + "\\VersionIndependentProgID", {{"", independent}}},
        {clsidKey + "\\Programmable", {}},
        {clsidKey + "\\InprocServer32", {{"", "%MODULE%"}, {"ThreadingModel", kThreadingModel}}},
        {clsidKey + "\\TypeLib", {{"", libid}}},
        {clsidKey + "\\Implemented Categories\\" + GuidToString(CATID_InfoBand), {}},
        {libraryKey,
         {{"", std::string(product.libraryHelp)}, {"Name", std::string(product.libraryName)}}},
        {libraryKey + "\\0\\linux64", {{"", "%MODULE%"}}},
        {libraryKey + "\\FLAGS", {{"", "0"}}},
        {libraryKey + "\\HELPDIR", {{"", "%MODULEFOLDER%"}}},
        {interfaceKey, {{"", std::string(product.interfaceName)}}},
        {interfaceKey + "\\TypeLib", {{"", libid}, {"Version", kLibraryVersion}}},
    };
    return s;
}

HRESULT BandGetClassObject(const BandProduct& product, REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != product.classId)
        return CLASS_E_CLASSNOTAVAILABLE;
    static BandClassFactory factory(product);
    return factory.QueryInterface(iid, object);
}

HRESULT BandCanUnloadNow() {
    return moduleLocks.load() == 0 && bandObjects.load() == 0 ? S_OK : S_FALSE;
}

HRESULT BandRegisterServer(const BandProduct& product) {
    try {
        const std::string module = CurrentModulePath();
        if (module.empty())
            return SELFREG_E_CLASS;
        return RegisterServerScript(BandRegistryScript(product), module);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT BandUnregisterServer(const BandProduct& product) {
    try {
        return UnregisterServerScript(BandRegistryScript(product));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void BandObjectCreated() {
    ++bandObjects;
}

void BandObjectDestroyed() {
    if (--bandObjects == 0)
        StopBandEngine();
}

LONG BandObjectCount() {
    return bandObjects.load();
}

void StartBandEngine(const BandProduct& product) {
    SetThumbnailsMade(product.makesThumbnails);
    if (theJobManager == nullptr) {
        auto* manager = new JobManager(product.jobLimit);
        theJobManager = manager;
        manager->StartThread();
    }
    // The last band's end may have left the engine behind (its jobs still ran), its
    // pool closed: the pool lends again, so this band's extractions get browsers.
    if (theBrowserPool != nullptr)
        theBrowserPool->ReopenPool();
}

void StopBandEngine() {
    JobManager* manager = theJobManager;
    if (manager == nullptr)
        return;
    if (theBrowserPool != nullptr)
        theBrowserPool->ClosePool();
    // The jobs still running (cancelled by their panels) end quickly once no page can
    // load; the pool and the manager go only after them.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(Timing().pageLoadGuardMs);
    while ((manager->CountRunning() > 0 || manager->CountWaiting() > 0) &&
           std::chrono::steady_clock::now() < deadline)
        Sleep(Timing().jobPollMs);
    if (manager->CountRunning() > 0 || manager->CountWaiting() > 0) {
        Trace("band", "the engine stays: jobs still run at the end of the last band");
        return;
    }
    ShutdownBrowserPool();
    manager->Stop();
    manager->Join();
    theJobManager = nullptr;
    DeleteJob(manager);
}
