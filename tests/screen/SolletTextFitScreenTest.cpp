// Sollet's texts on the screen: every label of its dialog and of its viewer shows whole;
// a screenshot of the dialog is saved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/shell/Shell.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "programs/sollet/OneClickFinderDialog.h"
#include "programs/sollet/SolletIds.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

constexpr int kTimeoutMs = 10000;

// Records the programs started instead of starting them.
class QuietShell : public ShellService {
public:
    QuietShell() { SetShellService(this); }
    ~QuietShell() override { SetShellService(nullptr); }
    bool StartProgram(const ProgramStartRecord&) override { return true; }
    std::string DefaultApplication(std::string_view) override { return ""; }
};

TEST(SolletTextFitTest, TheDialogAndTheViewerShowEveryTextWhole) {
    SKIP_WITHOUT_SCREEN();
    ScopedRegistryStore registry;
    QuietShell shell;
    LocalSiteServer site;
    site.SetBody("/", "<html><body><p>no pictures</p></body></html>");
    auto dialog = std::make_unique<OneClickFinderDialog>(site.Url("/"));
    ASSERT_TRUE(dialog->Create());
    ASSERT_TRUE(ShowAndWait(dialog->m_hWnd));
    ASSERT_TRUE(PumpScreenUntil([&] { return !dialog->Searching(); }, kTimeoutMs));
    EXPECT_EQ(CutTexts(dialog->m_hWnd), std::vector<std::string>{});
    ASSERT_TRUE(SaveWindowScreenshot(dialog->m_hWnd, ScreenshotPath("sollet-dialog")));
    ASSERT_TRUE(UserInput::ClickButton(GetDlgItem(dialog->m_hWnd, IDC_SHOW)));
    ASSERT_EQ(dialog->Viewers().size(), 1u);
    const HWND viewer = dialog->Viewers()[0]->m_hWnd;
    ASSERT_TRUE(ShowAndWait(viewer));
    EXPECT_EQ(CutTexts(viewer), std::vector<std::string>{});
    dialog->DestroyWindow();
}

}  // namespace
