// Corvane as a server: its exports, its registration keys, its unload check, and
// creation from several threads.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/com/Bstr.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ServerExports.h"
#include "platform/registry/Registry.h"
#include "tests/formatter/CorvaneTestSupport.h"

namespace {

const std::string kClassKey = "CLSID\\{B0CDF442-D28A-46B9-AE13-346FA93023A5}";
const std::string kLibraryKey = "TypeLib\\{3B6785DC-FD3C-4C7C-88D5-89E4D01A41E3}\\1.0";
const std::string kInterfaceKey = "Interface\\{8497EBB7-BF3D-4C40-9AAD-B64ABBF14848}";

// A text value under HKEY_CLASSES_ROOT without its terminating NUL.
std::string ClassesText(const std::string& path, const std::string& name = "") {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::string data;
    DWORD type = 0;
    const LONG status = RegQueryValueBytes(key, name, &type, &data);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<no value>";
    if (type != REG_SZ || data.empty() || data.back() != '\0')
        return "<not a terminated text>";
    data.pop_back();
    return data;
}

std::string RealPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? resolved : "";
}

using CorvaneServerTest = CorvaneTest;

TEST_F(CorvaneServerTest, OnlyTheFourEntryPointsAreExported) {
    for (const char* entry :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(GetLibrarySymbol(module_, entry), nullptr) << entry;
    // A platform call found through the module is the shared platform's, the one the
    // host calls (the module's dynamic symbols are checked by the InprocServerExports
    // tests).
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<const void*>(&SysFreeString), &info), 0);
    ASSERT_NE(info.dli_sname, nullptr);
    void* found = GetLibrarySymbol(module_, info.dli_sname);
    EXPECT_EQ(found, reinterpret_cast<void*>(&SysFreeString)) << info.dli_sname;
    EXPECT_NE(ModulePathOfAddress(found), RealPath(CORVANE_MODULE_PATH));
}

TEST_F(CorvaneServerTest, TheClassObjectMakesFormattersOnly) {
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(GetLibrarySymbol(module_, "DllGetClassObject"));
    ASSERT_NE(getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(CLSID_HtmlFormatter, IID_IClassFactory, nullptr), E_POINTER);

    ComPointer<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_HtmlFormatter, IID_IClassFactory, factory.putVoid()), S_OK);
    ComPointer<IUnknown> outer = Create().query<IUnknown>();
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    ComPointer<IHtmlFormatter> formatter;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHtmlFormatter, formatter.putVoid()), S_OK);
    ScopedBstr style;
    EXPECT_EQ(formatter->get_style(style.receive()), S_OK);
    EXPECT_EQ(style.utf8(), "All");
}

TEST_F(CorvaneServerTest, TheModuleMayUnloadOnlyWithoutObjectsAndLocks) {
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    ComPointer<IHtmlFormatter> second = formatter;
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    formatter.reset();
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    second.reset();
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);

    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(GetLibrarySymbol(module_, "DllGetClassObject"));
    ComPointer<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_HtmlFormatter, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

TEST_F(CorvaneServerTest, RegistrationWritesTheClassProgIdsAndTypeLibrary) {
    const std::string module = RealPath(CORVANE_MODULE_PATH);
    const std::string folder = module.substr(0, module.rfind('/'));
    const struct {
        std::string key;
        const char* name;
        std::string text;
    } expected[] = {
        {kClassKey, "", "HtmlFormatter Class"},
        {kClassKey + "\\InprocServer32", "", module},
        {kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {kClassKey + "\\ProgID", "", "Corvane.HtmlFormatter.1"},
        {kClassKey + "\\VersionIndependentProgID", "", "Corvane.HtmlFormatter"},
        {kClassKey + "\\Programmable", "", "<no value>"},
        {kClassKey + "\\TypeLib", "", "{3B6785DC-FD3C-4C7C-88D5-89E4D01A41E3}"},
        {"Corvane.HtmlFormatter.1", "", "HtmlFormatter Class"},
        {"Corvane.HtmlFormatter.1\\CLSID", "", "{B0CDF442-D28A-46B9-AE13-346FA93023A5}"},
        {"Corvane.HtmlFormatter", "", "HtmlFormatter Class"},
        {"Corvane.HtmlFormatter\\CLSID", "", "{B0CDF442-D28A-46B9-AE13-346FA93023A5}"},
        {"Corvane.HtmlFormatter\\CurVer", "", "Corvane.HtmlFormatter.1"},
        {kLibraryKey, "", "Corvane 1.0 Type Library"},
        {kLibraryKey, "Name", "CORVANELib"},
        {kLibraryKey + "\\0\\linux64", "", module},
        {kLibraryKey + "\\FLAGS", "", "0"},
        {kLibraryKey + "\\HELPDIR", "", folder},
        {kInterfaceKey, "", "IHtmlFormatter"},
        {kInterfaceKey, "HelpString", "IHtmlFormatter Interface"},
        {kInterfaceKey + "\\TypeLib", "", "{3B6785DC-FD3C-4C7C-88D5-89E4D01A41E3}"},
        {kInterfaceKey + "\\TypeLib", "Version", "1.0"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ClassesText(e.key, e.name), e.text) << e.key << " [" << e.name << "]";

    const struct {
        const char* name;
        const char* help;
    } members[] = {{"style", "property style"},      {"styles", "property styles"},
                   {"save", "method save"},          {"addImages", "method addImages"},
                   {"title", "property title"},      {"addComments", "method addComments"},
                   {"size", "method size"},          {"addNames", "method addNames"},
                   {"zoomSize", "property zoomSize"}};
    for (size_t i = 0; i < std::size(members); ++i) {
        const std::string key = kInterfaceKey + "\\Members\\" + std::to_string(i + 1);
        EXPECT_EQ(ClassesText(key), members[i].name) << key;
        EXPECT_EQ(ClassesText(key, "HelpString"), members[i].help) << key;
    }

    for (const char* progId : {"Corvane.HtmlFormatter", "Corvane.HtmlFormatter.1"}) {
        CLSID clsid = GUID_NULL;
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << progId;
        EXPECT_EQ(clsid, CLSID_HtmlFormatter) << progId;
    }
}

TEST_F(CorvaneServerTest, UnregisteringLeavesTheStoreAsItFoundIt) {
    for (bool populated : {false, true}) {
        ScopedRegistryStore store;
        if (populated) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT,
                                     "CLSID\\{00000000-1111-2222-3333-444444444444}", &key),
                      ERROR_SUCCESS);
            RegCloseKey(key);
            ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "Interface\\{x}\\TypeLib", &key),
                      ERROR_SUCCESS);
            RegCloseKey(key);
            ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &key),
                      ERROR_SUCCESS);
            RegSetValueEx(key, "show", REG_SZ, reinterpret_cast<const BYTE*>("true"), 5);
            RegCloseKey(key);
        }
        const std::string before = ListRegistry();
        ASSERT_EQ(Call("DllRegisterServer"), S_OK);
        ASSERT_EQ(Call("DllRegisterServer"), S_OK);  // twice, as an installer may
        EXPECT_NE(ListRegistry().find("{B0CDF442-D28A-46B9-AE13-346FA93023A5}"), std::string::npos);
        ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
        EXPECT_EQ(ListRegistry(), before) << (populated ? "populated store" : "empty store");
    }
}

TEST_F(CorvaneServerTest, AnUnregisteredFormatterCannotBeCreated) {
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IHtmlFormatter, &object),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST_F(CorvaneServerTest, PageJobsOnSeveralThreadsEachUseTheirOwnObject) {
    constexpr int kThreads = 6;
    std::vector<std::thread> threads;
    std::vector<HRESULT> results(kThreads, E_FAIL);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &results] {
            CoInitialize(nullptr);
            ComPointer<IUnknown> unknown;
            HRESULT hr = CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IUnknown,
                                          unknown.putVoid());
            if (SUCCEEDED(hr))
                hr = OleRun(unknown.get());
            ComPointer<IHtmlFormatter> formatter = unknown.query<IHtmlFormatter>();
            if (SUCCEEDED(hr) && formatter) {
                formatter->size(0, 0);
                formatter->put_style(ScopedBstr("thumbs").get());
                formatter->addImages(ScopedBstr("t" + std::to_string(t) + ".jpg").get());
                formatter->put_zoomSize(100);
                hr = formatter->save(ScopedBstr(Page("thread" + std::to_string(t) + ".htm")).get());
            }
            results[t] = hr;
            CoUninitialize();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(results[t], S_OK) << t;
        EXPECT_NE(Text(Page("thread" + std::to_string(t) + ".htm"))
                      .find("t" + std::to_string(t) + ".jpg"),
                  std::string::npos)
            << t;
    }
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

}  // namespace
