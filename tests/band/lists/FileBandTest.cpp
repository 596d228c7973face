// The file finder band (Ferncastle) end to end: created by class id in a test browser on
// local sites, its panel driven by clicks and typing as a person drives it.
#include <gtest/gtest.h>

#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/UserInput.h"
#include "tests/band/lists/ListBandFixture.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/FolderTree.h"

using namespace std::chrono_literals;
using namespace UserInput;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

HWND FindDialog(const std::string& caption) {
    for (HWND window = GetTopWindow(nullptr); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindowText(window) == caption && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

std::string ClassesRootValue(const std::string& keyName) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::string value = RegReadString(key, "");
    RegCloseKey(key);
    return value;
}

class FileBandTest : public ListBandTest {
protected:
    FileBandTest() : ListBandTest(kFileBand) {}
};

TEST_F(FileBandTest, RegistrationAndTheBandsAnswersAreTheFileBands) {
    const std::string clsid = "CLSID\\{7F0EA224-395B-4E44-9765-79258AE5F4A0}";
    EXPECT_EQ(ClassesRootValue(clsid), "Ferncastle");
    EXPECT_EQ(ClassesRootValue("Dovetine.Marlowick.1"), "Marlowick Class");
    EXPECT_EQ(ClassesRootValue("Dovetine.Marlowick"), "Marlowick Class");
    EXPECT_EQ(ClassesRootValue("Dovetine.Marlowick\\CurVer"), "Dovetine.Marlowick.1");
    EXPECT_EQ(ClassesRootValue(clsid + "\\TypeLib"), "{93CC8108-51F8-4361-9754-7A525855B7E5}");
    EXPECT_EQ(ClassesRootValue("TypeLib\\{93CC8108-51F8-4361-9754-7A525855B7E5}\\1.0"),
              "Dovetine 1.0 Type Library");
    EXPECT_EQ(ClassesRootValue("Interface\\{91FD0E7D-6AB2-4928-A608-6C7646D58273}"), "IMarlowick");
    EXPECT_NE(ClassesRootValue(clsid + "\\Implemented Categories\\"
                                       "{00021493-0000-0000-C000-000000000046}"),
              "<no key>");
    EXPECT_TRUE(Contains(ClassesRootValue(clsid + "\\InprocServer32"), "libDovetine.so"));
    ASSERT_EQ(library_.Unregister(), S_OK);
    EXPECT_FALSE(Contains(ListRegistry(), "Dovetine"));
    ASSERT_EQ(library_.Register(), S_OK);

    OpenBand();
    ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>();
    DESKBANDINFO info;
    info.dwMask = DBIM_MINSIZE | DBIM_TITLE;
    ASSERT_EQ(desk->GetBandInfo(1, DBIF_VIEWMODE_VERTICAL, &info), S_OK);
    EXPECT_EQ(std::u16string(info.wszTitle), u"Ferncastle");
    EXPECT_EQ(info.ptMinSize.x, 250);
    EXPECT_EQ(GetWindowText(panelWindow_), "bandy4");
    EXPECT_EQ(GetDlgCtrlID(panelWindow_), 12345);
}

TEST_F(FileBandTest, TheFirstStartStoresTheDefaultsAndTheFormShowsThem) {
    OpenBand(/*keepSettings=*/true);
    EXPECT_TRUE(Contains(StoredSetting("storage"), "fileStorage")) << StoredSetting("storage");
    EXPECT_EQ(StoredSetting("depth"), "1");
    EXPECT_EQ(StoredSetting("maximages"), "0");
    EXPECT_EQ(StoredSetting("sites"), "");
    EXPECT_EQ(StoredSetting("filter"), "");
    // Nothing of the image band's.
    for (const char* name : {"style", "minwidth", "removecache", "cache", "zoomsize"})
        EXPECT_EQ(StoredSetting(name), "<none>") << name;
    EXPECT_EQ(PanelField("maximages"), "20");
    EXPECT_EQ(PanelField("depth"), "1");
    EXPECT_EQ(PanelField("wander"), "clear");
    EXPECT_EQ(PanelField("sites"), "");
}

TEST_F(FileBandTest, StoredSettingsFillTheFormAndAnExtractionSavesWhatWasTyped) {
    StoreSetting("filter", "zip");
    StoreSetting("sites", "http://a.example/\nhttp://b.example/");
    StoreSetting("depth", "3");
    StoreSetting("maximages", "0");
    StoreSetting("wander", "true");
    site_.SetBody("/start.htm", "<a href='/notes.zip'>notes</a>");
    Browse(site_.Url("/start.htm"));
    OpenBand();
    EXPECT_EQ(PanelField("filter"), "zip");
    EXPECT_EQ(PanelField("sites"), "http://a.example/\nhttp://b.example/");
    EXPECT_EQ(PanelField("depth"), "3");
    EXPECT_EQ(PanelField("maximages"), "20");
    EXPECT_EQ(PanelField("wander"), "checked");

    ASSERT_EQ(Type("depth", "0"), S_OK);
    ASSERT_EQ(Type("filter", "zip, pdf"), S_OK);
    ASSERT_EQ(Type("sites", ""), S_OK);
    Extract();
    EXPECT_EQ(StoredSetting("depth"), "0");
    EXPECT_EQ(StoredSetting("filter"), "zip, pdf");
    EXPECT_EQ(StoredSetting("sites"), "");
    EXPECT_EQ(StoredSetting("maximages"), "20");
    EXPECT_TRUE(Contains(FileTextOf(ListPage()), site_.Url("/notes.zip")));
}

TEST_F(FileBandTest, FilterWordsPickTheListAndAStoredListCountsAsTaken) {
    site_.SetBody("/start.htm",
                  "<a href='/docs/guide.pdf'>guide</a><a href='/pdfs/'>folder</a>"
                  "<a href='/docs/OLD.PDF'>old</a><a href='/notes.zip'>notes</a>");
    Browse(site_.Url("/start.htm"));
    OpenBand();
    ASSERT_EQ(Type("depth", "0"), S_OK);
    ASSERT_EQ(Type("filter", "pdf"), S_OK);
    Extract();
    std::string list = FileTextOf(ListPage());
    EXPECT_TRUE(Contains(list, site_.Url("/docs/guide.pdf"))) << list;
    EXPECT_TRUE(Contains(list, site_.Url("/pdfs/"))) << list;
    EXPECT_FALSE(Contains(list, "OLD.PDF")) << list;
    EXPECT_FALSE(Contains(list, "notes.zip")) << list;
    EXPECT_EQ(FileNamesIn(ViewFolder()),
              (std::vector<std::string>{"allFiles.htm", "allFiles.htm.txt"}));

    // The same site again: its list is stored, so the panel asks for a new name.
    Browse(site_.Url("/start.htm"));
    ASSERT_EQ(Type("filter", "@"), S_OK);
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = FindDialog("New List Name")) != nullptr; }));
    ASSERT_TRUE(TypeText(GetDlgItem(dialog, 201), "at"));
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage("allFiles.htm") && HostShowsPage("at"); }, 60s))
        << host_.GetLocationURL();
    ASSERT_TRUE(PumpUntil([&] { return PanelShows("/222"); }));
    // "@" keeps nothing: the list page says so.
    list = FileTextOf(ListPage("at"));
    EXPECT_TRUE(Contains(list, "No Files Found.")) << list;
    EXPECT_FALSE(Contains(list, "guide.pdf")) << list;
    // The first list is as it was.
    EXPECT_TRUE(Contains(FileTextOf(ListPage()), "guide.pdf"));
}

TEST_F(FileBandTest, TheItemLimitStopsTheCrawlAndTheListIsStillWritten) {
    std::string start = "<a href='/s1.pdf'>1</a><a href='/s2.pdf'>2</a><a href='/s3.pdf'>3</a>";
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        start += "<a href='/p" + n + ".htm'>p</a>";
        site_.SetBody("/p" + n + ".htm",
                      "<a href='/p" + n + ".pdf'>a</a><a href='/deep" + n + ".htm'>d</a>");
    }
    site_.SetBody("/start.htm", start);
    Browse(site_.Url("/start.htm"));
    OpenBand();
    ASSERT_EQ(Type("depth", "2"), S_OK);
    ASSERT_EQ(Type("filter", "pdf"), S_OK);
    ASSERT_EQ(Type("maximages", "3"), S_OK);
    Extract();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(site_.RequestsFor("/deep" + std::to_string(i) + ".htm").empty()) << i;
    const std::string list = FileTextOf(ListPage());
    EXPECT_TRUE(Contains(list, site_.Url("/s3.pdf"))) << list;
}

TEST_F(FileBandTest, AddAndClearEditTheSiteListWhichTheNextExtractionFollowsAndSaves) {
    // The start site is "localhost"; the listed one "127.0.0.1", another host.
    LocalSiteServer other;
    other.SetBody("/listed.htm", "<a href='/listed.pdf'>l</a>");
    site_.SetBody("/start.htm", "<a href='/start.pdf'>s</a>");
    const std::string start = "http://localhost:" + std::to_string(site_.Port()) + "/start.htm";
    Browse(other.Url("/listed.htm"));
    OpenBand();
    ASSERT_EQ(Type("depth", "0"), S_OK);
    ASSERT_EQ(Type("filter", "pdf"), S_OK);

    // An empty box: the address alone. Add never clears and never extracts.
    ASSERT_EQ(Click("#/panel/add"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return PanelField("sites") == other.Url("/listed.htm"); }))
        << PanelField("sites");
    EXPECT_EQ(PanelField("filter"), "pdf");
    // Add starts from what the box holds now.
    ASSERT_EQ(Type("sites", "http://typed.example/"), S_OK);
    ASSERT_EQ(Click("#/panel/add"), S_OK);
    const std::string both = "http://typed.example/\n" + other.Url("/listed.htm");
    EXPECT_TRUE(PumpUntil([&] { return PanelField("sites") == both; })) << PanelField("sites");
    ASSERT_EQ(Type("sites", ""), S_OK);
    ASSERT_EQ(Click("#/panel/add"), S_OK);
    // Nothing started, then or later: the panel never went to its progress page, and the
    // page shown was loaded by the test browser alone.
    ServePostedMessages();
    EXPECT_TRUE(PanelShows("/222"));
    EXPECT_EQ(other.RequestsFor("/listed.htm").size(), 1u);

    // At depth 0 the listed site is loaded all the same, and its host followed.
    Browse(start);
    const size_t beforeExtraction = site_.RequestsFor("/start.htm").size();
    Extract();
    // What one extraction asks of the start page.
    const size_t extractionRequests = site_.RequestsFor("/start.htm").size() - beforeExtraction;
    ASSERT_GT(extractionRequests, 0u);
    EXPECT_EQ(StoredSetting("sites"), other.Url("/listed.htm"));
    std::string list = FileTextOf(storage_ + "\\localhost" + std::to_string(site_.Port()) +
                                  "\\default\\allFiles.htm");
    EXPECT_TRUE(Contains(list, "/start.pdf")) << list;
    EXPECT_TRUE(Contains(list, other.Url("/listed.pdf"))) << list;

    // Clear empties the box and starts nothing; the next extraction saves it empty.
    other.ClearRequests();
    Browse(start);
    const size_t startRequests = site_.RequestsFor("/start.htm").size();
    ASSERT_EQ(Click("#/panel/clear"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return PanelField("sites").empty(); })) << PanelField("sites");
    // Nothing starts, then or later: no name is asked for (the list is stored) and the
    // panel stays on its page once everything posted meanwhile has been served.
    ServePostedMessages();
    EXPECT_TRUE(PanelShows("/222"));
    EXPECT_EQ(FindDialog("New List Name"), nullptr);
    EXPECT_EQ(StoredSetting("sites"), other.Url("/listed.htm"));
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = FindDialog("New List Name")) != nullptr; }));
    ASSERT_TRUE(TypeText(GetDlgItem(dialog, 201), "cleared"));
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(PumpUntil([&] { return HostShowsPage("cleared") && PanelShows("/222"); }, 60s));
    EXPECT_EQ(StoredSetting("sites"), "");
    EXPECT_TRUE(other.RequestsFor("/listed.htm").empty());
    // The extraction after the clear is the only one that read the start page since: a
    // crawl the clear had started would have read it too.
    EXPECT_EQ(site_.RequestsFor("/start.htm").size(), startRequests + extractionRequests);
}

TEST_F(FileBandTest, SaveInEditModeWritesTheEditedListAndRebuildsNothing) {
    site_.SetBody("/start.htm", "<a href='/keep.pdf'>k</a><a href='/drop.pdf'>d</a>");
    Browse(site_.Url("/start.htm"));
    OpenBand();
    ASSERT_EQ(Type("depth", "0"), S_OK);
    ASSERT_EQ(Type("filter", "pdf"), S_OK);
    Extract();
    Command("/panel/edit");
    ASSERT_TRUE(PumpUntil([&] {
        auto document = host_.GetHtmlDocument();
        return document && document->ReadyState() == "complete" && HostShowsPage("allFiles.htm") &&
               EqualsNoCase(host_.GetDesignMode(), "on");
    }));
    std::string edited = host_.GetHtmlDocument()->DocumentElement()->OuterHtml();
    const size_t drop = edited.find("drop.pdf");
    ASSERT_NE(drop, std::string::npos) << edited;
    edited.replace(drop, 8, "gone.pdf");
    ASSERT_EQ(host_.ReplaceDocumentFromHtml(edited), S_OK);
    Command("/panel/save");
    ASSERT_TRUE(PumpUntil([&] { return EqualsNoCase(host_.GetDesignMode(), "off"); }));
    EXPECT_TRUE(PanelShows("/222"));
    const std::string list = FileTextOf(ListPage());
    EXPECT_TRUE(Contains(list, "gone.pdf")) << list;
    EXPECT_TRUE(Contains(list, "keep.pdf")) << list;
    // No image pages took the list's place.
    EXPECT_EQ(FileNamesIn(ViewFolder()),
              (std::vector<std::string>{"allFiles.htm", "allFiles.htm.txt"}));
    // The saved page is shown.
    ASSERT_TRUE(PumpUntil([&] {
        auto document = host_.GetHtmlDocument();
        return document && document->ReadyState() == "complete" && HostShowsPage("allFiles.htm");
    }));
    EXPECT_TRUE(Contains(host_.GetHtmlDocument()->DocumentElement()->OuterHtml(), "gone.pdf"));
    // Out of edit mode, save is refused again.
    ExpectedMessageBoxes boxes;
    boxes.Expect("You must be in edit mode for this to work.");
    Command("/panel/save");
    // The image band's view commands are not this band's: no message, nothing shown.
    Command("/panel/view/thumbnails");
    EXPECT_TRUE(HostShowsPage("allFiles.htm"));
    ASSERT_EQ(Click("#/panel/view/storage"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !HostShowsPage("allFiles.htm"); }));
    EXPECT_TRUE(Contains(host_.GetLocationURL(), "bandstorage")) << host_.GetLocationURL();
}

}  // namespace
