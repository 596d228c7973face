#include "programs/sollet/GalleryViewerDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/browser/HtmlDocument.h"
#include "platform/file/FileLayer.h"
#include "platform/ui/UserInput.h"
#include "programs/sollet/GalleryPage.h"
#include "tests/programs/sollet/SolletFixture.h"
#include "tests/support/ExpectedMessageBoxes.h"

TEST_F(SolletTest, ShowBeforeAnySearchOpensAnEmptyPageWithNothingToSave) {
    Start("");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_SHOW)));
    ASSERT_EQ(dialog->Viewers().size(), 1u);
    GalleryViewerDialog& viewer = *dialog->Viewers()[0];
    EXPECT_TRUE(IsWindowVisible(viewer.m_hWnd));
    // The browser fills the viewer above "save...", when it opens and after a resize.
    const auto browserStandsAboveSave = [&] {
        RECT client{};
        RECT browser{};
        RECT save{};
        GetClientRect(viewer.m_hWnd, &client);
        GetWindowRect(viewer.Browser().GetSafeHwnd(), &browser);
        GetWindowRect(GetDlgItem(viewer.m_hWnd, IDC_SAVE_GALLERY), &save);
        return browser.right - browser.left == client.right && browser.bottom <= save.top &&
               browser.bottom - browser.top > client.bottom / 2;
    };
    EXPECT_TRUE(browserStandsAboveSave());
    ASSERT_TRUE(UserInput::ResizeWindow(viewer.m_hWnd, 700, 520));
    EXPECT_TRUE(browserStandsAboveSave());
    EXPECT_EQ(viewer.PagePath(), "") << "the hint as address: nothing to save";
    EXPECT_EQ(GetWindowText(viewer.m_hWnd), kUrlHint);
    ASSERT_TRUE(WaitUntil([&] {
        ServePendingMessages(nullptr);
        auto shown = viewer.Browser().View().GetHtmlDocument();
        return shown && shown->ReadyState() == "complete";
    })) << "the gallery page did not load";
    EXPECT_EQ(viewer.Browser().View().GetHtmlDocument()->Images().Length(), 0);
    EXPECT_EQ(viewer.Browser().GetLocationURL().rfind("file:///", 0), 0u);
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect("Nothing to save.");
        ASSERT_TRUE(UserInput::ClickButton(GetDlgItem(viewer.m_hWnd, IDC_SAVE_GALLERY)));
        EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }
    const HWND window = viewer.m_hWnd;
    EXPECT_TRUE(UserInput::CloseWindow(window));  // asks nothing
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SolletTest, SavingCopiesThePageAndClosingAsksOnlyBeforeASave) {
    Start("");
    SetDlgItemText(dialog->m_hWnd, IDC_URL, "http://site.test/");
    SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, "0");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_STOP))) << "stop shows the gallery";
    ASSERT_EQ(dialog->Viewers().size(), 1u);
    GalleryViewerDialog& viewer = *dialog->Viewers()[0];
    EXPECT_EQ(GetWindowText(viewer.m_hWnd), "http://site.test/");
    ASSERT_FALSE(viewer.PagePath().empty());
    std::string page;
    ASSERT_TRUE(ReadFileBytes(viewer.PagePath(), &page));
    EXPECT_EQ(page, GalleryPageText({}));

    ScriptedFileDialogs files;
    const HWND save = GetDlgItem(viewer.m_hWnd, IDC_SAVE_GALLERY);
    {
        // A folder that is not there: the copy fails, says so, and nothing counts as saved.
        ExpectedMessageBoxes boxes;
        boxes.Expect("The images could not be saved to c:\\missing\\gallery.html.");
        files.answers = {"c:\\missing\\gallery"};
        ASSERT_TRUE(UserInput::ClickButton(save));
        EXPECT_FALSE(viewer.Saved());
    }
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].filter, "HTML (*.html)|*.html|All Files (*.*)|*.*||");
    EXPECT_EQ(files.asked[0].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_TRUE(files.asked[0].save);

    // A "." in a folder's name is no extension; one in the file name is.
    CreateDirectory("c:\\out.d");
    files.answers = {"c:\\out.d\\gallery", "c:\\out.d\\kept.htm"};
    ASSERT_TRUE(UserInput::ClickButton(save));
    ASSERT_TRUE(UserInput::ClickButton(save));
    EXPECT_TRUE(viewer.Saved());
    std::string copy;
    EXPECT_TRUE(ReadFileBytes("c:\\out.d\\gallery.html", &copy));
    EXPECT_EQ(copy, page);
    EXPECT_TRUE(ReadFileBytes("c:\\out.d\\kept.htm", &copy));

    // Saved: Enter closes without a question.
    const HWND window = viewer.m_hWnd;
    SetFocus(window);  // not on "save...", which Enter would press
    EXPECT_TRUE(UserInput::PressEnter(window));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SolletTest, EscOnAnUnsavedGalleryAsksToSave) {
    Start("");
    SetDlgItemText(dialog->m_hWnd, IDC_URL, "http://site.test/");
    SetDlgItemText(dialog->m_hWnd, IDC_LOADER_COUNT, "0");
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_GO)));
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_STOP)));
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_SHOW))) << "a second viewer, a second page";
    ASSERT_EQ(dialog->Viewers().size(), 2u);
    EXPECT_NE(dialog->Viewers()[0]->PagePath(), dialog->Viewers()[1]->PagePath());
    ScriptedFileDialogs files;
    files.answers = {"c:\\answered"};
    ExpectedMessageBoxes boxes;
    boxes.Expect("Would you like to save these images?", IDNO);
    boxes.Expect("Would you like to save these images?", IDYES);
    const HWND first = dialog->Viewers()[0]->m_hWnd;
    const HWND second = dialog->Viewers()[1]->m_hWnd;
    EXPECT_TRUE(UserInput::PressEscape(first));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(files.asked.empty()) << "No: no chooser";
    EXPECT_TRUE(UserInput::CloseWindow(second));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(FileIsReadable("c:\\answered.html")) << "Yes saved before closing";
}
