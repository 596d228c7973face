#include <gtest/gtest.h>

#include <algorithm>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/LinkAddress.h"
#include "platform/browser/PageLoader.h"
#include "platform/browser/ResourcePage.h"
#include "platform/file/FileLayer.h"
#include "tests/platform/browser/BrowserControlFixture.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

namespace {

bool HasCommandWord(const std::string& address) {
    const std::string lower = ToLowerAscii(address);
    return lower.find("/panel/") != std::string::npos ||
           lower.find("/working/") != std::string::npos;
}

}  // namespace

TEST_F(BrowserControlTest, LoadsAModulesResourcePageWithoutCommandWordsInItsAddress) {
    // The module sits in ".../panel/working/": its folders must not read as commands.
    ASSERT_NE(modulePath_.find("\\panel\\working\\"), std::string::npos) << modulePath_;
    const std::string main = Page(214);
    EXPECT_FALSE(HasCommandWord(main)) << main;

    ASSERT_TRUE(view.Navigate2(main));
    Pump();
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"before " + main, "navigated " + main, "state 2 0",
                                        "state 1 0", "document " + main}));
    EXPECT_EQ(view.ambientQuestions, 1) << "the download control is asked before the load";
    auto document = view.GetHtmlDocument();
    ASSERT_TRUE(document);
    EXPECT_EQ(document->ReadyState(), "complete");
    EXPECT_EQ(document->Url(), main);
    EXPECT_EQ(view.GetLocationURL(), main);
    EXPECT_EQ(document->Body()->GetAttribute("scroll"), "no");

    // The page's picture resolves inside the module and reads as its GIF resource.
    const std::string picture = document->Images().Item(0)->Src();
    EXPECT_EQ(picture, FormatText("res://%s/GIF/320", modulePath_.c_str()));
    std::string bytes;
    bool html = true;
    EXPECT_EQ(ReadResourcePage(picture, &bytes, &html), S_OK);
    EXPECT_FALSE(html);
    EXPECT_EQ(bytes.substr(0, 3), "GIF");

    // Every link of the page: only the command links hold command words.
    for (LONG i = 0; i < document->Links().Length(); ++i) {
        const std::string href = document->Links().Item(i)->Href();
        const bool command = document->Links().Item(i)->GetAttribute("href").find("#/") == 0;
        EXPECT_EQ(HasCommandWord(href), command) << href;
    }
}

TEST_F(BrowserControlTest, ResourceAddressesResolveInsideTheirModule) {
    const std::string base = "res://\\opt\\panel\\m.so/214#/panel/extract";
    const struct {
        const char* href;
        const char* expected;
    } cases[] = {
        {"GIF/320", "res://\\opt\\panel\\m.so/GIF/320"},
        {"#/panel/help", "res://\\opt\\panel\\m.so/214#/panel/help"},
        {"215", "res://\\opt\\panel\\m.so/215"},
        {"../../../215", "res://\\opt\\panel\\m.so/215"},
        {"/GIF/1", "res://\\opt\\panel\\m.so/GIF/1"},
        {"?x=1", "res://\\opt\\panel\\m.so/214?x=1"},
        {"", "res://\\opt\\panel\\m.so/214"},
        {"a b.htm", "res://\\opt\\panel\\m.so/a%20b.htm"},
        {"http://h.x/p", "http://h.x/p"},
        {"mailto:a@b.x", "mailto:a@b.x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveLinkAddress(base, c.href), c.expected) << c.href;
}

TEST_F(BrowserControlTest, OnlyResourcesOfLoadedModulesAreServed) {
    const std::string notALibrary = MapToLinuxPath(FixturePath("browser/panel-main.htm"));
    std::string systemPath = notALibrary;
    std::replace(systemPath.begin(), systemPath.end(), '/', '\\');
    const struct {
        std::string address;
        HRESULT expected;
    } cases[] = {
        {Page(214), S_OK},
        {Page(999), INET_E_RESOURCE_NOT_FOUND},
        {FormatText("res://%s/GIF/321", modulePath_.c_str()), INET_E_RESOURCE_NOT_FOUND},
        {FormatText("res://%s/abc", modulePath_.c_str()), INET_E_INVALID_URL},
        {FormatText("res://%s/GIF/", modulePath_.c_str()), INET_E_INVALID_URL},
        {FormatText("res://%s/99999999", modulePath_.c_str()), INET_E_INVALID_URL},
        {"res://" + systemPath + "/214", INET_E_RESOURCE_NOT_FOUND},  // never loaded
        {"res://\\no\\such\\module.so/214", INET_E_RESOURCE_NOT_FOUND},
        {"res://relative.so/214", INET_E_RESOURCE_NOT_FOUND},
        {"res:///214", INET_E_INVALID_URL},
    };
    for (const auto& c : cases) {
        std::string bytes;
        bool html = false;
        EXPECT_EQ(ReadResourcePage(c.address, &bytes, &html), c.expected) << c.address;
    }
    const std::string missing = Page(999);
    view.Navigate2(missing);
    Pump();
    EXPECT_EQ(view.events.back(), FormatText("error %s 0x%08X", missing.c_str(),
                                             static_cast<unsigned>(INET_E_RESOURCE_NOT_FOUND)));
    EXPECT_FALSE(view.GetHtmlDocument());
}

TEST_F(BrowserControlTest, ACommandLinkRaisesBeforeNavigate2WithTheWholeAddress) {
    const std::string main = Page(214);
    Load(main);
    const auto document = view.GetHtmlDocument();
    ASSERT_EQ(view.TypeIntoField("extract", "depth", "7"), S_OK);

    ASSERT_EQ(view.ClickLink("#/panel/extract"), S_OK);
    Pump();
    // A move inside the document: no reload, no DocumentComplete, the typed value kept.
    EXPECT_EQ(view.events, (std::vector<std::string>{"before " + main + "#/panel/extract",
                                                     "navigated " + main + "#/panel/extract",
                                                     "state 2 1", "state 1 0"}));
    EXPECT_EQ(view.GetHtmlDocument(), document);
    EXPECT_EQ(FieldValue("extract", "depth"), "7");
    EXPECT_EQ(view.GetLocationURL(), main + "#/panel/extract");
    EXPECT_EQ(document->Url(), main + "#/panel/extract");

    view.events.clear();
    ASSERT_EQ(view.ClickLinkByText("Fast extract"), S_OK);
    EXPECT_EQ(view.events.front(), "before " + main + "#/panel/extract/fast");
    EXPECT_EQ(view.ClickLinkByText("No such link"), E_INVALIDARG);
    EXPECT_EQ(view.ClickLink("javascript:void(0)"), S_FALSE) << "scripts never run";
}

TEST_F(BrowserControlTest, ACancelledNavigationKeepsThePage) {
    const std::string main = Page(214);
    Load(main);
    const auto document = view.GetHtmlDocument();
    view.TypeIntoField("extract", "depth", "9");
    view.onBefore = [](const std::string&) { return true; };

    ASSERT_EQ(view.ClickLink("#/panel/extract"), S_OK);
    ASSERT_TRUE(view.Navigate2(Page(215)));
    ASSERT_EQ(view.ClickLink("215"), S_OK);
    Pump();
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"before " + main + "#/panel/extract", "before " + Page(215),
                                        "before " + Page(215)}));
    EXPECT_EQ(view.ambientQuestions, 1) << "a cancelled navigation asks nothing more";
    EXPECT_EQ(view.GetHtmlDocument(), document);
    EXPECT_EQ(view.GetLocationURL(), main);
    EXPECT_EQ(FieldValue("extract", "depth"), "9");
}

TEST_F(BrowserControlTest, ANavigationStartedInBeforeNavigate2SupersedesTheFragmentMove) {
    const std::string main = Page(214);
    Load(main);
    view.onBefore = [&](const std::string& url) {
        if (url.find("#/panel/extract") != std::string::npos)
            view.Navigate2(Page(215));  // what the panel's extract command does
        return false;
    };
    ASSERT_EQ(view.ClickLink("#/panel/extract"), S_OK);
    Pump();
    EXPECT_EQ(view.events.front(), "before " + main + "#/panel/extract");
    EXPECT_EQ(view.events.back(), "document " + Page(215));
    for (const std::string& event : view.events)
        EXPECT_NE(event, "navigated " + main + "#/panel/extract");
    EXPECT_EQ(view.GetLocationURL(), Page(215));
}

TEST_F(BrowserControlTest, SubmittedFormsNavigateToTheirResolvedAction) {
    Load(Page(215));
    view.TypeIntoField("stop", "url", "http://a.x/b c");
    ASSERT_EQ(view.SubmitForm("stop"), S_OK);
    Pump();
    const std::string get = Page(215) + "?url=http%3A%2F%2Fa.x%2Fb+c&percent=#/working/stop";
    EXPECT_EQ(view.events.front(), "before " + get);
    EXPECT_EQ(view.events.back(), "document " + get);

    const std::string main = Page(214);
    Load(main);
    view.TickBox("extract", "wander", true);
    ASSERT_EQ(view.SubmitForm(""), S_OK);
    Pump();
    EXPECT_EQ(view.events.front(), "before " + main + "#/panel/extract");
    EXPECT_EQ(view.postedData.front(), "depth=2&maximages=100&wander=ON");
    EXPECT_EQ(view.events.back(), "document " + main + "#/panel/extract") << "a POST loads";
    EXPECT_EQ(view.SubmitForm("nothing"), E_INVALIDARG);
    EXPECT_EQ(view.TickBox("extract", "nothing", true), E_INVALIDARG);
}

TEST_F(BrowserControlTest, DesignModeStaysWithTheControlAndEditsComeBackThroughOuterHtml) {
    Load(Page(214));
    EXPECT_EQ(view.EditInDesignMode("curview", "edited"), E_ACCESSDENIED);
    view.GetHtmlDocument()->SetDesignMode("On");  // as a band sets it, through the document
    EXPECT_EQ(view.GetDesignMode(), "On");
    EXPECT_TRUE(view.events.empty()) << "changing the mode raises no event";

    ASSERT_EQ(view.EditInDesignMode("curview", "a <b> site"), S_OK);
    const std::string html = view.GetHtmlDocument()->DocumentElement()->OuterHtml();
    EXPECT_NE(html.find("<span id=\"curview\">a &lt;b&gt; site</span>"), std::string::npos) << html;
    EXPECT_EQ(view.ClickLink("#/panel/extract"), S_FALSE) << "links are edited, not followed";
    EXPECT_TRUE(view.events.empty());

    Load(Page(215));
    EXPECT_EQ(view.GetHtmlDocument()->DesignMode(), "On") << "the mode outlives the page";
    view.SetDesignMode("Off");
    Load(Page(214));
    EXPECT_EQ(view.GetHtmlDocument()->DesignMode(), "Off");
    EXPECT_EQ(view.EditInDesignMode("curview", "x"), E_ACCESSDENIED);
}

TEST_F(BrowserControlTest, DocumentWriteReplacesThePage) {
    Load(Page(214));
    const auto document = view.GetHtmlDocument();
    document->Write("<html><body><p id=\"found\">");
    document->Write("two images</p></body></html>");
    document->Close();
    EXPECT_EQ(view.GetHtmlDocument(), document);
    EXPECT_EQ(document->GetElementById("found")->InnerText(), "two images");
    EXPECT_EQ(document->Forms().Length(), 0);
    EXPECT_EQ(document->ReadyState(), "complete");
    EXPECT_TRUE(view.events.empty()) << "writing raises no navigation";
}

TEST_F(BrowserControlTest, HistoryGoesBackAndForthAndReportsItsCommandState) {
    Load(Page(214));
    Load(Page(215));
    EXPECT_FALSE(view.GoForward());
    ASSERT_TRUE(view.GoBack());
    Pump();
    EXPECT_EQ(view.GetLocationURL(), Page(214));
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"before " + Page(214), "navigated " + Page(214),
                                        "state 2 0", "state 1 1", "document " + Page(214)}));
    EXPECT_FALSE(view.GoBack());
    ASSERT_TRUE(view.GoForward());
    Pump();
    EXPECT_EQ(view.GetLocationURL(), Page(215));
}

TEST_F(BrowserControlTest, ASystemPathLoadsAsTheFileAddressOfItsFile) {
    CreateDirectory("c:\\");
    CreateDirectory("c:\\pages");
    ASSERT_TRUE(
        WriteFileBytes("c:\\pages\\a b.htm", "<html><body><img src=\"x.gif\"></body></html>"));
    ASSERT_TRUE(view.Navigate2("c:\\pages\\a b.htm"));
    const std::string expected = PathToFileUrl("c:\\pages\\a b.htm");
    ASSERT_TRUE(WaitUntil([&] {
        ServePendingMessages(nullptr);
        return !view.events.empty() && view.events.back().rfind("document", 0) == 0;
    })) << (view.events.empty() ? "" : view.events.back());
    EXPECT_EQ(view.events.front(), "before " + expected);
    EXPECT_EQ(view.GetLocationURL(), expected);
    std::string path;
    ASSERT_TRUE(FileUrlToPath(view.GetLocationURL(), &path));
    EXPECT_EQ(path, MapToLinuxPath("c:\\pages\\a b.htm"));
    EXPECT_EQ(view.GetHtmlDocument()->Images().Length(), 1);
}
