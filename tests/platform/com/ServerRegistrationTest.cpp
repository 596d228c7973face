#include "platform/com/ServerRegistration.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/registry/Registry.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

RegistryScript SampleScript() {
    RegistryScript script;
    script.ownedKeys = {"CLSID\\{1}", "Sample.Thing", "TypeLib\\{2}\\1.0"};
    script.keys = {
        {"CLSID\\{1}", {{"", "Sample Thing"}}},
        {"CLSID\\{1}\\InprocServer32", {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
        {"CLSID\\{1}\\Programmable", {}},
        {"Sample.Thing\\CLSID", {{"", "{1}"}}},
        {"TypeLib\\{2}\\1.0\\HELPDIR", {{"", "%MODULEFOLDER%"}}},
    };
    return script;
}

std::string ReadText(const std::string& path, const std::string& name = "") {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::string data;
    DWORD type = 0;
    const LONG status = RegQueryValueBytes(key, name, &type, &data);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<no value>";
    return type == REG_SZ ? data : "<not text>";
}

void Write(HKEY hive, const std::string& path, const std::string& name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(hive, path, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(ServerRegistrationTest, WritesTheScriptWithTheModulesPath) {
    ScopedRegistryStore store;
    ASSERT_EQ(RegisterServerScript(SampleScript(), "/opt/x/libThing.so"), S_OK);
    EXPECT_EQ(ReadText("CLSID\\{1}"), std::string("Sample Thing\0", 13));
    EXPECT_EQ(ReadText("CLSID\\{1}\\InprocServer32"), std::string("/opt/x/libThing.so\0", 19));
    EXPECT_EQ(ReadText("CLSID\\{1}\\InprocServer32", "ThreadingModel"),
              std::string("Apartment\0", 10));
    EXPECT_EQ(ReadText("CLSID\\{1}\\Programmable"), "<no value>");
    EXPECT_EQ(ReadText("TypeLib\\{2}\\1.0\\HELPDIR"), std::string("/opt/x\0", 7));
}

TEST(ServerRegistrationTest, RegisteringAgainReplacesWhatTheServerOwns) {
    ScopedRegistryStore store;
    Write(HKEY_CLASSES_ROOT, "CLSID\\{1}\\Stale", "", "old");
    ASSERT_EQ(RegisterServerScript(SampleScript(), "/a/one.so"), S_OK);
    ASSERT_EQ(RegisterServerScript(SampleScript(), "/b/two.so"), S_OK);
    EXPECT_EQ(ReadText("CLSID\\{1}\\Stale"), "<no key>");
    EXPECT_EQ(ReadText("CLSID\\{1}\\InprocServer32"), std::string("/b/two.so\0", 10));
}

TEST(ServerRegistrationTest, UnregisteringLeavesTheStoreAsItWas) {
    // An empty store, and one whose shared keys hold other servers and settings.
    for (bool populated : {false, true}) {
        ScopedRegistryStore store;
        if (populated) {
            Write(HKEY_CLASSES_ROOT, "CLSID\\{9}\\InprocServer32", "", "/other.so");
            Write(HKEY_CLASSES_ROOT, "TypeLib\\{2}\\2.0", "", "a later version");
            Write(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", "show", "true");
        }
        const std::string before = ListRegistry();
        ASSERT_EQ(RegisterServerScript(SampleScript(), "/m/lib.so"), S_OK);
        EXPECT_NE(ListRegistry(), before);
        ASSERT_EQ(UnregisterServerScript(SampleScript()), S_OK);
        EXPECT_EQ(ListRegistry(), before) << (populated ? "populated" : "empty");
        // Unregistering what is not there changes nothing.
        EXPECT_EQ(UnregisterServerScript(SampleScript()), S_OK);
        EXPECT_EQ(ListRegistry(), before);
    }
}

}  // namespace
