// Corvane's entry points: the class object of HtmlFormatter, the unload check, and the
// registration of the class, its ProgIDs, its interface and its type library.
//
// No type library file is made: the type library's registration keys are written, and
// the help strings a type library would hold are written under the interface's key.
#include "formatter/FormatterModule.h"

#include <atomic>
#include <new>
#include <string>

#include "formatter/HtmlFormatter.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ServerExports.h"
#include "platform/com/ServerRegistration.h"
#include "platform/module/SharedLibrary.h"
#include "platform/trace/Trace.h"

namespace {

std::atomic<LONG> moduleLocks{0};

constexpr const char* kClassDescription = "HtmlFormatter Class";
constexpr const char* kProgId = "Corvane.HtmlFormatter.1";
constexpr const char* kVersionIndependentProgId = "Corvane.HtmlFormatter";
constexpr const char* kThreadingModel = "Apartment";
constexpr const char* kTypeLibraryId = "{3B6785DC-FD3C-4C7C-88D5-89E4D01A41E3}";
constexpr const char* kTypeLibraryName = "CORVANELib";
constexpr const char* kTypeLibraryVersion = "1.0";
constexpr const char* kTypeLibraryHelp = "Corvane 1.0 Type Library";
constexpr const char* kInterfaceName = "IHtmlFormatter";
constexpr const char* kInterfaceHelp = "IHtmlFormatter Interface";

struct MemberHelp {
    const char* name;
    DISPID dispid;
    const char* helpString;
};

constexpr MemberHelp kMemberHelp[] = {
    {"style", 1, "property style"},       {"styles", 2, "property styles"},
    {"save", 3, "method save"},           {"addImages", 4, "method addImages"},
    {"title", 5, "property title"},       {"addComments", 6, "method addComments"},
    {"size", 7, "method size"},           {"addNames", 8, "method addNames"},
    {"zoomSize", 9, "property zoomSize"},
};

const RegistryScript& FormatterRegistryScript() {
    static const RegistryScript script = [] {
        const std::string clsidKey = "CLSID\\" + GuidToString(CLSID_HtmlFormatter);
        const std::string interfaceKey = "Interface\\" + GuidToString(IID_IHtmlFormatter);
        const std::string libraryKey =
            std::string("TypeLib\\") + kTypeLibraryId + "\\" + kTypeLibraryVersion;
        RegistryScript s;
        s.ownedKeys = {kProgId, kVersionIndependentProgId, clsidKey, libraryKey, interfaceKey};
        s.keys = {
            {kProgId, {{"", kClassDescription}}},
            {std::string(kProgId) + "\\CLSID", {{"", GuidToString(CLSID_HtmlFormatter)}}},
            {kVersionIndependentProgId, {{"", kClassDescription}}},
            {std::string(kVersionIndependentProgId) + "\\CLSID",
             {{"", GuidToString(CLSID_HtmlFormatter)}}},
            {std::string(kVersionIndependentProgId) + "\\CurVer", {{"", kProgId}}},
            {clsidKey, {{"", kClassDescription}}},
            {clsidKey + "\\ProgID", {{"", kProgId}}},
            {clsidKey + "\\VersionIndependentProgID", {{"", kVersionIndependentProgId}}},
            {clsidKey + "\\Programmable", {}},
            {clsidKey + "\\InprocServer32",
             {{"", "%MODULE%"}, {"ThreadingModel", kThreadingModel}}},
            {clsidKey + "\\TypeLib", {{"", kTypeLibraryId}}},
            {libraryKey, {{"", kTypeLibraryHelp}, {"Name", kTypeLibraryName}}},
            {libraryKey + "\\0\\linux64", {{"", "%MODULE%"}}},
            {libraryKey + "\\FLAGS", {{"", "0"}}},
            {libraryKey + "\\HELPDIR", {{"", "%MODULEFOLDER%"}}},
            {interfaceKey, {{"", kInterfaceName}, {"HelpString", kInterfaceHelp}}},
            {interfaceKey + "\\TypeLib", {{"", kTypeLibraryId}, {"Version", kTypeLibraryVersion}}},
        };
        for (const MemberHelp& member : kMemberHelp) {
            s.keys.push_back({interfaceKey + "\\Members\\" + std::to_string(member.dispid),
                              {{"", member.name}, {"HelpString", member.helpString}}});
        }
        return s;
    }();
    return script;
}

// The one class object; it lives as long as the module, so its count only answers.
class FormatterClassFactory final : public IClassFactory {
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
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CHtmlFormatter::Create(iid, object);
    }
    HRESULT LockServer(BOOL lock) override {
        if (lock)
            LockFormatterModule();
        else
            UnlockFormatterModule();
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
};

FormatterClassFactory classFactory;

}  // namespace

void LockFormatterModule() {
    ++moduleLocks;
}

void UnlockFormatterModule() {
    --moduleLocks;
}

LONG FormatterModuleLockCount() {
    return moduleLocks.load();
}

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_HtmlFormatter)
        return CLASS_E_CLASSNOTAVAILABLE;
    return classFactory.QueryInterface(iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return FormatterModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT DllRegisterServer() {
    try {
        const std::string module = CurrentModulePath();
        if (module.empty()) {
            Trace("formatter", "registration: the module's own path is unknown");
            return SELFREG_E_CLASS;
        }
        return RegisterServerScript(FormatterRegistryScript(), module);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT DllUnregisterServer() {
    try {
        return UnregisterServerScript(FormatterRegistryScript());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
