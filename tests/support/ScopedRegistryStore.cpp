#include "tests/support/ScopedRegistryStore.h"

#include <stdlib.h>

#include "platform/registry/Registry.h"
#include "platform/text/Text.h"
#include "tests/support/TestEnvironment.h"

namespace {

void ListKey(HKEY key, const std::string& path, std::string& out) {
    out += path + "\n";
    std::string name;
    std::string data;
    DWORD type = 0;
    for (DWORD i = 0; RegEnumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i) {
        out += "  [" + name + "] " + std::to_string(type) + " ";
        for (unsigned char c : data)
            out += FormatText("%02x", c);
        out += "\n";
    }
    for (DWORD i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i) {
        HKEY child = nullptr;
        if (RegOpenKeyEx(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) {
            out += path + "\\" + name + " <cannot open>\n";
            continue;
        }
        ListKey(child, path + "\\" + name, out);
        RegCloseKey(child);
    }
}

}  // namespace

ScopedRegistryStore::ScopedRegistryStore() {
    if (const char* home = getenv("MORVELLE_CONFIG_HOME")) {
        previous_ = home;
        hadPrevious_ = true;
    }
    setenv("MORVELLE_CONFIG_HOME", MakeTestFolder("registry").c_str(), 1);
}

ScopedRegistryStore::~ScopedRegistryStore() {
    if (hadPrevious_)
        setenv("MORVELLE_CONFIG_HOME", previous_.c_str(), 1);
    else
        unsetenv("MORVELLE_CONFIG_HOME");
}

std::string ListRegistry() {
    std::string out;
    ListKey(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", out);
    ListKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", out);
    ListKey(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", out);
    return out;
}
