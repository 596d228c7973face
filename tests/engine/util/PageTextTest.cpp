// The one set of escaping rules, each checked against a reader: the platform's page
// document model (an HTML parser) for HTML text, attributes, addresses and script
// strings, the XML reader for XML text and attributes.
#include "engine/util/PageText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/tree/ElementNode.h"
#include "engine/util/UrlClassification.h"
#include "engine/xml/XmlText.h"
#include "platform/browser/HtmlDocument.h"

namespace {

// Values a web page can hand over: markup, references, quotes, white space of every
// kind, escapes, script schemes, non-ASCII UTF-8.
const char* const kHostileValues[] = {
    "plain",
    "<b>bold</b> & more",
    "\"double\" 'single' `back`",
    "&amp; &#106; &lt;",
    "tab\there\nline\r\nend\r",
    "</title></script></textarea><!-- -->",
    "]]> <![CDATA[ x",
    "100% of %41 #top ?q=1&r=2",
    "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
    "javascript:alert(1)",
};

// The text of an element's children, as the parser read it.
std::string RawText(const HtmlElement& element) {
    std::string text;
    for (const HtmlElement::Node& node : element.Children()) {
        if (!node.element && !node.comment)
            text += node.text;
    }
    return text;
}

std::shared_ptr<HtmlElement> First(const std::shared_ptr<HtmlDocument>& document, const char* tag) {
    const HtmlElementCollection found = document->GetElementsByTagName(tag);
    return found.Length() > 0 ? found.Item(0) : nullptr;
}

// A script string literal as a script engine reads it: "\x" gives x.
std::string ReadScriptString(const std::string& script, char quote, size_t open) {
    std::string value;
    for (size_t i = open + 1; i < script.size() && script[i] != quote; ++i) {
        if (script[i] == '\\' && i + 1 < script.size())
            ++i;
        value += script[i];
    }
    return value;
}

// An address as a browser takes it for a file: "\" read as "/", escapes decoded.
std::string BrowserFilePath(const std::string& address) {
    std::string slashed = address;
    for (char& c : slashed) {
        if (c == '\\')
            c = '/';
    }
    return UnescapeUrl(slashed);
}

TEST(PageTextTest, OrdinaryValuesStayAsTheyAre) {
    for (const char* plain : {"http://h.x/dir/a.jpg", "images\\a.jpg", "c:\\store\\track%2001.mp3",
                              "a@b.c", "name_1-2", "\xC3\xA9t\xC3\xA9.jpg"}) {
        SCOPED_TRACE(plain);
        EXPECT_EQ(EscapeText(plain), plain);
        EXPECT_EQ(EscapeAttributeValue(plain), plain);
        EXPECT_EQ(EncodeUrlForAttribute(plain), plain);
        EXPECT_FALSE(IsScriptUrl(plain));
    }
    EXPECT_EQ(EscapeText("plain text, with 'quotes' and \"doubles\"; tabs\tand\nlines"),
              "plain text, with 'quotes' and \"doubles\"; tabs\tand\nlines");
    EXPECT_EQ(EncodeUrlForScriptString("http://h.x/a.jpg?x=1&y=2"), "http://h.x/a.jpg?x=1&y=2");
    for (const char* path : {"images\\pic.jpg", "thumbs\\a-2.jpg", "images\\x_y.gif"})
        EXPECT_EQ(FilePathToAddress(path), path);
}

TEST(PageTextTest, TextAndAttributeValuesReadBackFromAnHtmlPage) {
    for (const char* value : kHostileValues) {
        SCOPED_TRACE(value);
        const std::string page = "<html><head><title>" + EscapeText(value) +
                                 "</title></head><body><p title=\"" + EscapeAttributeValue(value) +
                                 "\">" + EscapeText(value) + "</p><i>after</i></body></html>";
        const std::shared_ptr<HtmlDocument> document = ParseHtmlDocument(page, "http://h.x/");
        const std::shared_ptr<HtmlElement> paragraph = First(document, "p");
        ASSERT_NE(paragraph, nullptr);
        EXPECT_EQ(paragraph->GetAttribute("title"), value);
        EXPECT_EQ(RawText(*paragraph), value);
        EXPECT_EQ(RawText(*First(document, "title")), value);
        EXPECT_EQ(document->GetElementsByTagName("i").Length(), 1);
        EXPECT_EQ(document->GetElementsByTagName("b").Length(), 0);
    }
}

TEST(PageTextTest, TextAndAttributeValuesReadBackFromXml) {
    for (const char* value : kHostileValues) {
        SCOPED_TRACE(value);
        const std::string xml = std::string("<a v=\"") + EscapeAttributeValue(value) + "\">" +
                                EscapeText(value) + "</a>";
        std::unique_ptr<ElementNode> root(ParseXmlText(xml));
        ASSERT_NE(root, nullptr) << xml;
        EXPECT_EQ(root->GetAttributeValue("v"), value);
        EXPECT_EQ(root->GetText(), value);
    }
}

TEST(PageTextTest, FileAddressesOpenTheFileTheyName) {
    const char* const names[] = {
        "images\\my pic.png",         "images\\100%.jpg",
        "images\\a%41b.png",          "images\\#1.gif",
        "images\\why?.jpg",           "images\\a&b;c.jpg",
        "images\\\"q\"'s'.png",       "images\\\xC3\xA9t\xC3\xA9.jpg",
        "thumbs\\tab\tand`tick`.jpg", "images\\<x>.png",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string address = FilePathToAddress(name);
        const std::string page = "<html><body><img src=\"" + EncodeUrlForAttribute(address) +
                                 "\"><a href=" + EncodeUrlForAttribute(address) +
                                 ">x</a><script>s=newImage('" + EncodeUrlForScriptString(address) +
                                 "');</script><i>after</i></body></html>";
        const std::shared_ptr<HtmlDocument> document = ParseHtmlDocument(page, "http://h.x/");
        std::string expected = name;
        for (char& c : expected) {
            if (c == '\\')
                c = '/';
        }
        EXPECT_EQ(BrowserFilePath(First(document, "img")->GetAttribute("src")), expected);
        EXPECT_EQ(BrowserFilePath(First(document, "a")->GetAttribute("href")), expected);
        const std::string script = RawText(*First(document, "script"));
        const size_t open = script.find('\'');
        ASSERT_NE(open, std::string::npos) << script;
        EXPECT_EQ(BrowserFilePath(ReadScriptString(script, '\'', open)), expected);
        EXPECT_TRUE(script.ends_with("');")) << script;
        EXPECT_EQ(document->GetElementsByTagName("i").Length(), 1);
    }
}

TEST(PageTextTest, ScriptUrlsAsABrowserReadsThem) {
    for (const char* script : {"javascript:alert(1)", "JavaScript:x", "  javascript:x",
                               "\x01\x1Fjavascript:x", "java\tscr\nipt:x", "VBScript:msgbox(1)"}) {
        EXPECT_TRUE(IsScriptUrl(script)) << script;
    }
    for (const char* other : {"", "javascript", "javascripts:x", "java script:x",
                              "http://h.x/javascript:", "%6Aavascript:x", "mailto:javascript:x"}) {
        EXPECT_FALSE(IsScriptUrl(other)) << other;
    }
}

}  // namespace
