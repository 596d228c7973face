// A host and an in-process server it loads share one platform: the same windows, the
// same registry store and the same process lock, while each finds its own resources.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/Bstr.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/file/FileLayer.h"
#include "platform/lock/ProcessLock.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/resource/Resource.h"
#include "platform/resource/ResourceTable.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Window.h"
#include "tests/modules/TestServerInterface.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

namespace {

class HostHandler final : public WindowHandler {
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

// Dispatches what is queued for the calling thread.
void ServeQueue() {
    MSG msg;
    while (PeekMessage(&msg, PM_REMOVE))
        DispatchMessage(&msg);
}

std::string Fixture(const std::string& name) {
    std::string data;
    EXPECT_TRUE(ReadFileBytes(FixturePath("resources/" + name), &data)) << name;
    return data;
}

class SharedPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadSharedLibrary(TEST_SERVER_MODULE_PATH);
        ASSERT_NE(module_, nullptr);
        auto reg = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK) << "the module writes into the host's store";
        ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IPlatformProbe, probe_.putVoid()),
                  S_OK);
    }
    void TearDown() override {
        probe_.reset();
        FreeSharedLibrary(module_);
    }

    ScopedRegistryStore store_;
    HLIBRARY module_ = nullptr;
    ComPointer<IPlatformProbe> probe_;
};

TEST_F(SharedPlatformTest, HostAndModuleSeeTheSameWindows) {
    HostHandler host;
    HWND hostWindow = CreateMessageWindow(&host);
    ASSERT_NE(hostWindow, nullptr);
    HWND moduleWindow = nullptr;
    ASSERT_EQ(probe_->MakeWindow(&moduleWindow), S_OK);
    ASSERT_NE(moduleWindow, nullptr);
    EXPECT_NE(moduleWindow, hostWindow) << "one set of handles, never given twice";

    BOOL live = FALSE;
    EXPECT_EQ(probe_->IsLiveWindow(hostWindow, &live), S_OK);
    EXPECT_TRUE(live) << "the host's window, seen from the module";
    EXPECT_TRUE(IsWindow(moduleWindow)) << "the module's window, seen from the host";

    // Posts cross in both directions and are served by the one queue of this thread.
    EXPECT_EQ(probe_->Post(hostWindow, WM_APP + 1, 7, 9), S_OK);
    EXPECT_TRUE(PostMessage(moduleWindow, WM_APP + 2, 3, 4));
    ServeQueue();
    EXPECT_EQ(host.message_, WM_APP + 1u);
    EXPECT_EQ(host.wParam_, 7u);
    EXPECT_EQ(host.lParam_, 9);
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    EXPECT_EQ(probe_->LastMessage(&message, &wParam, &lParam), S_OK);
    EXPECT_EQ(message, WM_APP + 2u);
    EXPECT_EQ(wParam, 3u);
    EXPECT_EQ(lParam, 4);

    // The module ends the host's window and the host the module's: both are gone for both.
    EXPECT_EQ(probe_->EndWindow(hostWindow), S_OK);
    EXPECT_TRUE(DestroyWindow(moduleWindow));
    EXPECT_FALSE(IsWindow(hostWindow));
    EXPECT_EQ(probe_->IsLiveWindow(moduleWindow, &live), S_OK);
    EXPECT_FALSE(live);
    EXPECT_EQ(probe_->Post(hostWindow, WM_APP + 1, 0, 0), E_FAIL);
    EXPECT_FALSE(PostMessage(moduleWindow, WM_APP + 2, 0, 0));
}

TEST_F(SharedPlatformTest, HostAndModuleSeeTheSameRegistryStore) {
    const char* path = "Software\\Morvelle\\Shared";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS);
    const std::string host = "from the host";
    ASSERT_EQ(RegSetValueEx(key, "Host", REG_SZ, reinterpret_cast<const BYTE*>(host.c_str()),
                            static_cast<DWORD>(host.size() + 1)),
              ERROR_SUCCESS);

    ScopedBstr read;
    EXPECT_EQ(probe_->ReadText(path, "Host", read.receive()), S_OK);
    EXPECT_EQ(read.utf8(), host);
    EXPECT_EQ(probe_->WriteText(path, "Module", "from the module"), S_OK);
    std::string data;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueBytes(key, "Module", &type, &data), ERROR_SUCCESS)
        << "the host's open key sees the module's write at once";
    EXPECT_EQ(data, std::string("from the module", 16));

    // A key the host deletes is gone for the module too.
    RegCloseKey(key);
    ASSERT_EQ(RegDeleteTree(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    ScopedBstr gone;
    EXPECT_EQ(probe_->ReadText(path, "Host", gone.receive()), S_FALSE);
}

TEST_F(SharedPlatformTest, TheProcessLockIsOne) {
    LONG depth = -1;
    EXPECT_EQ(probe_->LockDepth(&depth), S_OK);
    EXPECT_EQ(depth, 0);
    {
        ProcessLockGuard hold;
        EXPECT_EQ(probe_->LockDepth(&depth), S_OK);
        EXPECT_EQ(depth, 1) << "the host's hold, seen from the module";
    }
    EXPECT_EQ(probe_->LockDepth(&depth), S_OK);
    EXPECT_EQ(depth, 0);
}

TEST_F(SharedPlatformTest, EachModuleFindsItsOwnResources) {
    ScopedBstr page;
    EXPECT_EQ(probe_->OwnHtmlResource(214, page.receive()), S_OK);
    EXPECT_EQ(page.utf8(), Fixture("module-page.htm")) << "the module's page, not the host's";
    HRSRC hostPage = FindResource(ThisModule(), 214, RT_HTML);
    ASSERT_NE(hostPage, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(LoadResource(ThisModule(), hostPage)),
                          SizeofResource(ThisModule(), hostPage)),
              Fixture("program-page.htm"));

    // Loaded by path, the server gives the resources it registered as it started,
    // though it exports nothing but its four entry points.
    EXPECT_EQ(GetLibrarySymbol(module_, kModuleResourcesFunctionName), nullptr);
    HMODULE server = LoadLibrary(TEST_SERVER_MODULE_PATH);
    ASSERT_NE(server, nullptr);
    EXPECT_NE(server, ThisModule());
    HRSRC serverPicture = FindResource(server, 321, "GIF");
    ASSERT_NE(serverPicture, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(LoadResource(server, serverPicture)),
                          SizeofResource(server, serverPicture)),
              Fixture("pixel.gif"));
    EXPECT_EQ(FindResource(server, 320, "GIF"), nullptr) << "the program's, not the server's";
    EXPECT_TRUE(FreeLibrary(server));
}

}  // namespace
