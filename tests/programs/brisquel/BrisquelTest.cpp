#include "programs/brisquel/BrisquelDialog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Menus.h"
#include "programs/brisquel/LaunchSteps.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

namespace {

// Runs the built program with its own data and configuration folders and no display;
// answers its exit status (-1 when it did not exit normally).
int RunBrisquel(const std::string& data, const std::string& config) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY MORVELLE_DATA_HOME='" + data +
                                "' MORVELLE_CONFIG_HOME='" + config + "' timeout 60 '" +
                                BRISQUEL_PROGRAM + "' < /dev/null > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(BrisquelTest, TheProgramWritesTheSettingAndProbePageAndExitsWithZeroTwice) {
    const std::string data = MakeTestFolder("brisquel-data");
    const std::string config = MakeTestFolder("brisquel-config");
    ASSERT_EQ(RunBrisquel(data, config), 0) << "without a browser it still ends with 0";
    ASSERT_EQ(RunBrisquel(data, config), 0);

    ScopedEnvironment store("MORVELLE_CONFIG_HOME", config.c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kLauncherKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::string name;
    DWORD type = 0;
    std::string bytes;
    ASSERT_EQ(RegEnumValue(key, 0, &name, &type, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(name, "show");
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::string("true", 4)) << "4 bytes, no NUL";
    EXPECT_NE(RegEnumValue(key, 1, &name, &type, &bytes), ERROR_SUCCESS) << "one value";
    RegCloseKey(key);

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(data + "/c", &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "_test.html");
    EXPECT_EQ(entries[0].size, 0u);
}

TEST(BrisquelTest, TheDialogStartsTheDefaultBrowserThenEndsTheProcess) {
    ScopedRegistryStore registry;
    RecordingShell shell;
    const std::string root = MakeTestFolder("browser");
    ASSERT_TRUE(CreateDirectory(root + "/applications"));
    ASSERT_TRUE(
        WriteFileBytes(root + "/applications/web.desktop", "[Desktop Entry]\nExec=sh %u\n"));
    ScopedEnvironment xdg("XDG_DATA_HOME", root.c_str());
    shell.defaultApplication = "web.desktop";
    std::vector<int> ends;
    BrisquelDialog dialog([&](int code) { ends.push_back(code); });
    ASSERT_TRUE(dialog.Create());
    HMENU menu = GetSystemMenu(dialog.m_hWnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int items = GetMenuItemCount(menu);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), IDM_BRISQUEL_ABOUT);
    char text[64] = {};
    GetMenuString(menu, static_cast<UINT>(items - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Brisquel...");
    const HICON icon = LoadIcon(ThisModule(), 128);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(SendMessage(dialog.m_hWnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessage(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0),
              reinterpret_cast<LRESULT>(icon));
    dialog.DestroyWindow();
    EXPECT_EQ(ends, std::vector<int>{0});
    ASSERT_EQ(shell.starts.size(), 1u);
    EXPECT_NE(shell.starts[0].program.find("/sh"), std::string::npos) << shell.starts[0].program;
    EXPECT_TRUE(shell.starts[0].arguments.empty()) << "empty parameters";
}
