// The image finder band end to end: created by class id in a test browser on a local
// site, its panel driven by clicks and typing as a person drives it.
#include <gtest/gtest.h>

#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/UserInput.h"
#include "tests/band/quillet/QuilletFixture.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/FolderTree.h"

using namespace std::chrono_literals;
using namespace UserInput;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A file name without its extension.
std::string BaseOfName(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

// The visible top-level window with that caption, null when there is none.
HWND FindDialog(const std::string& caption) {
    for (HWND window = GetTopWindow(nullptr); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindowText(window) == caption && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// A folder picker that answers with one folder.
class ScriptedFolders final : public DialogService {
public:
    explicit ScriptedFolders(std::string answer) : answer_(std::move(answer)) {
        SetDialogService(this);
    }
    ~ScriptedFolders() override { SetDialogService(nullptr); }
    std::string BrowseForFolder(const FolderDialogRecord& dialog) override {
        asked = dialog;
        return answer_;
    }
    std::string ChooseFile(const FileDialogRecord&) override { return {}; }
    FolderDialogRecord asked;

private:
    std::string answer_;
};

TEST_F(QuilletTest, RegistrationWritesTheClassCategoryAndTypeLibraryAndUnregistrationRemovesThem) {
    const std::string keys = ListRegistry();
    for (const char* key :
         {"HKEY_CLASSES_ROOT\\Quillet.Pemberlit.1\\CLSID",
          "HKEY_CLASSES_ROOT\\Quillet.Pemberlit\\CurVer",
          "HKEY_CLASSES_ROOT\\CLSID\\{0FF527A4-6274-44FF-A14C-C2FB99E648C9}\\InprocServer32",
          "HKEY_CLASSES_ROOT\\CLSID\\{0FF527A4-6274-44FF-A14C-C2FB99E648C9}\\Implemented "
          "Categories\\{00021493-0000-0000-C000-000000000046}",
          "HKEY_CLASSES_ROOT\\TypeLib\\{4147C9A4-CA2D-44A9-8859-301036710116}\\1.0",
          "HKEY_CLASSES_ROOT\\Interface\\{FCCC006B-640B-498D-8D95-D23E69D2B5A9}"})
        EXPECT_TRUE(Contains(keys, key)) << key;
    ASSERT_EQ(library_.Unregister(), S_OK);
    const std::string left = ListRegistry();
    for (const char* id : {"0FF527A4", "4147C9A4", "FCCC006B", "Quillet"})
        EXPECT_FALSE(Contains(left, id)) << id;
    ASSERT_EQ(library_.Register(), S_OK);
}

TEST_F(QuilletTest, TheBandAnswersTheBrowsersQuestions) {
    OpenBand();
    ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>();
    ASSERT_TRUE(desk);
    EXPECT_EQ(desk->GetBandInfo(7, DBIF_VIEWMODE_VERTICAL, nullptr), S_OK);
    DESKBANDINFO info;
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_TITLE | DBIM_BKCOLOR | DBIM_MODEFLAGS;
    EXPECT_EQ(desk->GetBandInfo(7, DBIF_VIEWMODE_VERTICAL, &info), S_OK);
    EXPECT_EQ(info.dwMask & DBIM_BKCOLOR, 0u);
    EXPECT_EQ(info.ptMinSize.x, 250);
    EXPECT_EQ(info.ptMaxSize.y, -1);
    EXPECT_EQ(std::u16string(info.wszTitle), u"Brisquel");
    EXPECT_EQ(info.dwModeFlags, DBIMF_VARIABLEHEIGHT);
    HWND window = nullptr;
    EXPECT_EQ(desk->GetWindow(nullptr), E_INVALIDARG);
    EXPECT_EQ(desk->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), frame_);
    EXPECT_EQ(GetWindowText(window), "bandy");
    EXPECT_EQ(GetDlgCtrlID(window), 1234);
    EXPECT_EQ(desk->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(IsWindowVisible(window));
    ComPointer<IPersistStream> persist = bandObject_.query<IPersistStream>();
    CLSID clsid{};
    ASSERT_TRUE(persist);
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, kQuilletClassId);
}

TEST_F(QuilletTest, ASecondSiteReplacesThePanelAndCloseDWLeavesNothingListening) {
    OpenBand();
    const HWND first = panelWindow_;
    ASSERT_EQ(bandObject_->SetSite(static_cast<IOleWindow*>(bandSite_.get())), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(first); }));
    ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>();
    HWND second = nullptr;
    ASSERT_EQ(desk->GetWindow(&second), S_OK);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_NE(second, first);
    // A site without a window fails and keeps the panel as it is.
    EXPECT_EQ(bandObject_->SetSite(nullptr), S_OK);
    EXPECT_TRUE(IsWindow(second));

    // Closed: the panel is gone, and the host's navigations reach no view.
    EXPECT_EQ(desk->CloseDW(0), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(second); }));
    Browse(site_.Url("/index.htm"));
    Browse(site_.Url("/pages/garden.htm"));
}

TEST_F(QuilletTest, ThePrintCommandPrintsThePanelsOwnPage) {
    Browse(site_.Url("/index.htm"));
    OpenBand();
    EXPECT_EQ(SendMessage(panelWindow_, WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 0), 0), 0);
    // The panel's page, not the host's, with the person asked first.
    EXPECT_EQ(panel_->GetPrints(), (std::vector<PrintRecord>{{panel_->GetLocationURL(), true}}));
    EXPECT_TRUE(host_.GetPrints().empty());
}

TEST_F(QuilletTest, ThePanelFillsItsFormFromTheSettingsAndCommandsNeedAView) {
    StoreSetting("depth", "2");
    StoreSetting("minwidth", "100");
    StoreSetting("wander", "TRUE");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    EXPECT_EQ(PanelField("extract", "depth"), "2");
    EXPECT_EQ(PanelField("extract", "minwidth"), "100");
    EXPECT_EQ(PanelField("extract", "maximages"), "20");
    EXPECT_EQ(PanelField("extract", "wander"), "checked");
    EXPECT_EQ(panel_->GetHtmlDocument()->GetElementById("curview")->InnerText(), "current view");

    ExpectedMessageBoxes boxes;
    boxes.Expect("You need to either 'extract' a site or 'open view' first.")
        .Expect("No view is selected.")
        .Expect("You must be in edit mode for this to work.")
        .Expect("No view is selected.");
    for (const char* link : {"#/panel/view/tiled", "#/panel/site", "#/panel/save", "#/panel/edit"})
        EXPECT_EQ(Click(link), S_OK) << link;
    // Matching ignores case; the help page goes to the host.
    EXPECT_EQ(Click("#/panel/help"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return HostShowsPage("/216"); }));
    EXPECT_TRUE(PanelShows("/214"));
    ASSERT_EQ(boxes.Pending().size(), 0u);
}

TEST_F(QuilletTest, AnExtractionRunsWithTheTypedDepthShowsProgressAndEndsOnTheView) {
    StoreSetting("minwidth", "0");
    StoreSetting("minheight", "0");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    ASSERT_EQ(panel_->TypeIntoField("extract", "depth", "0"), S_OK);
    // One picture of the page holds the run until its progress has been read.
    const char* held = "/pictures/logo.gif";
    site_.SetStalled(held);
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return PanelShows("/215"); }));
    // The timer writes the job's values into the progress page.
    EXPECT_TRUE(PumpUntil([&] { return PanelField("stop", "url") == site_.Url("/index.htm"); }))
        << PanelField("stop", "url");
    EXPECT_TRUE(PumpUntil([&] { return Contains(PanelField("stop", "percent"), " - "); }));
    site_.SetDelay(held, std::chrono::milliseconds(0));
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); }, 60s))
        << host_.GetLocationURL();

    // Depth 0: the start page alone was read.
    EXPECT_TRUE(site_.RequestsFor("/pages/garden.htm").empty());
    EXPECT_EQ(FileNamesIn(ViewFolder()), (std::vector<std::string>{"allImages.htm", "allThumbs.htm",
                                                                   "slideShow.htm", "zoom.htm"}));
    EXPECT_FALSE(FileNamesIn(ViewFolder() + "\\images").empty());
    // The criteria were saved, and the form shows them again with the site's host and
    // port.
    EXPECT_EQ(StoredSetting("depth"), "0");
    EXPECT_EQ(PanelField("extract", "depth"), "0");
    EXPECT_EQ(panel_->GetHtmlDocument()->GetElementById("curview")->InnerText(),
              "127.0.0.1:" + std::to_string(site_.Port()));

    // The view commands show each page of the view in the host.
    const std::pair<const char*, const char*> views[] = {
        {"#/panel/view/thumbnails", "allThumbs.htm"},
        {"#/panel/view/slideshow", "slideShow.htm"},
        {"#/panel/view/zoom", "zoom.htm"},
        {"#/panel/view/tiled", "allImages.htm"},
    };
    for (const auto& [link, page] : views) {
        ASSERT_EQ(Click(link), S_OK);
        EXPECT_TRUE(PumpUntil([&] { return HostShowsPage(page); })) << link;
    }

    // Commands ignore case.
    const std::string main = panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
    ASSERT_TRUE(panel_->Navigate2(main + "#/PANEL/VIEW/ZOOM"));
    EXPECT_TRUE(PumpUntil([&] { return HostShowsPage("zoom.htm"); }));

    // The same site again: the name is taken, so the panel asks for one.
    Browse(site_.Url("/index.htm"));
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = FindDialog("New View Name")) != nullptr; }));
    EXPECT_TRUE(PanelShows("/214")) << panel_->GetLocationURL();
    EXPECT_EQ(GetWindowText(GetDlgItem(dialog, 201)), "default");
    ASSERT_TRUE(TypeText(GetDlgItem(dialog, 201), "second"));
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(PumpUntil([&] { return HostShowsPage("second") && PanelShows("/214"); }, 60s))
        << host_.GetLocationURL();
    EXPECT_EQ(FileNamesIn(ViewFolder("second")).size(), 4u);

    // Open View lists the site and its views and opens the one chosen.
    Browse(site_.Url("/index.htm"));
    ASSERT_EQ(Click("#/panel/open"), S_OK);
    dialog = FindDialog("Open View");
    ASSERT_NE(dialog, nullptr);
    const HWND list = GetDlgItem(dialog, 209);
    ASSERT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 3);
    // Open with nothing chosen keeps the dialog.
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(IsWindowVisible(dialog));
    ASSERT_TRUE(SelectListRow(list, 1));
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(PumpUntil([&] {
        return HostShowsPage("default\\allImages.htm") || HostShowsPage("default/allImages.htm");
    })) << host_.GetLocationURL();
}

TEST_F(QuilletTest, ABlankNameInNewViewNameIsTheDefaultView) {
    StoreSetting("minwidth", "0");
    StoreSetting("minheight", "0");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    Extract("0");
    // "default" is taken; a blank name overwrites it, as the dialog says, and is never
    // refused as taken.
    for (const char* blank : {"", "   "}) {
        Browse(site_.Url("/index.htm"));
        ASSERT_EQ(Click("#/panel/extract"), S_OK);
        const HWND dialog = FindDialog("New View Name");
        ASSERT_NE(dialog, nullptr) << "'" << blank << "'";
        ASSERT_TRUE(TickBox(GetDlgItem(dialog, 203), false));  // asked again next time
        ASSERT_TRUE(TypeText(GetDlgItem(dialog, 201), blank));
        const std::shared_ptr<HtmlDocument> asking = panel_->GetHtmlDocument();
        ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
        EXPECT_FALSE(IsWindowVisible(dialog)) << "'" << blank << "'";
        // The extraction ran: the panel shows its main page afresh once it has ended.
        ASSERT_TRUE(PumpUntil(
            [&] {
                return HostShowsPage("default") && HostShowsPage("allImages.htm") &&
                       PanelShows("/214") && panel_->GetHtmlDocument() != asking;
            },
            60s))
            << host_.GetLocationURL();
    }
    // One view of the site, with its four pages.
    std::vector<FolderEntry> views;
    const std::string site = ViewFolder();
    ASSERT_TRUE(ListFolder(site.substr(0, site.rfind('\\')), &views));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].name, "default");
    EXPECT_EQ(FileNamesIn(ViewFolder()).size(), 4u);
}

TEST_F(QuilletTest, TheSettingsDialogBrowsesForTheStorageFolderAndKeepsIt) {
    OpenBand();
    ScriptedFolders folders("c:\\chosen");
    ASSERT_EQ(Click("#/panel/settings"), S_OK);
    HWND dialog = FindDialog("Brisquel Settings");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowText(GetDlgItem(dialog, 210)), storage_);
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, 211)));
    EXPECT_EQ(folders.asked.initialFolder, storage_);
    EXPECT_EQ(GetWindowText(GetDlgItem(dialog, 210)), "c:\\chosen");
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(StoredSetting("storage"), "c:\\chosen");

    // Shown again it starts from the stored folder; an empty location is ignored.
    ASSERT_EQ(Click("#/panel/settings"), S_OK);
    dialog = FindDialog("Brisquel Settings");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowText(GetDlgItem(dialog, 210)), "c:\\chosen");
    ASSERT_TRUE(TypeText(GetDlgItem(dialog, 210), ""));
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(StoredSetting("storage"), "c:\\chosen");
}

TEST_F(QuilletTest, StopDuringTheCrawlGivesAFastViewOfWhatWasFound) {
    site_.SetStalled("/pages/harbour.htm");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    ASSERT_EQ(panel_->TypeIntoField("extract", "depth", "1"), S_OK);
    ASSERT_EQ(panel_->TypeIntoField("extract", "minwidth", "0"), S_OK);
    ASSERT_EQ(panel_->TypeIntoField("extract", "minheight", "0"), S_OK);
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !site_.RequestsFor("/pages/harbour.htm").empty(); }));
    ASSERT_TRUE(PanelShows("/215"));
    ASSERT_EQ(Click("#/working/stop"), S_OK);
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); }, 60s));
    // Fast: nothing downloaded, the page names the pictures where they are.
    EXPECT_TRUE(FileNamesIn(ViewFolder() + "\\images").empty());
    EXPECT_TRUE(Contains(FileTextOf(ViewFolder() + "\\allImages.htm"), site_.BaseUrl()));
}

TEST_F(QuilletTest, AfterAStopTheProgressIsWrittenIntoTheProgressPageShownThen) {
    StoreSetting("minwidth", "0");
    StoreSetting("minheight", "0");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    ASSERT_EQ(panel_->TypeIntoField("extract", "depth", "0"), S_OK);
    // The picture's download holds the run after the stop (and is let go however the
    // test ends).
    const char* held = "/pictures/logo.gif";
    site_.SetStalled(held);
    struct LetGo {
        LocalSiteServer& site;
        const char* path;
        ~LetGo() { site.SetDelay(path, std::chrono::milliseconds(0)); }
    } letGo{site_, held};
    const size_t shown = site_.RequestsFor(held).size();  // the test browser's own
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return site_.RequestsFor(held).size() > shown; }, 60s));
    ASSERT_TRUE(PumpUntil([&] { return PanelField("stop", "url") == site_.Url("/index.htm"); }));
    ASSERT_EQ(Click("#/working/stop"), S_OK);

    // The progress page is loaded afresh while the job still runs: the next updates
    // write into the page now shown.
    const std::string progress =
        panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
    const std::shared_ptr<HtmlDocument> before = panel_->GetHtmlDocument();
    ASSERT_TRUE(panel_->Navigate2(progress));
    EXPECT_TRUE(PumpUntil([&] {
        return PanelShows("/215") && panel_->GetHtmlDocument() != before &&
               PanelField("stop", "url") == site_.Url("/index.htm");
    })) << PanelField("stop", "url");
    EXPECT_TRUE(Contains(PanelField("stop", "percent"), " - ")) << PanelField("stop", "percent");
    site_.SetDelay(held, std::chrono::milliseconds(0));
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); }, 60s));
}

TEST_F(QuilletTest, CancelDiscardsTheExtractionAndWritesNothingIntoTheView) {
    site_.SetStalled("/pages/harbour.htm");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    ASSERT_EQ(panel_->TypeIntoField("extract", "depth", "1"), S_OK);
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !site_.RequestsFor("/pages/harbour.htm").empty(); }));
    ASSERT_EQ(Click("#/working/stop/cancel"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return PanelShows("/214"); }));
    // The panel goes; its engine waits for the cancelled job to end.
    CloseBand();
    EXPECT_FALSE(HostShowsPage("allImages.htm"));
    EXPECT_EQ(FilesBelow(ViewFolder()), std::vector<std::string>{});
}

TEST_F(QuilletTest, AnEditedViewIsSavedAndRebuiltWithTheChange) {
    StoreSetting("minwidth", "0");
    StoreSetting("minheight", "0");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    Extract("0");
    const std::string before = FileTextOf(ViewFolder() + "\\allImages.htm");
    ASSERT_TRUE(Contains(before, "logo")) << before;

    ASSERT_EQ(Click("#/panel/edit"), S_OK);
    // The page has loaded, not only started to.
    ASSERT_TRUE(PumpUntil([&] {
        auto document = host_.GetHtmlDocument();
        return HostShowsPage("allImages.htm") && document && document->ReadyState() == "complete";
    }));
    // Every event of the load has come: edit mode stays.
    ServePostedMessages();
    EXPECT_TRUE(EqualsNoCase(host_.GetDesignMode(), "on")) << host_.GetDesignMode();
    // Outside save and cancel, edit mode refuses every command.
    {
        ExpectedMessageBoxes boxes;
        boxes.Expect(
            "You are currently in 'Edit Mode'. You can press 'cancel' or 'save' to exit edit "
            "mode.");
        EXPECT_EQ(Click("#/panel/help"), S_OK);
    }

    // The person takes the logo out of the page, then saves.
    std::string edited = host_.GetHtmlDocument()->DocumentElement()->OuterHtml();
    const size_t logo = edited.find("logo");
    ASSERT_NE(logo, std::string::npos);
    const size_t start = edited.rfind("<img", logo);
    const size_t end = edited.find('>', logo);
    ASSERT_NE(start, std::string::npos);
    edited.erase(start, end + 1 - start);
    ASSERT_EQ(host_.ReplaceDocumentFromHtml(edited), S_OK);
    ASSERT_EQ(Click("#/panel/save"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return PanelShows("/215"); }));
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); }, 60s));
    EXPECT_TRUE(EqualsNoCase(host_.GetDesignMode(), "off"));
    const std::string after = FileTextOf(ViewFolder() + "\\allImages.htm");
    EXPECT_FALSE(Contains(after, "logo")) << after;
    EXPECT_TRUE(Contains(after, "banner")) << after;
}

// The markup without every picture whose address holds name.
std::string WithoutPicture(std::string html, const std::string& name) {
    for (size_t at = html.find(name); at != std::string::npos; at = html.find(name)) {
        const size_t start = html.rfind("<img", at);
        const size_t end = html.find('>', at);
        if (start == std::string::npos || end == std::string::npos)
            break;
        html.erase(start, end + 1 - start);
    }
    return html;
}

TEST_F(QuilletTest, SavingAnEditedViewRebuildsItsOtherPagesWithoutTheDeletedPictures) {
    // The criteria form asks for pictures of at least 50 by 50: the stored pictures are
    // named on the edited page without their sizes.
    StoreSetting("minwidth", "50");
    StoreSetting("minheight", "50");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    Extract("1");
    const std::string view = ViewFolder();
    const StringArray pictures = FileNamesIn(view + "\\images");
    ASSERT_GE(pictures.size(), 3u) << FileTextOf(view + "\\allImages.htm");
    const std::string gone[] = {BaseOfName(pictures[0]), BaseOfName(pictures[1])};

    const auto hostShowsTiledPage = [&] {
        auto document = host_.GetHtmlDocument();
        return HostShowsPage("allImages.htm") && document && document->ReadyState() == "complete";
    };
    ASSERT_EQ(Click("#/panel/view/tiled"), S_OK);
    ASSERT_TRUE(PumpUntil(hostShowsTiledPage));
    ASSERT_EQ(Click("#/panel/edit"), S_OK);
    ASSERT_TRUE(PumpUntil(
        [&] { return hostShowsTiledPage() && EqualsNoCase(host_.GetDesignMode(), "on"); }));
    std::string edited = host_.GetHtmlDocument()->DocumentElement()->OuterHtml();
    for (const std::string& name : gone)
        edited = WithoutPicture(edited, name);
    ASSERT_EQ(host_.ReplaceDocumentFromHtml(edited), S_OK);
    const std::shared_ptr<HtmlDocument> editing = panel_->GetHtmlDocument();
    ASSERT_EQ(Click("#/panel/save"), S_OK);
    // The rebuild has ended once the panel shows its main page afresh.
    ASSERT_TRUE(PumpUntil(
        [&] {
            return PanelShows("/214") && panel_->GetHtmlDocument() != editing &&
                   HostShowsPage("allImages.htm");
        },
        60s));

    // Every page of the view follows the edit; the pictures left are on each of them.
    const std::string kept = BaseOfName(pictures[2]);
    for (const char* page : {"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"}) {
        const std::string text = FileTextOf(view + "\\" + page);
        for (const std::string& name : gone)
            EXPECT_FALSE(Contains(text, name)) << page << " still shows " << name;
        EXPECT_TRUE(Contains(text, kept)) << page << ":\n" << text;
    }
    const StringArray left = FileNamesIn(view + "\\images");
    EXPECT_EQ(left.size(), pictures.size() - 2) << ::testing::PrintToString(left);
}

TEST_F(QuilletTest, CancelInEditModeShowsTheUneditedPageAgain) {
    StoreSetting("minwidth", "0");
    StoreSetting("minheight", "0");
    Browse(site_.Url("/index.htm"));
    OpenBand();
    Extract("0");
    const std::string stored = FileTextOf(ViewFolder() + "\\allImages.htm");
    ASSERT_TRUE(Contains(stored, "logo")) << stored;

    ASSERT_EQ(Click("#/panel/edit"), S_OK);
    ASSERT_TRUE(PumpUntil([&] {
        auto document = host_.GetHtmlDocument();
        return HostShowsPage("allImages.htm") && document && document->ReadyState() == "complete" &&
               EqualsNoCase(host_.GetDesignMode(), "on");
    }));
    // The person types over the page, then thinks better of it.
    const std::string typed = "Typed while editing";
    std::string edited = host_.GetHtmlDocument()->DocumentElement()->OuterHtml();
    const size_t body = edited.find("<body>");
    ASSERT_NE(body, std::string::npos) << edited;
    edited.insert(body + 6, "<p>" + typed + "</p>");
    ASSERT_EQ(host_.ReplaceDocumentFromHtml(edited), S_OK);
    ASSERT_EQ(Click("#/panel/cancel"), S_OK);

    // The stored file is kept and shown again as it is, with edit mode over.
    ASSERT_TRUE(PumpUntil([&] {
        auto document = host_.GetHtmlDocument();
        return HostShowsPage("allImages.htm") && document && document->ReadyState() == "complete" &&
               !Contains(document->DocumentElement()->OuterHtml(), typed);
    })) << host_.GetHtmlDocument()->DocumentElement()->OuterHtml();
    EXPECT_TRUE(Contains(host_.GetHtmlDocument()->DocumentElement()->OuterHtml(), "logo"));
    EXPECT_TRUE(EqualsNoCase(host_.GetDesignMode(), "off")) << host_.GetDesignMode();
    EXPECT_EQ(FileTextOf(ViewFolder() + "\\allImages.htm"), stored);
    // Out of edit mode: cancel is refused again.
    ExpectedMessageBoxes boxes;
    boxes.Expect("You must be in edit mode for this to work.");
    EXPECT_EQ(Click("#/panel/cancel"), S_OK);
}

}  // namespace
