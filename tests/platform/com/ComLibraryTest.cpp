// Creating objects from in-process servers through the registry, and the failures.
#include "platform/com/ComLibrary.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/com/ClassFactory.h"
#include "platform/com/Dispatch.h"
#include "platform/com/ServerExports.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "tests/modules/TestServerInterface.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

namespace {

// {5E0C3A1D-92B7-4C5E-8F14-6A2D9B3E7CFF}
constexpr CLSID kOtherClass = {
    0x5E0C3A1D, 0x92B7, 0x4C5E, {0x8F, 0x14, 0x6A, 0x2D, 0x9B, 0x3E, 0x7C, 0xFF}};

void RegisterClassAt(REFCLSID clsid, const std::string& modulePath) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT,
                             "CLSID\\" + GuidToString(clsid) + "\\InprocServer32", &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "", REG_SZ, reinterpret_cast<const BYTE*>(modulePath.c_str()),
                            static_cast<DWORD>(modulePath.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// Whether the module is loaded in this process at the moment.
bool IsLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

class ComLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadSharedLibrary(TEST_SERVER_MODULE_PATH);
        ASSERT_NE(module_, nullptr);
        auto reg = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK);
    }
    void TearDown() override { FreeSharedLibrary(module_); }

    ScopedRegistryStore store_;
    HLIBRARY module_ = nullptr;
};

TEST_F(ComLibraryTest, CreatesAnObjectFromTheRegisteredServer) {
    ComPointer<ITestCounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_ITestCounter,
                               counter.putVoid()),
              S_OK);
    ASSERT_TRUE(counter);
    LONG value = 0;
    counter->Next(&value);
    counter->Next(&value);
    EXPECT_EQ(value, 2);
    // A BSTR made in the server is freed here.
    ScopedBstr text;
    ASSERT_EQ(counter->Text(text.receive()), S_OK);
    EXPECT_EQ(text.utf8(), "Z\xC3\xA4hler");

    ComPointer<ITestCounter> second;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ITestCounter,
                               second.putVoid()),
              S_OK);
    second->Next(&value);
    EXPECT_EQ(value, 1);
}

TEST_F(ComLibraryTest, FailuresGiveThePlatformsCodesAndNoObject) {
    const std::string missing = MakeTestFolder("modules") + "/missing.so";
    const std::string notAModule = MakeTestFolder("modules") + "/garbage.so";
    ASSERT_TRUE(WriteFileBytes(notAModule, "this is no shared library"));
    struct Case {
        const char* what;
        std::string path;  // "" leaves the class unregistered
        HRESULT expected;
    };
    const Case cases[] = {
        {"unregistered class", "", REGDB_E_CLASSNOTREG},
        {"module that does not exist", missing, CO_E_DLLNOTFOUND},
        {"file that is no module", notAModule, CO_E_ERRORINDLL},
        {"module without the exports", MODULE_WITHOUT_EXPORTS_PATH, CO_E_ERRORINDLL},
        {"module that does not serve the class", TEST_SERVER_MODULE_PATH,
         CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        ScopedRegistryStore store;
        if (!c.path.empty())
            RegisterClassAt(kOtherClass, c.path);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object),
                  c.expected)
            << c.what;
        EXPECT_EQ(object, nullptr) << c.what;
    }
}

TEST_F(ComLibraryTest, AMissingInterfaceOrAWrongContextGivesNoObject) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IDispatch, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(
        CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr),
              E_POINTER);
    // The server's own refusal of aggregation comes through.
    ComPointer<IUnknown> outer;
    ASSERT_EQ(
        CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, outer.putVoid()),
        S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, outer.get(), CLSCTX_ALL, IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComLibraryTest, UnusedServersAreReleasedOnlyWhenTheyAgree) {
    ComPointer<ITestCounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_ITestCounter,
                               counter.putVoid()),
              S_OK);
    LONG before = 0;
    counter->UnloadChecks(&before);
    CoFreeUnusedLibraries();  // asked: an object lives, so it stays
    CoFreeUnusedLibraries();  // asked again
    LONG checks = 0;
    counter->UnloadChecks(&checks);
    EXPECT_EQ(checks, before + 2);
    counter.reset();
    CoFreeUnusedLibraries();  // asked: it agrees and is released
    CoFreeUnusedLibraries();  // no longer held, so not asked
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_ITestCounter,
                               counter.putVoid()),
              S_OK);
    counter->UnloadChecks(&checks);
    EXPECT_EQ(checks, before + 3);
    // The module stays mapped: its state outlives every release.
    EXPECT_TRUE(IsLoaded(TEST_SERVER_MODULE_PATH));
    counter.reset();
    CoFreeUnusedLibraries();
}

TEST_F(ComLibraryTest, OleRunRunsARunnableObjectAndPassesOthers) {
    ComPointer<ITestCounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_ITestCounter,
                               counter.putVoid()),
              S_OK);
    BOOL run = TRUE;
    counter->WasRun(&run);
    EXPECT_FALSE(run);
    EXPECT_EQ(OleRun(counter.get()), S_OK);
    counter->WasRun(&run);
    EXPECT_TRUE(run);

    ComPointer<IClassFactory> factory;
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(GetLibrarySymbol(module_, "DllGetClassObject"));
    ASSERT_EQ(getClassObject(CLSID_TestCounter, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(OleRun(factory.get()), S_OK);  // no runnable side: running already
    EXPECT_EQ(OleRun(nullptr), E_INVALIDARG);
}

TEST_F(ComLibraryTest, ProgIdsNameTheirClass) {
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(CLSIDFromProgID(kTestCounterProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TestCounter);
    EXPECT_EQ(CLSIDFromProgID("Morvelle.NoSuchClass", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
    EXPECT_EQ(CLSIDFromProgID("", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(kTestCounterProgId, nullptr), E_INVALIDARG);
}

TEST_F(ComLibraryTest, ThreadsCreateObjectsAtTheSameTime) {
    FreeSharedLibrary(module_);
    module_ = nullptr;
    CoFreeUnusedLibraries();
    std::vector<std::thread> threads;
    std::atomic<int> created{0};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            CoInitialize(nullptr);
            for (int i = 0; i < 20; ++i) {
                ComPointer<ITestCounter> counter;
                if (SUCCEEDED(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL,
                                               IID_ITestCounter, counter.putVoid())))
                    ++created;
                if (i % 5 == 0)
                    CoFreeUnusedLibraries();
            }
            CoUninitialize();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(created.load(), 120);
    CoFreeUnusedLibraries();
}

TEST(ComInitializationTest, CountsPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    HRESULT other = E_FAIL;
    std::thread([&] {
        other = CoInitialize(nullptr);
        CoUninitialize();
    }).join();
    EXPECT_EQ(other, S_OK);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many is harmless
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

}  // namespace
