#include "programs/ambrevin/AdvancedFinderDialog.h"

#include <gtest/gtest.h>

#include "engine/util/ControlHelpers.h"
#include "platform/file/FileLayer.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/UserInput.h"
#include "platform/window/MessageLoop.h"
#include "programs/ambrevin/FoundPage.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestImages.h"
#include "tests/support/Wait.h"

using namespace UserInput;

namespace {

bool ServeUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        ServePendingMessages(nullptr);
        return condition();
    });
}

// The dialog made modeless on the test's thread, its start page a local one; the
// scripts question answered as the test says.
class AdvancedFinderDialogTest : public testing::Test {
protected:
    void Open(int scriptsAnswer = IDYES) {
        ExpectedMessageBoxes boxes;
        boxes.Expect(kScriptsQuestion, scriptsAnswer);
        dialog = std::make_unique<AdvancedFinderDialog>(site.Url("/start.html"));
        ASSERT_TRUE(dialog->Create());
        ASSERT_TRUE(
            ServeUntil([&] { return WindowTextOf(Item(IDC_ADDRESS)) == site.Url("/start.html"); }));
    }
    void TearDown() override {
        if (dialog)
            dialog->DestroyWindow();
        ServePendingMessages(nullptr);
    }
    HWND Item(int id) const { return dialog->GetDlgItem(id); }

    LocalSiteServer site;
    std::unique_ptr<AdvancedFinderDialog> dialog;

public:
    AdvancedFinderDialogTest() {
        site.SetBody("/start.html", "<title>s</title><img src='pic.bmp'>");
        site.SetBody("/pic.bmp", TestBitmapBytes(120, 80, 24), "image/bmp");
    }
};

TEST_F(AdvancedFinderDialogTest, StartsWithItsControlsInPlaceAndTheTitleLine) {
    Open();
    struct Case {
        int id;
        RECT units;
        const char* text;
    };
    const Case cases[] = {
        {IDC_EXTRACT, {0, 0, 90, 14}, "Extract"},
        {IDC_FOLLOW, {0, 16, 90, 30}, "Follow My Next Click..."},
        {IDC_STAY_ON_SITE, {0, 33, 65, 43}, "Stay on this site"},
        {IDC_PAGE_TIMEOUT, {66, 45, 90, 59}, "5"},
        {IDC_MINIMUM_HEIGHT, {55, 60, 90, 74}, "0"},
        {IDC_MINIMUM_WIDTH, {55, 75, 90, 89}, "0"},
        {IDC_STOP, {0, 95, 90, 109}, "Stop"},
        {IDC_SAVE_LIST, {0, 111, 90, 125}, "Save List..."},
        {IDC_CLEAR_LIST, {0, 127, 90, 141}, "Clear List..."},
        {IDC_BACK, {94, 0, 109, 14}, "<"},
        {IDC_FORWARD, {110, 0, 125, 14}, ">"},
        {IDC_GO, {127, 0, 157, 14}, "GO"},
        {IDC_REFRESH, {97, 20, 132, 31}, "refresh"},
        {IDC_SAVE_PAGE, {133, 20, 168, 31}, "save..."},
        {IDC_FOUND_LIST, {0, 145, 90, 348}, ""},
    };
    for (const Case& c : cases) {
        HWND control = Item(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        RECT rect{};
        GetWindowRect(control, &rect);
        dialog->ScreenToClient(&rect);
        const RECT expected = DialogUnitsToPixels(c.units);
        EXPECT_EQ(rect.left, expected.left) << c.id;
        EXPECT_EQ(rect.top, expected.top) << c.id;
        EXPECT_EQ(rect.right, expected.right) << c.id;
        EXPECT_EQ(rect.bottom, expected.bottom) << c.id;
        EXPECT_EQ(WindowTextOf(control), c.text) << c.id;
    }
    EXPECT_EQ(WindowTextOf(dialog->m_hWnd), "Ambrevin - imgs=0, visited=0, pages=0");
    EXPECT_FALSE(IsWindowVisible(Item(IDC_REFRESH)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SAVE_PAGE)));
    EXPECT_TRUE(dialog->ScriptsOff());
    EXPECT_EQ(TabCtrl_GetItemCount(Item(IDC_TABS)), 2);
}

TEST_F(AdvancedFinderDialogTest, TheScriptsAnswerGivesBothControlsTheirDownloadControl) {
    for (int answer : {IDYES, IDNO}) {
        Open(answer);
        for (UINT id : {IDC_BROWSER, IDC_FOUND_BROWSER}) {
            VARIANT value{};
            ASSERT_TRUE(dialog->OnAmbientProperty(id, DISPID_AMBIENT_DLCONTROL, &value));
            EXPECT_EQ(value.vt, VT_I4);
            EXPECT_EQ(value.intVal, answer == IDYES ? 0x40008790 : 0x10);
            EXPECT_FALSE(dialog->OnAmbientProperty(id, -5501, &value));
        }
        dialog->DestroyWindow();
    }
}

TEST_F(AdvancedFinderDialogTest, ExtractListsThePicturesAndEnablesTheControlsAgain) {
    Open();
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);
    ASSERT_TRUE(ClickButton(Item(IDC_EXTRACT)));
    ASSERT_TRUE(ServeUntil([&] { return !dialog->Crawl().Running(); }));
    EXPECT_EQ(dialog->Crawl().Found(), std::vector<std::string>{site.Url("/pic.bmp")});
    EXPECT_EQ(ListView_GetItemCount(Item(IDC_FOUND_LIST)), 1);
    for (int id : {IDC_STAY_ON_SITE, IDC_MINIMUM_WIDTH, IDC_MINIMUM_HEIGHT, IDC_PAGE_TIMEOUT,
                   IDC_CLEAR_LIST, IDC_SAVE_LIST, IDC_SAVE_PAGE, IDC_GO, IDC_FOLLOW, IDC_EXTRACT})
        EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
    EXPECT_EQ(WindowTextOf(dialog->m_hWnd), "Ambrevin - imgs=1, visited=0, pages=0");
    EXPECT_EQ(dialog->FoundPage(), "<html><body>\n<img src='" + site.Url("/pic.bmp") + "' alt='" +
                                       site.Url("/pic.bmp") + "'>\n&nbsp;&nbsp;");
}

TEST_F(AdvancedFinderDialogTest, APageTimeoutOutsideOneToAnHourIsRefused) {
    Open();
    for (const char* typed : {"0", "3601", "-5"}) {
        ASSERT_TRUE(TypeText(Item(IDC_PAGE_TIMEOUT), typed));
        ExpectedMessageBoxes boxes;
        boxes.Expect("Please enter an integer between 1 and 3600.");
        boxes.Expect(kFinishedMessage);
        ASSERT_TRUE(ClickButton(Item(IDC_EXTRACT)));
        ServeUntil([&] { return !dialog->Crawl().Running(); });
        EXPECT_EQ(dialog->Crawl().PageTimeoutSeconds(), 5) << typed;
    }
    ASSERT_TRUE(TypeText(Item(IDC_PAGE_TIMEOUT), "3600"));
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);
    ASSERT_TRUE(ClickButton(Item(IDC_EXTRACT)));
    ServeUntil([&] { return !dialog->Crawl().Running(); });
    EXPECT_EQ(dialog->Crawl().PageTimeoutSeconds(), 3600);
}

TEST_F(AdvancedFinderDialogTest, GoNavigatesToTheTrimmedAddressAndBlanksNowhere) {
    site.SetBody("/other.html", "<title>o</title>");
    Open();
    ASSERT_TRUE(TypeText(Item(IDC_ADDRESS), "   "));
    ASSERT_TRUE(ClickButton(Item(IDC_GO)));
    ServePendingMessages(nullptr);
    EXPECT_EQ(dialog->BrowseControl().GetLocationURL(), site.Url("/start.html"));

    ASSERT_TRUE(TypeText(Item(IDC_ADDRESS), "  " + site.Url("/other.html") + " "));
    ASSERT_TRUE(ClickButton(Item(IDC_GO)));
    EXPECT_TRUE(ServeUntil(
        [&] { return dialog->BrowseControl().GetLocationURL() == site.Url("/other.html"); }));
    // Back is now known to be possible.
    ASSERT_TRUE(ServeUntil([&] { return IsWindowEnabled(Item(IDC_BACK)); }));
    ASSERT_TRUE(ClickButton(Item(IDC_BACK)));
    EXPECT_TRUE(ServeUntil(
        [&] { return dialog->BrowseControl().GetLocationURL() == site.Url("/start.html"); }));
}

class ScriptedSaveDialog final : public DialogService {
public:
    ScriptedSaveDialog() { SetDialogService(this); }
    ~ScriptedSaveDialog() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord&) override { return {}; }
    std::string ChooseFile(const FileDialogRecord&) override { return answer; }
    std::string answer;
};

TEST_F(AdvancedFinderDialogTest, SavingTheFoundPageWritesItOrSaysItCouldNot) {
    Open();
    ScriptedSaveDialog save;
    CreateDirectory("c:\\");
    CreateDirectory("c:\\found-pages");
    save.answer = "c:\\found-pages\\empty";
    dialog->SaveFoundPage();
    std::string contents;
    ASSERT_TRUE(ReadFileBytes("c:\\found-pages\\empty.htm", &contents));
    EXPECT_EQ(contents, "<html><body>\r\n");

    save.answer = "c:\\no-such-folder\\page.htm";
    ExpectedMessageBoxes boxes;
    boxes.Expect(kCouldNotSaveMessage);
    dialog->SaveFoundPage();
    boxes.Expect(kCouldNotSaveMessage);
    dialog->SaveList();
}

// Records each cursor shown.
class RecordingCursors final : public CursorPresenter {
public:
    RecordingCursors() { SetCursorPresenter(this); }
    ~RecordingCursors() override { SetCursorPresenter(nullptr); }
    void CursorSet(HCURSOR cursor) override { shown.push_back(cursor); }
    std::vector<HCURSOR> shown;
};

TEST_F(AdvancedFinderDialogTest, TheFoundPageIsBuiltUnderTheWaitCursor) {
    Open();
    ScriptedSaveDialog save;
    const HCURSOR before = GetCursor();
    const std::vector<HCURSOR> waitThenBack = {LoadCursor(nullptr, IDC_WAIT), before};
    RecordingCursors cursors;
    ASSERT_TRUE(ControlInput::SelectTab(Item(IDC_TABS), 1));
    EXPECT_TRUE(cursors.shown.empty()) << "no crawl runs: the tab builds nothing";
    ASSERT_TRUE(ClickButton(Item(IDC_REFRESH)));
    EXPECT_EQ(cursors.shown, waitThenBack) << "refresh";
    EXPECT_EQ(GetCursor(), before);

    cursors.shown.clear();
    CreateDirectory("c:\\");
    CreateDirectory("c:\\found-pages");
    save.answer = "c:\\found-pages\\waited";
    dialog->SaveFoundPage();
    EXPECT_TRUE(FileIsReadable("c:\\found-pages\\waited.htm"));
    EXPECT_EQ(cursors.shown, waitThenBack) << "save...";
    EXPECT_EQ(GetCursor(), before);
}

}  // namespace
