// The three bands' panels and dialogs driven by a person's keys and pointer through the
// X server: in the web browser beside a local site, each band's panel page is clicked at
// its links' places and typed into; its settings dialog, its new view (or list) name
// dialog and its open dialog are typed into, tabbed through, ended with Enter and Esc,
// their buttons and rows clicked. The model is read afterwards: the band's stored
// settings, the dialogs' controls, where the hosting view goes.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/util/RegistryValues.h"
#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/timing/Timing.h"
#include "platform/ui/Controls.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/RealInputChecks.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestImages.h"

namespace {

constexpr int kTimeoutMs = 30000;
constexpr const char* kViewName = "screenrun";

struct BandUnderTest {
    const char* name;  // of the test and its screenshots
    const char* modulePath;
    const char* title;
    const char* settingsKey;
    const char* settingsCaption;
    const char* newNameCaption;
    const char* openCaption;
    const char* listPage;
    // A field of the band's own besides depth and most-found, the text typed into it and
    // whether the band keeps it as text (else as a number); none when name is null.
    const char* ownField;
    const char* ownFieldText;
    bool ownFieldIsText;
    // Whether the main page has the "sites" box and its "add this page" link.
    bool sitesBox;
};

// The band's name in the test's messages.
void PrintTo(const BandUnderTest& band, std::ostream* out) {
    *out << band.name;
}

TimingRecord BandTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.panelProgressMs = 100;
    return timing;
}

// The folder chooser, answered by the test.
class ScriptedFolderChooser final : public DialogService {
public:
    ScriptedFolderChooser() { SetDialogService(this); }
    ~ScriptedFolderChooser() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord& dialog) override {
        asked.push_back(dialog);
        return answer;
    }
    std::string ChooseFile(const FileDialogRecord&) override { return {}; }
    std::string answer;
    std::vector<FolderDialogRecord> asked;
};

// A shown top-level window of that caption; null when there is none.
HWND ShownWindowCalled(const std::string& caption) {
    for (HWND hwnd = GetTopWindow(nullptr); hwnd != nullptr; hwnd = GetWindow(hwnd, GW_HWNDNEXT))
        if (IsWindowVisible(hwnd) && GetWindowText(hwnd) == caption)
            return hwnd;
    return nullptr;
}

HWND WaitForWindowCalled(const std::string& caption) {
    HWND found = nullptr;
    RealInput::WaitUntil([&] { return (found = ShownWindowCalled(caption)) != nullptr; },
                         kTimeoutMs);
    return found;
}

// Each key in turn, with the control of the dialog that has the focus after it.
void ExpectTabOrder(HWND dialog, const std::vector<std::pair<RealInput::Key, int>>& steps) {
    for (const auto& [key, id] : steps) {
        ASSERT_TRUE(RealInput::PressKey(key));
        EXPECT_TRUE(
            RealInput::WaitUntil([&] { return GetFocus() == GetDlgItem(dialog, id); }, kTimeoutMs))
            << "focus on " << GetDlgCtrlID(GetFocus()) << ", not " << id;
    }
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The panel shows its main page again (after an extraction's progress page).
bool ViewShowsMainPage(HWND panel) {
    const std::string address = BrowserViewAddress(panel);
    return address.rfind("res://", 0) == 0 && !BrowserViewLoading(panel) &&
           address.find("/215") == std::string::npos && address.find("/217") == std::string::npos;
}

class BandRealInputScreenTest : public ::testing::TestWithParam<BandUnderTest> {
protected:
    BandRealInputScreenTest() : timing_(BandTiming()) {}

    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        std::string reason;
        if (!RealInput::Available(&reason))
            GTEST_SKIP() << reason;
        CoInitialize(nullptr);
        corvane_.emplace();
        site_.SetBody("/index.htm",
                      "<html><body><h1>A site</h1><img src='/pics/wide.bmp'>"
                      "<a href='/docs/guide.pdf'>The guide</a> "
                      "<a href='/music/theme.mp3'>Theme</a></body></html>");
        site_.SetBody("/pics/wide.bmp", TestBitmapBytes(40, 30, 24), "image/bmp");
        site_.SetBody("/docs/guide.pdf", "%PDF-1.1 a guide", "application/pdf");
        site_.SetBody("/music/theme.mp3", "ID3 a tune", "audio/mpeg");
        const BandUnderTest& band = GetParam();
        module_ = LoadSharedLibrary(band.modulePath, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        storage_ = std::string("c:\\screen\\") + band.name;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, band.settingsKey, &key), ERROR_SUCCESS);
        ASSERT_TRUE(RegWriteString(key, "storage", storage_));
        RegCloseKey(key);
    }
    void TearDown() override {
        if (!ScreenForTests() || !RealInput::Available())
            return;
        host_.Destroy();
        if (module_)
            FreeSharedLibrary(module_);
        corvane_.reset();
        CoUninitialize();
    }

    // The band's panel, once its main page is shown beside the site's page.
    HWND OpenPanel() {
        const std::string start = site_.Url("/index.htm");
        EXPECT_TRUE(host_.Create(start));
        EXPECT_TRUE(HostShows("/index.htm"));
        EXPECT_TRUE(host_.OpenBand(GetParam().title));
        HWND panel = host_.BandWindow();
        if (GetClassName(panel) != kBrowserControlClassName)
            panel = GetWindow(panel, GW_CHILD);
        EXPECT_TRUE(RealInput::WaitUntil(
            [&] {
                return BrowserViewAddress(panel).rfind("res://", 0) == 0 &&
                       !BrowserViewLoading(panel);
            },
            kTimeoutMs));
        return panel;
    }

    // Whether the hosting view shows a page whose address ends in tail, done loading.
    bool HostIsAt(const std::string& tail) {
        const std::string address = BrowserViewAddress(host_.View());
        return EndsWith(address.substr(0, address.find('#')), tail) &&
               !BrowserViewLoading(host_.View());
    }
    bool HostShows(const std::string& tail) {
        return RealInput::WaitUntil([&] { return HostIsAt(tail); }, kTimeoutMs);
    }

    // What the band keeps under its settings key.
    std::string StoredText(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, GetParam().settingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return "<no key>";
        const std::string text = RegReadString(key, name);
        RegCloseKey(key);
        return text;
    }
    bool StoredBool(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, GetParam().settingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        const bool value = RegReadBool(key, name);
        RegCloseKey(key);
        return value;
    }
    int StoredNumber(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, GetParam().settingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return -1;
        const int number = RegReadInt(key, name);
        RegCloseKey(key);
        return number;
    }

    // Clicks the panel's link with that address and waits for the dialog it opens.
    HWND OpenDialogBy(HWND panel, const std::string& href, const std::string& caption) {
        EXPECT_TRUE(RealInput::ClickPageElement(panel, "a[href='" + href + "']", kTimeoutMs))
            << href;
        const HWND dialog = WaitForWindowCalled(caption);
        EXPECT_NE(dialog, nullptr) << caption;
        EXPECT_TRUE(dialog && RealInput::WaitUntilShown(dialog, kTimeoutMs)) << caption;
        return dialog;
    }

    // Gives the dialog's control the focus with a click on it.
    bool ClickAndFocus(HWND dialog, int id) {
        const HWND control = GetDlgItem(dialog, id);
        return RealInput::Click(control) &&
               RealInput::WaitUntil([&] { return GetFocus() == control; }, kTimeoutMs);
    }

    ScopedTiming timing_;
    ScopedRegistryStore store_;
    std::optional<RegisteredCorvane> corvane_;
    LocalSiteServer site_;
    HLIBRARY module_ = nullptr;
    BrowserHost host_;
    std::string storage_;
};

// The settings dialog: the stored folder shown; a folder typed and Esc keeps the stored
// one; Tab and Shift+Tab in template order; "browse..." asks for a folder from the typed
// one and shows the answer; Enter stores it.
TEST_P(BandRealInputScreenTest, TheSettingsDialogTakesTypedAndBrowsedFoldersWithKeysAndClicks) {
    const BandUnderTest& band = GetParam();
    const HWND panel = OpenPanel();
    ASSERT_NE(panel, nullptr);
    ScriptedFolderChooser chooser;

    HWND settings = OpenDialogBy(panel, "#/panel/settings", band.settingsCaption);
    ASSERT_NE(settings, nullptr);
    RealInput::ExpectLayoutFits(settings, kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(settings, std::string(band.name) + "-settings"));
    const HWND edit = GetDlgItem(settings, 210);
    EXPECT_EQ(GetWindowText(edit), storage_);
    ASSERT_TRUE(RealInput::TypeInto(edit, storage_ + "\\dropped", kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEscape));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(settings); }, kTimeoutMs));
    EXPECT_EQ(StoredText("storage"), storage_);

    settings = OpenDialogBy(panel, "#/panel/settings", band.settingsCaption);
    ASSERT_NE(settings, nullptr);
    const HWND again = GetDlgItem(settings, 210);
    const std::string typed = storage_ + "\\typed";
    ASSERT_TRUE(RealInput::TypeInto(again, typed, kTimeoutMs)) << GetWindowText(again);
    ExpectTabOrder(settings, {{RealInput::kTab, 211},
                              {RealInput::kTab, IDOK},
                              {RealInput::kTab, IDCANCEL},
                              {RealInput::kTab, 210},
                              {RealInput::kShiftTab, IDCANCEL},
                              {RealInput::kShiftTab, IDOK}});
    chooser.answer = storage_ + "\\chosen";
    ASSERT_TRUE(RealInput::Click(GetDlgItem(settings, 211)));
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return GetWindowText(again) == chooser.answer; }, kTimeoutMs))
        << GetWindowText(again);
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_EQ(chooser.asked[0].initialFolder, typed);
    // Enter from the edit is the dialog's OK.
    ASSERT_TRUE(ClickAndFocus(settings, 210));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEnter));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(settings); }, kTimeoutMs));
    EXPECT_EQ(StoredText("storage"), chooser.answer);
}

// The panel's fields typed with keys and "extract" clicked: the extraction runs with what
// was typed into the default view. "extract" again: the band asks for a view (or list)
// name; its dialog shows "default", is tabbed through, named, a check box clicked, and
// Enter extracts into the named view; the open dialog then lists the site's views, Esc
// leaves the hosting view where it is, and a clicked row and Enter open the view in it.
// The file band's sites box typed into and "add this page" clicked: the band adds the
// page's address to what was typed.
TEST_P(BandRealInputScreenTest, APersonTypesThePanelExtractsIntoANamedViewAndOpensIt) {
    const BandUnderTest& band = GetParam();
    const HWND panel = OpenPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(RealInput::TypeIntoPageField(panel, "input[name='depth']", "0", kTimeoutMs));
    ASSERT_TRUE(RealInput::TypeIntoPageField(panel, "input[name='maximages']", "7", kTimeoutMs));
    if (band.ownField != nullptr) {
        ASSERT_TRUE(RealInput::TypeIntoPageField(panel,
                                                 std::string("input[name='") + band.ownField + "']",
                                                 band.ownFieldText, kTimeoutMs));
    }

    // The first extraction goes to the default view: the band read what was typed into
    // its page.
    ASSERT_TRUE(RealInput::ClickPageElement(panel, "a[href='#/panel/extract']", kTimeoutMs));
    ASSERT_TRUE(HostShows(band.listPage)) << BrowserViewAddress(host_.View());
    EXPECT_NE(BrowserViewAddress(host_.View()).find("/default/"), std::string::npos)
        << BrowserViewAddress(host_.View());
    EXPECT_EQ(StoredNumber("depth"), 0);
    EXPECT_EQ(StoredNumber("maximages"), 7);
    if (band.ownField != nullptr) {
        if (band.ownFieldIsText)
            EXPECT_EQ(StoredText(band.ownField), band.ownFieldText);
        else
            EXPECT_EQ(std::to_string(StoredNumber(band.ownField)), band.ownFieldText);
    }
    ASSERT_TRUE(RealInput::WaitUntil([&] { return ViewShowsMainPage(panel); }, kTimeoutMs))
        << BrowserViewAddress(panel);

    // Back on the site's page, whose default view is taken now: the band asks for a name.
    CHtmlView* hosting = BrowserControlFromWindow(host_.View());
    ASSERT_NE(hosting, nullptr);
    ASSERT_TRUE(hosting->Navigate2(site_.Url("/index.htm")));
    ASSERT_TRUE(HostShows("/index.htm"));
    const HWND named = OpenDialogBy(panel, "#/panel/extract", band.newNameCaption);
    ASSERT_NE(named, nullptr);
    RealInput::ExpectLayoutFits(named, kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(named, std::string(band.name) + "-new-name"));
    EXPECT_EQ(GetWindowText(GetDlgItem(named, 201)), "default");
    ASSERT_TRUE(RealInput::TypeInto(GetDlgItem(named, 201), kViewName, kTimeoutMs));
    ExpectTabOrder(named, {{RealInput::kTab, 202},
                           {RealInput::kTab, 203},
                           {RealInput::kTab, IDOK},
                           {RealInput::kTab, IDCANCEL},
                           {RealInput::kShiftTab, IDOK},
                           {RealInput::kShiftTab, 203}});
    ASSERT_TRUE(RealInput::Click(GetDlgItem(named, 203)));
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] { return SendMessage(GetDlgItem(named, 203), BM_GETCHECK, 0, 0) == BST_CHECKED; },
        kTimeoutMs));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEnter));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(named); }, kTimeoutMs));
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] {
            return BrowserViewAddress(host_.View()).find(std::string("/") + kViewName + "/") !=
                       std::string::npos &&
                   HostIsAt(band.listPage);
        },
        kTimeoutMs))
        << BrowserViewAddress(host_.View());
    EXPECT_TRUE(StoredBool("dontBug"));

    // Back on the site's page, then the stored view opened from the list.
    ASSERT_TRUE(hosting->Navigate2(site_.Url("/index.htm")));
    ASSERT_TRUE(HostShows("/index.htm"));
    HWND open = OpenDialogBy(panel, "#/panel/open", band.openCaption);
    ASSERT_NE(open, nullptr);
    RealInput::ExpectLayoutFits(open, kTimeoutMs);
    EXPECT_TRUE(RealInput::SaveShot(open, std::string(band.name) + "-open"));
    ASSERT_TRUE(ClickAndFocus(open, 209));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEscape));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(open); }, kTimeoutMs));
    EXPECT_TRUE(HostShows("/index.htm"));

    open = OpenDialogBy(panel, "#/panel/open", band.openCaption);
    ASSERT_NE(open, nullptr);
    const HWND list = GetDlgItem(open, 209);
    // The site, then its views.
    int viewIndex = -1;
    const LRESULT count = SendMessage(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        if (std::string(text) == std::string("   ") + kViewName)
            viewIndex = static_cast<int>(i);
    }
    ASSERT_EQ(count, 3);
    ASSERT_GT(viewIndex, 0);
    GtkWidget* rows = nullptr;
    if (GtkWidget* shown = ScreenWidgetOf(list); shown && GTK_IS_SCROLLED_WINDOW(shown)) {
        rows = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(shown));
        if (rows && GTK_IS_VIEWPORT(rows))
            rows = gtk_viewport_get_child(GTK_VIEWPORT(rows));
    }
    ASSERT_TRUE(rows && GTK_IS_LIST_BOX(rows));
    GtkListBoxRow* viewRow = gtk_list_box_get_row_at_index(GTK_LIST_BOX(rows), viewIndex);
    ASSERT_NE(viewRow, nullptr);
    ASSERT_TRUE(RealInput::ClickWidget(GTK_WIDGET(viewRow)));
    ASSERT_TRUE(RealInput::WaitUntil(
        [&] { return SendMessage(list, LB_GETCURSEL, 0, 0) == viewIndex; }, kTimeoutMs));
    ExpectTabOrder(open, {{RealInput::kTab, IDOK},
                          {RealInput::kTab, IDCANCEL},
                          {RealInput::kShiftTab, IDOK},
                          {RealInput::kShiftTab, 209}});
    ASSERT_TRUE(RealInput::PressKey(RealInput::kEnter));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return !IsWindowVisible(open); }, kTimeoutMs));
    ASSERT_TRUE(HostShows(band.listPage)) << BrowserViewAddress(host_.View());
    EXPECT_NE(BrowserViewAddress(host_.View()).find(std::string("/") + kViewName + "/"),
              std::string::npos)
        << BrowserViewAddress(host_.View());

    // The sites box typed into and "add this page" clicked on the site's page: the band
    // reads the box and shows it with the page's address added.
    if (band.sitesBox) {
        ASSERT_TRUE(hosting->Navigate2(site_.Url("/index.htm")));
        ASSERT_TRUE(HostShows("/index.htm"));
        ASSERT_TRUE(RealInput::WaitUntil([&] { return ViewShowsMainPage(panel); }, kTimeoutMs));
        const std::string typed = "http://www.example.com/files/";
        ASSERT_TRUE(
            RealInput::TypeIntoPageField(panel, "textarea[name='sites']", typed, kTimeoutMs));
        ASSERT_TRUE(RealInput::ClickPageElement(panel, "a[href='#/panel/add']", kTimeoutMs));
        const std::string expected = typed + "\n" + site_.Url("/index.htm");
        std::string shown;
        EXPECT_TRUE(RealInput::WaitUntil(
            [&] {
                RunScriptInBrowserView(panel, "document.getElementsByName('sites')[0].value",
                                       &shown, kTimeoutMs);
                return shown == expected;
            },
            kTimeoutMs))
            << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bands, BandRealInputScreenTest,
    ::testing::Values(
        BandUnderTest{"quillet", QUILLET_MODULE_PATH, "Brisquel", "Software\\Morvelle\\Brisquel",
                      "Brisquel Settings", "New View Name", "Open View", "allImages.htm",
                      "minwidth", "2", false, false},
        BandUnderTest{"dovetine", DOVETINE_MODULE_PATH, "Ferncastle",
                      "Software\\Morvelle\\Ferncastle", "Ferncastle Settings", "New List Name",
                      "Open List", "allFiles.htm", "filter", "pdf", true, true},
        BandUnderTest{"harrowby", HARROWBY_MODULE_PATH, "Harrowby", "Software\\Morvelle\\Harrowby",
                      "Harrowby Settings", "New List Name", "Open List", "allMP3s.htm", nullptr,
                      nullptr, false, false}),
    [](const ::testing::TestParamInfo<BandUnderTest>& info) {
        return std::string(info.param.name);
    });

}  // namespace
