#include "programs/brisquel/LaunchSteps.h"

#include <cstring>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/registry/Registry.h"
#include "platform/shell/ShellExecute.h"
#include "platform/window/WindowStyles.h"

void RunLaunchSteps() {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, kLauncherKey, &key) == ERROR_SUCCESS) {
        constexpr const char* kTrue = "true";
        RegSetValueEx(key, kLauncherValue, REG_SZ, reinterpret_cast<const BYTE*>(kTrue),
                      static_cast<DWORD>(std::strlen(kTrue)));
        RegCloseKey(key);
    }
    WriteFileBytes(kLauncherProbeFile, "");
    std::string browser;
    FindExecutable(kLauncherProbeFile, "", &browser);
    ShellExecute(nullptr, "open", browser, "", "", SW_SHOWNORMAL);
}
