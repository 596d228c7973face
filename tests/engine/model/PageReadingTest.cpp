#include "engine/model/PageReading.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/model/aggCollection.h"
#include "engine/model/htmlImage.h"
#include "engine/model/htmlLink.h"
#include "engine/model/htmlPage.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/FixturePageSite.h"

namespace {

// One attribute of every member of a page collection, in order.
StringArray Members(const htmlPage& page, const char* containedType, const char* attribute) {
    StringArray values;
    const aggCollection* collection = page.findCollection(containedType);
    for (int i = 0; collection != nullptr && i < collection->getChildCount(); ++i)
        values.push_back(collection->getAt(i)->getAttribute(attribute));
    return values;
}

std::string Count(const htmlPage& page, const char* containedType) {
    return page.findCollection(containedType)->getAttribute("count");
}

// The texts of the boxes taken so far. Any box a test does not expect fails it, so the
// tests of silent paths need no check of their own.
StringArray Texts(const ExpectedMessageBoxes& boxes) {
    StringArray texts;
    for (const MessageBoxRecord& box : boxes.Shown())
        texts.push_back(box.text);
    return texts;
}

class PageReadingTest : public ::testing::Test {
protected:
    std::string Url(const std::string& path) { return site_.Url(path); }

    FixturePageSite site_{"model"};
};

TEST_F(PageReadingTest, ReadsImagesWithAndWithoutDeclaredSizes) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/images.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, false);
    EXPECT_EQ(page->getName(), Url("/images.html"));
    EXPECT_EQ(page->getAttribute("url"), Url("/images.html"));
    EXPECT_EQ(page->getAttribute("title"), "Images");
    EXPECT_EQ(page->getAttribute("fileSize"), "unk");

    EXPECT_EQ(Count(*page, "html-image"), "4");
    EXPECT_EQ(
        Members(*page, "html-image", "url"),
        (StringArray{Url("/big.jpg"), Url("/plain.gif"), Url("/narrow.png"), Url("/wide.png")}));
    EXPECT_EQ(Members(*page, "html-image", "name"), (StringArray{"big", "", "narrow", "wide"}));
    EXPECT_EQ(Members(*page, "html-image", "width"), (StringArray{"120", "0", "99", "100"}));
    EXPECT_EQ(Members(*page, "html-image", "height"), (StringArray{"80", "0", "10", "10"}));
    EXPECT_EQ(Members(*page, "html-image", "index"), (StringArray{"0", "1", "2", "3"}));
    // Images are not fetched by a hidden browser, so their size is not known.
    EXPECT_EQ(Members(*page, "html-image", "fileSize"), (StringArray{"-1", "-1", "-1", "-1"}));
    EXPECT_TRUE(page->getChildAt(2)->getParent() == page.get());
}

struct FilterCase {
    int minWidth, minHeight, minFileSize;
    StringArray names;
};

TEST_F(PageReadingTest, ImageFilterSkipsImagesBelowTheLimits) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/images.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, false);
    const std::vector<FilterCase> cases = {
        {0, 0, 0, {"big", "", "narrow", "wide"}},
        {100, 0, 0, {"big", "wide"}},  // 99 wide is skipped, 100 passes
        {1, 0, 0, {"big", "narrow", "wide"}},
        {0, 10, 0, {"big", "narrow", "wide"}},
        {0, 11, 0, {"big"}},
        {100, 80, 0, {"big"}},
        {-5, -5, 0, {"big", "", "narrow", "wide"}},
        // Sizes the browser does not know never filter an image out.
        {0, 0, 1000000, {"big", "", "narrow", "wide"}},
    };
    for (const FilterCase& c : cases) {
        StringArray urls{"kept"};
        StringArray names;
        page->getImageUrls(urls, names, c.minWidth, c.minHeight, c.minFileSize);
        EXPECT_EQ(names, c.names) << c.minWidth << " " << c.minHeight << " " << c.minFileSize;
        EXPECT_EQ(urls.size(), names.size() + 1);
        EXPECT_EQ(urls.front(), "kept");
    }
}

TEST(ImageFilterTest, MinimumFileSizeComparesKnownByteSizes) {
    htmlPage page;
    for (const char* size : {"500", "1000", "-1", "unk", "2000 bytes", "4000"}) {
        auto image = std::make_unique<htmlImage>();
        image->setName(size);
        image->setAttribute("fileSize", size);
        ASSERT_TRUE(page.add(image.get()));
        image.release();
    }
    StringArray urls, names;
    page.getImageUrls(urls, names, 0, 0, 1000);
    EXPECT_EQ(names, (StringArray{"1000", "-1", "unk", "2000 bytes", "4000"}));
    names.clear();
    page.getImageUrls(urls, names, 0, 0, 0);
    EXPECT_EQ(names.size(), 6u);
}

TEST_F(PageReadingTest, PageWithoutImagesHasAnUncountedImageCollection) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/plain.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, false);
    EXPECT_EQ(page->getAttribute("title"), "No pictures here");
    EXPECT_EQ(Count(*page, "html-image"), "unk");
    StringArray urls, names;
    page->getImageUrls(urls, names, 0, 0, 0);
    EXPECT_TRUE(urls.empty());
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(Count(*page, "html-frame"), "unk");
    EXPECT_EQ(Count(*page, "html-form"), "unk");
    EXPECT_EQ(Count(*page, "html-email-address"), "unk");
    EXPECT_EQ(Count(*page, "html-link"), "1");
}

TEST_F(PageReadingTest, ReadsLinksFromAnchorsAndAreasInDocumentOrder) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/links.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, false);
    const StringArray expected = {Url("/one.html"), Url("/area.html"),
                                  Url("/sub/two.html?x=1&y=2")};
    EXPECT_EQ(Members(*page, "html-link", "url"), expected);
    // An area has no name; an anchor without a name attribute has an empty one.
    EXPECT_EQ(Members(*page, "html-link", "name"), (StringArray{"first", "unk", ""}));
    EXPECT_EQ(Members(*page, "html-link", "index"), (StringArray{"0", "1", "2"}));
    EXPECT_EQ(Count(*page, "html-link"), "3");

    StringArray list{"kept"};
    page->getLinkUrls(list, true);
    EXPECT_EQ(list, (StringArray{"kept", expected[0], expected[1], expected[2]}));
}

TEST_F(PageReadingTest, LinkLoadsByElementKind) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/links.html");
    ASSERT_TRUE(document);

    ExpectedMessageBoxes boxes;
    boxes.Expect("htmlLink::load - unknown link type")
        .Expect("htmlLink::load - something bad happend");

    htmlLink stylesheet;
    stylesheet.load(document->GetElementsByTagName("link").Item(0));
    EXPECT_EQ(stylesheet.getAttribute("url"), Url("/style.css"));
    EXPECT_EQ(stylesheet.getName(), "unk");
    EXPECT_TRUE(Texts(boxes).empty());

    htmlLink picture;
    picture.load(document->Images().Item(0));
    EXPECT_EQ(picture.getAttribute("url"), "unk");
    EXPECT_EQ(Texts(boxes), StringArray{"htmlLink::load - unknown link type"});

    const std::shared_ptr<HtmlElement> anchor = document->Links().Item(0);
    anchor->SetBroken(true);
    htmlLink broken;
    broken.load(anchor);
    EXPECT_EQ(broken.getAttribute("url"), "unk");
    const std::vector<MessageBoxRecord> shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "htmlLink::load - something bad happend");
    EXPECT_EQ(shown[1].caption, "");
    EXPECT_EQ(shown[1].type, MB_OK);
}

TEST_F(PageReadingTest, FramesComeFirstInLinkLists) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/frames.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, false);
    EXPECT_EQ(Members(*page, "html-frame", "name"), (StringArray{"left", "right"}));
    EXPECT_EQ(Members(*page, "html-frame", "index"), (StringArray{"unk", "unk"}));

    StringArray withFrames;
    page->getLinkUrls(withFrames, true);
    EXPECT_EQ(withFrames,
              (StringArray{Url("/frame-a.html"), Url("/frame-b.html"), Url("/l1.html"),
                           Url("/l2.html"), Url("/l3.html"), Url("/l4.html"), Url("/l5.html")}));
    StringArray linksOnly;
    page->getLinkUrls(linksOnly, false);
    EXPECT_EQ(linksOnly.size(), 5u);
    EXPECT_EQ(linksOnly.front(), Url("/l1.html"));
}

TEST_F(PageReadingTest, FindsEmailAddressesInMailLinksAndInText) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/email.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, false, true);
    StringArray addresses;
    page->getEmailAddresses(addresses);
    // The mailto link and the same address in the text both count; the bracketed
    // address loses its comma at the split and its brackets at the cleaning. Words
    // that keep no "@" and "." after cleaning ("@.@.", "@example.net", "(at@.)") are
    // no addresses, nor is a word without ".".
    EXPECT_EQ(addresses, (StringArray{"mailto:ann@example.com", "mailto:ann@example.com",
                                      "mailto:bob@example.org"}));
    EXPECT_EQ(Members(*page, "html-email-address", "name"),
              (StringArray{"", "ann@example.com", "bob@example.org"}));
    EXPECT_EQ(Members(*page, "html-email-address", "index"), (StringArray{"0", "unk", "unk"}));
    // The links are read as links all the same.
    EXPECT_EQ(Count(*page, "html-link"), "2");

    std::unique_ptr<htmlPage> withoutAddresses = LoadPageModel(document, false, false);
    EXPECT_EQ(Count(*withoutAddresses, "html-email-address"), "unk");
}

TEST(EmailTextTest, IsEmailUrl) {
    EXPECT_TRUE(IsEmailUrl("mailto:ann@example.com"));
    EXPECT_TRUE(IsEmailUrl("a@b"));
    EXPECT_FALSE(IsEmailUrl("@example.com"));
    EXPECT_FALSE(IsEmailUrl("mailto:ann@example.com?subject=hi"));
    EXPECT_FALSE(IsEmailUrl("http://example.com/a@b"));
    EXPECT_FALSE(IsEmailUrl("a@b&c"));
    EXPECT_FALSE(IsEmailUrl("mailto:nobody"));
    EXPECT_FALSE(IsEmailUrl(""));
}

TEST(EmailTextTest, CleanEmailWordTrimsNonAlphanumericEnds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<bob@example.org>", "bob@example.org"},
        {"(mail:ann@x.com).", "mail:ann@x.com"},
        {"@.@.", ""},
        {"", ""},
        {"a", "a"},
        {"\"\xC3\xA9t\xC3\xA9@x.fr\"", "t\xC3\xA9@x.fr"},  // bytes above 127 are no letters
        {"--a-b--", "a-b"},
    };
    for (const auto& [word, cleaned] : cases)
        EXPECT_EQ(CleanEmailWord(word), cleaned) << word;
}

TEST_F(PageReadingTest, DocumentMarkupAndText) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/plain.html");
    ASSERT_TRUE(document);
    const std::string html = GetDocumentHtml(document);
    EXPECT_EQ(html.rfind("<html", 0), 0u) << html;
    EXPECT_NE(html.find("next.html"), std::string::npos);
    EXPECT_NE(GetDocumentText(document).find("Only text, and one link."), std::string::npos);
    EXPECT_EQ(GetDocumentText(document).find("No pictures"), std::string::npos);  // the head

    EXPECT_EQ(GetDocumentHtml(nullptr), "");
    EXPECT_EQ(GetDocumentText(nullptr), "");
    document->SetBroken(true);
    EXPECT_EQ(GetDocumentHtml(document), "");
    EXPECT_EQ(GetDocumentText(document), "");
}

TEST_F(PageReadingTest, ANullOrBrokenDocumentGivesAnEmptyPage) {
    std::unique_ptr<htmlPage> empty = LoadPageModel(nullptr, true, true);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->getName(), "unk");
    EXPECT_EQ(empty->getChildCount(), 5);

    const std::shared_ptr<HtmlDocument> document = site_.Load("/email.html");
    ASSERT_TRUE(document);
    document->SetBroken(true);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, true);
    EXPECT_EQ(page->getName(), "unk");
    for (const char* type :
         {"html-frame", "html-form", "html-image", "html-link", "html-email-address"})
        EXPECT_EQ(Count(*page, type), "unk") << type;
    EXPECT_EQ(page->getDocument(), document);
    page->releaseDom();
    EXPECT_EQ(page->getDocument(), nullptr);
}

TEST_F(PageReadingTest, ABrokenMemberEndsItsLoopAndKeepsWhatWasRead) {
    const std::shared_ptr<HtmlDocument> links = site_.Load("/links.html");
    ASSERT_TRUE(links);
    links->Links().Item(1)->SetBroken(true);
    std::unique_ptr<htmlPage> page = LoadPageModel(links, false, true);
    EXPECT_EQ(Members(*page, "html-link", "url"), StringArray{Url("/one.html")});
    EXPECT_EQ(Count(*page, "html-image"), "1");  // the next steps still run

    const std::shared_ptr<HtmlDocument> images = site_.Load("/images.html");
    ASSERT_TRUE(images);
    images->Images().Item(2)->SetBroken(true);
    page = LoadPageModel(images, false, false);
    EXPECT_EQ(Members(*page, "html-image", "name"), (StringArray{"big", ""}));

    // A broken mail link ends the link pass; the text is still read.
    const std::shared_ptr<HtmlDocument> email = site_.Load("/email.html");
    ASSERT_TRUE(email);
    email->Links().Item(0)->SetBroken(true);
    page = LoadPageModel(email, false, true);
    StringArray addresses;
    page->getEmailAddresses(addresses);
    EXPECT_EQ(addresses, (StringArray{"mailto:ann@example.com", "mailto:bob@example.org"}));

    // A frame whose window cannot be read keeps its placeholders.
    const std::shared_ptr<HtmlDocument> frames = site_.Load("/frames.html");
    ASSERT_TRUE(frames);
    frames->Frames().Item(0)->SetBroken(true);
    page = LoadPageModel(frames, false, false);
    EXPECT_EQ(Members(*page, "html-frame", "url"), (StringArray{"unk", Url("/frame-b.html")}));
}

TEST_F(PageReadingTest, ReleaseDomLetsGoOfTheDocument) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/links.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, false);
    EXPECT_EQ(page->getDocument(), document);
    const long held = document.use_count();
    page->releaseDom();
    EXPECT_EQ(page->getDocument(), nullptr);
    EXPECT_EQ(document.use_count(), held - 1);
    StringArray list;
    page->getLinkUrls(list, true);
    EXPECT_EQ(list.size(), 3u);
}

}  // namespace
