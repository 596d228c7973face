#include "platform/xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

namespace {

std::string ValueText(const XmlNode* node) {
    const VARIANT value = node->nodeValue();
    return value.vt == VT_BSTR ? value.bstrVal : "<none>";
}

// depth elements, each inside the one before.
std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<e>";
    for (int i = 0; i < depth; ++i)
        text += "</e>";
    return text;
}

}  // namespace

TEST(XmlDocumentTest, ReadsElementsAttributesAndTextInOrder) {
    XmlDocument document;
    ASSERT_TRUE(
        document.loadXML("<?xml version=\"1.0\"?>\r\n<site name=\"a\" id='7'>\r\n  <page/>\r\n"
                         "  <note> hi &amp; &lt;bye&gt; &#65;&#x42; </note>\r\n</site>\r\n"));
    const XmlNode* site = document.documentElement();
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->nodeType(), XmlNodeType::Element);
    EXPECT_EQ(site->nodeName(), "site");
    EXPECT_EQ(site->nodeValue().vt, VT_NULL);

    const XmlNodeList* attributes = site->attributes();
    ASSERT_NE(attributes, nullptr);
    ASSERT_EQ(attributes->length(), 2);
    EXPECT_EQ(attributes->item(0)->nodeName(), "name");
    EXPECT_EQ(attributes->item(0)->nodeType(), XmlNodeType::Attribute);
    EXPECT_EQ(ValueText(attributes->item(0)), "a");
    EXPECT_EQ(attributes->item(1)->nodeName(), "id");
    EXPECT_EQ(ValueText(attributes->item(1)), "7");
    EXPECT_EQ(attributes->item(2), nullptr);
    EXPECT_EQ(attributes->item(-1), nullptr);

    // The white space between elements is gone; the text keeps its own.
    const XmlNodeList& children = site->childNodes();
    ASSERT_EQ(children.length(), 2);
    EXPECT_EQ(children.item(0)->nodeName(), "page");
    const XmlNode* note = children.item(1);
    ASSERT_EQ(note->childNodes().length(), 1);
    const XmlNode* text = note->childNodes().item(0);
    EXPECT_EQ(text->nodeType(), XmlNodeType::Text);
    EXPECT_EQ(text->nodeName(), "#text");
    EXPECT_EQ(ValueText(text), " hi & <bye> AB ");
    EXPECT_EQ(text->attributes(), nullptr);
    EXPECT_EQ(text->childNodes().length(), 0);
}

TEST(XmlDocumentTest, CommentsCDataAndInstructionsAreNodesOfTheirOwn) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(
        "<!--before--><a><!-- note --><![CDATA[x < y & z]]><?render fast now?></a>"));
    const XmlNodeList& children = document.documentElement()->childNodes();
    ASSERT_EQ(children.length(), 3);
    struct Case {
        XmlNodeType type;
        const char* name;
        const char* value;
    } cases[] = {
        {XmlNodeType::Comment, "#comment", " note "},
        {XmlNodeType::CDataSection, "#cdata-section", "x < y & z"},
        {XmlNodeType::ProcessingInstruction, "render", "fast now"},
    };
    for (LONG i = 0; i < 3; ++i) {
        const XmlNode* node = children.item(i);
        EXPECT_EQ(node->nodeType(), cases[i].type) << i;
        EXPECT_EQ(node->nodeName(), cases[i].name) << i;
        EXPECT_EQ(ValueText(node), cases[i].value) << i;
        EXPECT_EQ(node->attributes(), nullptr) << i;
    }
}

TEST(XmlDocumentTest, MalformedTextHasNoDocumentElement) {
    const std::string cases[] = {
        "",
        "   ",
        "just text",
        "<a",
        "<a>",
        "<a></b>",
        "<a><b></a></b>",
        "<a b=c/>",
        "<a b=\"1\" b=\"2\"/>",
        "<1a/>",
        "<a/><b/>",
        "text<a/>",
        "<a/>text",
        "<a/><![CDATA[x]]>",
        "<!DOCTYPE a [<!ENTITY broken",
        Nested(XmlDocument::kMaxElementDepth + 1),
    };
    for (const std::string& text : cases) {
        XmlDocument document;
        EXPECT_FALSE(document.loadXML(text)) << text.substr(0, 40);
        EXPECT_EQ(document.documentElement(), nullptr) << text.substr(0, 40);
    }
    XmlDocument deep;
    EXPECT_TRUE(deep.loadXML(Nested(XmlDocument::kMaxElementDepth)));
}

TEST(XmlDocumentTest, AFailedLoadDropsTheEarlierTree) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML("<a/>"));
    EXPECT_FALSE(document.loadXML("<a>"));
    EXPECT_EQ(document.documentElement(), nullptr);
}

TEST(XmlDocumentTest, NeverReadsADtdOrAnExternalEntity) {
    const std::string folder = MakeTestFolder("dtd");
    const std::string secretPath = folder + "/secret.txt";
    const std::string dtdPath = folder + "/defs.dtd";
    std::ofstream(secretPath) << "SECRET-CONTENT";
    std::ofstream(dtdPath) << "<!ENTITY fromDtd \"DTD-CONTENT\">";
    const std::string text = "<!DOCTYPE a SYSTEM \"" + dtdPath + "\" [\n" +
                             "  <!ENTITY secret SYSTEM \"file://" + secretPath + "\">\n" +
                             "  <!ENTITY local SYSTEM \"" + secretPath + "\">\n" + "]>\n";
    XmlDocument document;
    // Without references the DOCTYPE is skipped unread.
    ASSERT_TRUE(document.loadXML(text + "<a x=\"plain\">text</a>"));
    const XmlNode* a = document.documentElement();
    ASSERT_EQ(a->childNodes().length(), 1);
    EXPECT_EQ(ValueText(a->childNodes().item(0)), "text");
    ASSERT_EQ(a->attributes()->length(), 1);
    // Its entities are never expanded: text or a value that uses one is not read at all.
    for (const char* element :
         {"<a>&secret;|&local;|&fromDtd;</a>", "<a x=\"&secret;\"/>", "<a>&fromDtd;</a>"}) {
        EXPECT_FALSE(document.loadXML(text + element)) << element;
        EXPECT_EQ(document.documentElement(), nullptr) << element;
    }
}

TEST(XmlDocumentTest, ByteOrderMarkAndDeclaredEncodingAreRead) {
    XmlDocument utf8;
    ASSERT_TRUE(
        utf8.loadXML("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>"));
    EXPECT_EQ(ValueText(utf8.documentElement()->childNodes().item(0)), "\xC3\xA9");

    XmlDocument latin1;
    ASSERT_TRUE(latin1.loadXML("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>"));
    EXPECT_EQ(ValueText(latin1.documentElement()->childNodes().item(0)), "\xC3\xA9");
}

TEST(XmlDocumentTest, CreationFailsOnlyThroughTheHook) {
    EXPECT_NE(CreateXmlDocument(), nullptr);
    int calls = 0;
    SetXmlDocumentCreationHook([&calls] {
        ++calls;
        return false;
    });
    EXPECT_EQ(CreateXmlDocument(), nullptr);
    EXPECT_EQ(calls, 1);
    SetXmlDocumentCreationHook({});
    EXPECT_NE(CreateXmlDocument(), nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(XmlDocumentTest, LoadReadsAFileThroughTheFileLayer) {
    const std::string folder = MakeTestFolder("load");
    ASSERT_TRUE(WriteFileBytes(folder + "/a.xml", "<a><b/></a>"));
    XmlDocument document;
    ASSERT_TRUE(document.load(folder + "/a.xml"));
    EXPECT_EQ(document.documentElement()->childNodes().item(0)->nodeName(), "b");
    EXPECT_FALSE(document.load(folder + "/missing.xml"));
    EXPECT_EQ(document.documentElement(), nullptr);
}
