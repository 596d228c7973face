#include "platform/browser/HtmlDocument.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/browser/LinkAddress.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"
#include "tests/support/TestEnvironment.h"

namespace {

const std::string kPageUrl = "http://127.0.0.1:8080/dir/page.html?x=1";

std::string ReadFixture(const std::string& name) {
    std::ifstream in(FixturePath("browser/" + name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::shared_ptr<HtmlDocument> LoadFixture(const std::string& name) {
    return ParseHtmlDocument(ReadFixture(name), kPageUrl);
}

HRESULT ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ComError& error) {
        return error.Error();
    }
    return S_OK;
}

StringArray Hrefs(const HtmlElementCollection& elements) {
    StringArray out;
    for (LONG i = 0; i < elements.Length(); ++i)
        out.push_back(elements.Item(i)->Href());
    return out;
}

}  // namespace

TEST(BrowserLinkAddressTest, ResolvesAsABrowserHandsAddressesOut) {
    struct Case {
        const char* href;
        const char* expected;
    } cases[] = {
        {"other.html", "http://127.0.0.1:8080/dir/other.html"},
        {"a b.html", "http://127.0.0.1:8080/dir/a%20b.html"},
        {"../x\"y<z>.htm", "http://127.0.0.1:8080/x%22y%3Cz%3E.htm"},
        {"?q=1 2", "http://127.0.0.1:8080/dir/page.html?q=1%202"},
        {"#frag", "http://127.0.0.1:8080/dir/page.html?x=1#frag"},
        {"", "http://127.0.0.1:8080/dir/page.html?x=1"},
        {"  /root.html \n", "http://127.0.0.1:8080/root.html"},
        {"sub/\tfile.html", "http://127.0.0.1:8080/dir/sub/file.html"},
        {"//other.example/p", "http://other.example/p"},
        {"sub/%41%20.htm", "http://127.0.0.1:8080/dir/sub/%41%20.htm"},
        {"https://secure.example/", "https://secure.example/"},
        {"javascript:x", "javascript:x"},
        {" mailto:a@b.com ", "mailto:a@b.com"},
        {"about:blank", "about:blank"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveLinkAddress(kPageUrl, c.href), c.expected) << c.href;
    }
    EXPECT_EQ(ResolveLinkAddress("file:///tmp/site/index.html", "img/a b.jpg"),
              "file:///tmp/site/img/a%20b.jpg");
    EXPECT_EQ(ResolveLinkAddress("about:blank", "x.html"), "x.html");
    // Pages written with "\" between folders link as a browser reads them.
    EXPECT_EQ(ResolveLinkAddress("file:///tmp/site/view/allImages.htm", "images\\a.jpg"),
              "file:///tmp/site/view/images/a.jpg");
    EXPECT_EQ(ResolveLinkAddress(kPageUrl, "..\\up\\b.htm?x=a\\b"),
              "http://127.0.0.1:8080/up/b.htm?x=a\\b");
}

TEST(BrowserDocumentTest, LinksComeFromAnchorsAndAreasInDocumentOrder) {
    const auto document = LoadFixture("links.html");
    EXPECT_EQ(document->Url(), kPageUrl);
    EXPECT_EQ(document->Title(), "Links page");
    const HtmlElementCollection links = document->Links();
    const StringArray expected = {
        "http://127.0.0.1:8080/base/first.html",
        "http://127.0.0.1:8080/area%20target.html",
        "http://127.0.0.1:8080/base/quote%22d%20%3Cx%3E.htm",
        "javascript:x",
        "mailto:a@b.com",
        "http://127.0.0.1:8080/base/#top",
        "http://other.example/abs.html",
        "http://127.0.0.1:8080/up.html",
    };
    EXPECT_EQ(Hrefs(links), expected);
    EXPECT_EQ(links.Item(0)->Kind(), HtmlElementKind::Anchor);
    EXPECT_EQ(links.Item(0)->Name(), "one");
    EXPECT_EQ(links.Item(1)->Kind(), HtmlElementKind::Area);
    EXPECT_EQ(links.Item(1)->TagName(), "AREA");
    // The markup keeps what the page wrote.
    EXPECT_EQ(links.Item(2)->GetAttribute("HREF"), "quote\"d <x>.htm");

    const HtmlElementCollection linkElements = document->GetElementsByTagName("LINK");
    ASSERT_EQ(linkElements.Length(), 1);
    EXPECT_EQ(linkElements.Item(0)->Kind(), HtmlElementKind::Link);
    EXPECT_EQ(linkElements.Item(0)->Href(), "http://127.0.0.1:8080/base/style%20sheet.css");
}

TEST(BrowserDocumentTest, WithoutBaseLinksResolveAgainstTheDocument) {
    const auto document = ParseHtmlDocument(
        "<a href='next page.html'>n</a><base target='_top'><a href='/top.html'>t</a>", kPageUrl);
    EXPECT_EQ(Hrefs(document->Links()), (StringArray{"http://127.0.0.1:8080/dir/next%20page.html",
                                                     "http://127.0.0.1:8080/top.html"}));
}

TEST(BrowserDocumentTest, ImagesGiveDeclaredSizesAndAbsoluteSources) {
    const auto document = LoadFixture("images.html");
    const HtmlElementCollection images = document->Images();
    struct Expected {
        const char* href;
        LONG width;
        LONG height;
    } expected[] = {
        {"http://127.0.0.1:8080/dir/a.jpg", 120, 80},
        {"http://127.0.0.1:8080/dir/sub%20dir/b.gif", 0, 0},
        {"http://127.0.0.1:8080/c.png", 0, 30},
        {"http://other.example/d.jpg", 0, 2147483647},
        {"http://127.0.0.1:8080/dir/e.jpg", 0, 0},
        {"", 0, 0},
    };
    ASSERT_EQ(images.Length(), 6);
    for (LONG i = 0; i < images.Length(); ++i) {
        const auto image = images.Item(i);
        EXPECT_EQ(image->Href(), expected[i].href) << i;
        EXPECT_EQ(image->Src(), expected[i].href) << i;
        EXPECT_EQ(image->Width(), expected[i].width) << i;
        EXPECT_EQ(image->Height(), expected[i].height) << i;
        EXPECT_EQ(image->FileSize(), "-1") << i;
    }
    EXPECT_EQ(images.Item(0)->Name(), "first");
}

TEST(BrowserDocumentTest, FormControlsInOrderWithTheirKinds) {
    const auto document = LoadFixture("forms.html");
    const HtmlElementCollection forms = document->Forms();
    ASSERT_EQ(forms.Length(), 2);
    const auto form = forms.Item(0);
    EXPECT_EQ(form->Name(), "extract");
    EXPECT_EQ(form->Target(), "_self");
    const HtmlElementCollection controls = form->Elements();
    struct Expected {
        HtmlElementKind kind;
        const char* name;
        const char* type;  // null: the kind has no type
    } expected[] = {
        {HtmlElementKind::Input, "depth", "text"},
        {HtmlElementKind::Button, "go", "submit"},
        {HtmlElementKind::Select, "mode", "select-one"},
        {HtmlElementKind::FieldSet, "", nullptr},
        {HtmlElementKind::Input, "wander", "checkbox"},
        {HtmlElementKind::Input, "r", "radio"},
        {HtmlElementKind::Input, "r", "radio"},
        {HtmlElementKind::TextArea, "notes", "textarea"},
        {HtmlElementKind::Object, "obj", nullptr},
        {HtmlElementKind::Input, "", "submit"},
        {HtmlElementKind::Input, "img", "image"},
        {HtmlElementKind::Input, "h", "hidden"},
        {HtmlElementKind::Select, "multi", "select-multiple"},
        {HtmlElementKind::Input, "untyped", "text"},
    };
    ASSERT_EQ(controls.Length(), static_cast<LONG>(std::size(expected)));
    for (LONG i = 0; i < controls.Length(); ++i) {
        const auto control = controls.Item(i);
        EXPECT_EQ(control->Kind(), expected[i].kind) << i;
        EXPECT_EQ(control->Name(), expected[i].name) << i;
        if (expected[i].type) {
            EXPECT_EQ(control->Type(), expected[i].type) << i;
        } else {
            EXPECT_EQ(ErrorOf([&] { control->Type(); }), E_NOINTERFACE) << i;
        }
    }
    EXPECT_EQ(forms.Item(1)->Elements().Length(), 2);
}

TEST(BrowserDocumentTest, LiveValuesStayApartFromTheMarkup) {
    const auto document = LoadFixture("forms.html");
    const HtmlElementCollection controls = document->Forms().Item(0)->Elements();

    const auto depth = controls.Item(0);
    EXPECT_EQ(depth->Value(), "2");
    depth->SetValue("5");
    EXPECT_EQ(depth->Value(), "5");
    EXPECT_EQ(depth->GetAttribute("value"), "2");
    EXPECT_NE(document->DocumentElement()->OuterHtml().find("value=\"2\""), std::string::npos);

    const auto wander = controls.Item(4);
    EXPECT_TRUE(wander->Checked());
    EXPECT_EQ(wander->Value(), "ON");
    wander->SetChecked(false);
    EXPECT_FALSE(wander->Checked());
    EXPECT_TRUE(wander->HasAttribute("checked"));

    // Checking a radio button unchecks the others of its name in its form only.
    const auto first = controls.Item(5);
    const auto second = controls.Item(6);
    const auto otherForm = document->Forms().Item(1)->Elements().Item(1);
    EXPECT_TRUE(first->Checked());
    second->SetChecked(true);
    EXPECT_FALSE(first->Checked());
    EXPECT_TRUE(second->Checked());
    EXPECT_TRUE(otherForm->Checked());

    const auto notes = controls.Item(7);
    EXPECT_EQ(notes->Value(), "line one\nline two");
    notes->SetValue("typed");
    EXPECT_EQ(notes->Value(), "typed");
    EXPECT_NE(notes->OuterHtml().find("line one"), std::string::npos);

    EXPECT_EQ(controls.Item(11)->Value(), "secret");
    EXPECT_EQ(controls.Item(13)->Value(), "");
}

TEST(BrowserDocumentTest, SelectListsKeepTheirSelectionLive) {
    const auto document = LoadFixture("forms.html");
    const HtmlElementCollection controls = document->Forms().Item(0)->Elements();
    const auto mode = controls.Item(2);
    EXPECT_FALSE(mode->Multiple());
    ASSERT_EQ(mode->Options().Length(), 2);
    EXPECT_EQ(mode->Options().Item(1)->Text(), "Beta option");
    EXPECT_EQ(mode->Options().Item(1)->Value(), "Beta option");
    EXPECT_EQ(mode->SelectedIndex(), 1);
    EXPECT_EQ(mode->Value(), "Beta option");
    mode->SetValue("a");
    EXPECT_EQ(mode->SelectedIndex(), 0);
    EXPECT_TRUE(mode->Options().Item(0)->Selected());
    EXPECT_FALSE(mode->Options().Item(1)->Selected());
    EXPECT_TRUE(mode->Options().Item(1)->HasAttribute("selected"));
    mode->SetValue("no such value");
    EXPECT_EQ(mode->SelectedIndex(), -1);
    EXPECT_EQ(mode->Value(), "");
    mode->SetSelectedIndex(1);
    EXPECT_EQ(mode->Value(), "Beta option");

    const auto multi = controls.Item(12);
    EXPECT_TRUE(multi->Multiple());
    EXPECT_EQ(multi->SelectedIndex(), 1);
    const HtmlElementCollection options = multi->Options();
    EXPECT_FALSE(options.Item(0)->Selected());
    EXPECT_TRUE(options.Item(1)->Selected());
    EXPECT_TRUE(options.Item(2)->Selected());

    // A single select without a selected option shows its first one.
    const auto plain = ParseHtmlDocument("<select><option>p<option>q</select>", kPageUrl);
    const auto select = plain->GetElementsByTagName("select").Item(0);
    EXPECT_EQ(select->SelectedIndex(), 0);
    EXPECT_TRUE(select->Options().Item(0)->Selected());
}

TEST(BrowserDocumentTest, InnerTextSeparatesCellsAndBlocks) {
    const auto document = LoadFixture("cells.html");
    EXPECT_EQ(document->DocumentElement()->InnerText(),
              "alpha\tbeta\r\ngamma\tdelta\r\nepsilon\r\none\r\ntwo\r\nthree boldfour\r\nfivesix"
              "\r\n  keep   spaces\r\nline");
    EXPECT_EQ(document->Body()->InnerText().find("hidden"), std::string::npos);
}

TEST(BrowserDocumentTest, ElementByIdTakesNewText) {
    const auto document = ParseHtmlDocument(
        "<body scroll='no'><span id='curview'>old <b id='inner'>view</b></span></body>", kPageUrl);
    const auto inner = document->GetElementById("inner");
    const auto view = document->GetElementById("curview");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->InnerText(), "old view");
    view->SetInnerText("example.com & <more>");
    EXPECT_EQ(view->InnerText(), "example.com & <more>");
    EXPECT_EQ(view->OuterHtml(), "<span id=\"curview\">example.com &amp; &lt;more&gt;</span>");
    EXPECT_EQ(document->GetElementById("inner"), nullptr);
    EXPECT_EQ(inner->InnerText(), "view");  // a removed element stays usable
    EXPECT_EQ(document->GetElementById("CURVIEW"), nullptr);

    const auto body = document->Body();
    EXPECT_EQ(body->GetAttribute("scroll"), "no");
    body->SetAttribute("scroll", "yes");
    EXPECT_EQ(document->Body()->GetAttribute("SCROLL"), "yes");
    EXPECT_NE(document->DocumentElement()->OuterHtml().find("<body scroll=\"yes\">"),
              std::string::npos);
}

TEST(BrowserDocumentTest, WriteAndCloseReplaceTheContent) {
    const auto document = LoadFixture("links.html");
    const auto oldLink = document->Links().Item(0);
    document->Write("<html><body><a href='written.html'>w</a>");
    document->Write("<iframe src='f.html'></iframe></body></html>");
    EXPECT_EQ(document->Links().Length(), 8);  // nothing changes before Close
    document->Close();
    EXPECT_EQ(document->ReadyState(), "complete");
    EXPECT_EQ(Hrefs(document->Links()), StringArray{"http://127.0.0.1:8080/dir/written.html"});
    ASSERT_EQ(document->Frames().Length(), 1);
    EXPECT_EQ(document->Frames().Item(0)->Document()->Url(), "about:blank");
    EXPECT_EQ(oldLink->Href(), "http://127.0.0.1:8080/base/first.html");
    EXPECT_EQ(document->Title(), "");
}

TEST(BrowserDocumentTest, FramesOfAParsedPageShowBlankUntilLoaded) {
    const auto document = LoadFixture("two-iframes.html");
    const HtmlFramesCollection frames = document->Frames();
    ASSERT_EQ(frames.Length(), 2);
    EXPECT_EQ(frames.Item(0)->Name(), "left");
    EXPECT_EQ(frames.Item(1)->Name(), "right");
    EXPECT_EQ(frames.Item(0)->Document()->Url(), "about:blank");
    document->SetFrameDocument(1, ParseHtmlDocument("<title>B</title>", "http://h/b.html"));
    EXPECT_EQ(document->Frames().Item(1)->Document()->Title(), "B");
    EXPECT_EQ(document->DesignMode(), "Inherit");
    document->SetDesignMode("On");
    EXPECT_EQ(document->DesignMode(), "On");
}

TEST(BrowserDocumentTest, BrokenReadsThrowComError) {
    const auto document = LoadFixture("two-iframes.html");
    const auto link = document->Links().Item(0);
    const auto image = document->Images().Item(0);
    const auto frame = document->Frames().Item(0);
    document->SetBroken(true);
    const std::function<void()> documentReads[] = {
        [&] { document->Url(); },
        [&] { document->Title(); },
        [&] { document->ReadyState(); },
        [&] { document->Images(); },
        [&] { document->Links(); },
        [&] { document->Forms(); },
        [&] { document->Frames(); },
        [&] { document->Body(); },
        [&] { document->DocumentElement(); },
        [&] { document->GetElementById("x"); },
        [&] { document->Write("x"); },
        [&] { document->Close(); },
    };
    for (const auto& read : documentReads)
        EXPECT_EQ(ErrorOf(read), E_FAIL);
    EXPECT_EQ(ErrorOf([&] { link->Href(); }), S_OK) << "elements handed out keep working";

    link->SetBroken(true);
    EXPECT_EQ(ErrorOf([&] { link->Kind(); }), E_FAIL);
    EXPECT_EQ(ErrorOf([&] { link->Href(); }), E_FAIL);
    EXPECT_EQ(ErrorOf([&] { link->GetAttribute("href"); }), E_FAIL);
    frame->SetBroken(true);
    EXPECT_EQ(ErrorOf([&] { frame->Name(); }), E_FAIL);
    EXPECT_EQ(ErrorOf([&] { frame->Document(); }), E_FAIL);

    // Properties of another kind of element, and indexes out of range.
    EXPECT_EQ(ErrorOf([&] { image->Target(); }), E_NOINTERFACE);
    EXPECT_EQ(ErrorOf([&] { image->Value(); }), E_NOINTERFACE);
    EXPECT_EQ(ErrorOf([&] { image->Elements(); }), E_NOINTERFACE);
    EXPECT_EQ(ErrorOf([&] { document->SetBroken(false), document->Images().Item(1); }),
              E_INVALIDARG);
    EXPECT_EQ(ErrorOf([&] { document->Images().Item(-1); }), E_INVALIDARG);
}

// Elements nested deeper than the tree keeps are attached to their ancestor at the
// limit, with their attributes and text: a picture or a link at depth 600 is still
// part of the page.
TEST(BrowserDocumentTest, ElementsBelowTheDepthLimitStayInThePage) {
    for (const int depth : {100, 600, 3000}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        std::string page;
        for (int i = 0; i < depth; ++i)
            page += "<div>";
        page +=
            "<img src='deep.png' width='120' height='90'><a href='deep.html'>deep <b>link</b></a>";
        for (int i = 0; i < depth; ++i)
            page += "</div>";
        page += "<img src='after.png'>";
        const auto document = ParseHtmlDocument(page, kPageUrl);
        ASSERT_EQ(document->Images().Length(), 2);
        EXPECT_EQ(document->Images().Item(0)->Src(), "http://127.0.0.1:8080/dir/deep.png");
        EXPECT_EQ(document->Images().Item(0)->GetAttribute("width"), "120");
        EXPECT_EQ(document->Images().Item(1)->Src(), "http://127.0.0.1:8080/dir/after.png");
        EXPECT_EQ(Hrefs(document->Links()), StringArray{"http://127.0.0.1:8080/dir/deep.html"});
        EXPECT_NE(document->DocumentElement()->InnerText().find("deep link"), std::string::npos);
    }
}

TEST(BrowserDocumentTest, MalformedPagesParse) {
    const auto broken = LoadFixture("malformed.html");
    EXPECT_EQ(broken->Title(), "Broken");
    const StringArray links = Hrefs(broken->Links());
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links[0], "http://127.0.0.1:8080/dir/after.html");
    EXPECT_NE(broken->DocumentElement()->InnerText().find("cell2"), std::string::npos);

    const std::string huge(8 << 20, 'x');
    const auto big = ParseHtmlDocument("<a title='" + huge + "' href='h.html'>h</a>", kPageUrl);
    ASSERT_EQ(big->Links().Length(), 1);
    EXPECT_EQ(big->Links().Item(0)->GetAttribute("title").size(), huge.size());

    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<div>";
    deep += "<a href='deep.html'>d</a>";
    const auto nested = ParseHtmlDocument(deep, kPageUrl);
    EXPECT_FALSE(nested->DocumentElement()->OuterHtml().empty());

    for (const char* text : {"", "<", "</html>", "\xEF\xBB\xBF<title>bom</title>", "<frameset>"}) {
        const auto document = ParseHtmlDocument(text, kPageUrl);
        EXPECT_TRUE(document->DocumentElement()) << text;
    }
    EXPECT_EQ(ParseHtmlDocument("<title>caf\xE9</title>", kPageUrl)->Title(), "caf\xC3\xA9");
    EXPECT_EQ(ParseHtmlDocument("<title>caf\xC3\xA9</title>", kPageUrl)->Title(), "caf\xC3\xA9");
}
