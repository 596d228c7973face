#include "engine/xml/XmlText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/ui/MessageBox.h"
#include "platform/xml/XmlDocument.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/TestEnvironment.h"

namespace {

using Tree = std::unique_ptr<ElementNode>;

ElementNode* ChildAt(const ElementNode& node, int index) {
    return dynamic_cast<ElementNode*>(node.GetChildren().GetAt(index));
}

// Every name and value of a subtree, exactly, with the kind of node.
std::string Structure(const ElementNode* node) {
    if (node == nullptr)
        return "null";
    std::string text = node->GetName() + "=[" + node->GetValue() + "]";
    if (node->IsProcessingInstruction())
        text += "?";
    const ObjectList& attributes = node->GetAttributes();
    for (int i = 0; i < attributes.GetCount(); ++i) {
        text += " @" + Structure(dynamic_cast<ElementNode*>(attributes.GetAt(i)));
    }
    const ObjectList& children = node->GetChildren();
    if (children.GetCount() > 0) {
        text += " (";
        for (int i = 0; i < children.GetCount(); ++i) {
            text += Structure(dynamic_cast<ElementNode*>(children.GetAt(i))) + ";";
        }
        text += ")";
    }
    return text;
}

// Counts DOM document creations for as long as it lives.
class CreationCounter {
public:
    CreationCounter() {
        SetXmlDocumentCreationHook([this] {
            ++count;
            return true;
        });
    }
    ~CreationCounter() { SetXmlDocumentCreationHook({}); }
    int count = 0;
};

const char kFiveLines[] =
    "<?xml version=\"1.0\"?>\r\n"
    " <site name=\"a\">\r\n"
    "  <page/>\r\n"
    "  <note>hi</note>\r\n"
    " </site>\r\n";

}  // namespace

TEST(XmlTextTest, WritesTheSiteExampleByteForByte) {
    ElementNode site("site", "");
    site.AddAttribute("name", "a");
    site.AddChild("page", "");
    site.AddChild("note", "")->AddChild("#text", "hi");
    EXPECT_EQ(BuildXmlText(&site, true, " "), kFiveLines);
    EXPECT_EQ(BuildXmlText(&site, false, " "), std::string(kFiveLines).substr(23));
}

TEST(XmlTextTest, ReadsTheSiteExampleBackIntoTheSameTree) {
    Tree site(ParseXmlText(kFiveLines));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(Structure(site.get()), "site=[] @name=[a] (page=[];note=[hi] (#text=[hi];);)");
    EXPECT_EQ(site->GetParent(), nullptr);
    EXPECT_EQ(BuildXmlText(site.get(), true, " "), kFiveLines);
}

TEST(XmlTextTest, NullRootWritesNothingEvenWithTheHeader) {
    EXPECT_EQ(BuildXmlText(nullptr, true, " "), "");
    EXPECT_EQ(WriteXmlText(nullptr, " "), "");
}

TEST(XmlTextTest, LayoutOfElementsTextAndMixedContent) {
    struct Case {
        const char* input;
        const char* written;  // with an indent of two blanks
    } cases[] = {
        {"<a/>", "  <a/>\r\n"},
        {"<a x=\"1\" y=\"\"></a>", "  <a x=\"1\" y=\"\"/>\r\n"},
        {"<a><b><c/></b></a>", "  <a>\r\n   <b>\r\n    <c/>\r\n   </b>\r\n  </a>\r\n"},
        {"<a>one</a>", "  <a>one</a>\r\n"},
        // An element holding text has its children inline, so its text stays as it was.
        {"<p>Hello <b>big</b> world</p>", "  <p>Hello <b>big</b> world</p>\r\n"},
        {"<p>x<q><r/></q></p>", "  <p>x<q>\r\n    <r/>\r\n   </q></p>\r\n"},
        {"<a><!--c--><b/><?pi some data?><?bare?></a>",
         "  <a>\r\n   <!--c-->\r\n   <b/>\r\n   <?pi some data?>\r\n   <?bare?>\r\n  </a>\r\n"},
        {"<a><![CDATA[x<y]]></a>", "  <a><![CDATA[x<y]]></a>\r\n"},
        {"<a>t<!--c--></a>", "  <a>t<!--c--></a>\r\n"},
    };
    for (const Case& c : cases) {
        Tree tree(ParseXmlText(c.input));
        ASSERT_NE(tree, nullptr) << c.input;
        EXPECT_EQ(WriteXmlText(tree.get(), "  "), c.written) << c.input;
    }
}

TEST(XmlTextTest, ElementValueIsItsLastTextChild) {
    Tree tree(ParseXmlText("<a>one<b/>two</a>"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(Structure(tree.get()), "a=[two] (#text=[one];b=[];#text=[two];)");
    EXPECT_EQ(tree->GetText(), "one");
}

TEST(XmlTextTest, WriteReadWriteIsStable) {
    const char* cases[] = {
        kFiveLines,
        "<p>Hello <b>big</b> world<br/>and <i>more</i></p>",
        "<a href=\"x?a=1&amp;b=2\" t=\"&quot;q&quot; &lt;&gt;\">A &amp; B &lt;C&gt;</a>",
        "<a x=\"tab&#9;lf&#10;cr&#13;end\">line1&#13;\nline2\n</a>",
        "<a><!-- c --><![CDATA[ <raw> & ]]><?target data?><b>t</b></a>",
        "<html-page name=\"http://a/\" id=\"unk\"><collection name=\"html-images\" count=\"1\" "
        "contained-type=\"html-image\"><html-image url=\"http://a/1.png\" width=\"10\"/>"
        "</collection></html-page>",
        "<a>  padded text  </a>",
        "<a>\xC3\xA9t\xC3\xA9 \xE2\x82\xAC</a>",
    };
    for (const char* input : cases) {
        Tree first(ParseXmlText(input));
        ASSERT_NE(first, nullptr) << input;
        const std::string written = BuildXmlText(first.get(), true, " ");
        Tree second(ParseXmlText(written));
        ASSERT_NE(second, nullptr) << written;
        EXPECT_EQ(Structure(second.get()), Structure(first.get())) << written;
        EXPECT_EQ(BuildXmlText(second.get(), true, " "), written);
    }
}

TEST(XmlTextTest, EscapedValuesReadBackExactly) {
    const std::string attributeValue = "a&b<c>\"d\" 'e'\tf\ng\r\nh";
    const std::string text = "x & y < z > w\r\nnext\rlast \"q\" 'a'";
    ElementNode root("root", "");
    root.AddAttribute("v", attributeValue);
    root.AddChild("#text", text);
    const std::string written = BuildXmlText(&root, false, "");
    EXPECT_EQ(written,
              "<root v=\"a&amp;b&lt;c&gt;&quot;d&quot; 'e'&#9;f&#10;g&#13;&#10;h\">"
              "x &amp; y &lt; z &gt; w&#13;\nnext&#13;last \"q\" 'a'</root>\r\n");
    Tree back(ParseXmlText(written));
    ASSERT_NE(back, nullptr) << written;
    EXPECT_EQ(back->GetAttributeValue("v"), attributeValue);
    EXPECT_EQ(back->GetText(), text);
    EXPECT_EQ(back->GetValue(), text);
}

// Found by the XML fuzz target: a value ends at its first NUL, and a text of nothing
// but NUL references is no text, so the tree writes and reads back the same.
TEST(XmlTextTest, NulReferencesEndAValue) {
    struct Case {
        const char* input;
        const char* structure;
    };
    const Case cases[] = {
        {"<a>&#0;</a>", "a=[]"},
        {"<a>x&#0;y<b/>&#0;</a>", "a=[x] (#text=[x];b=[];)"},
        {"<a v=\"p&#0;q\"/>", "a=[] @v=[p]"},
        {"<a>\n&#0;</a>", "a=[\n] (#text=[\n];)"},
        {"<a>&#32;<b/>&#9;&#10;</a>", "a=[\t\n] (#text=[ ];b=[];#text=[\t\n];)"},
    };
    for (const Case& c : cases) {
        Tree tree(ParseXmlText(c.input));
        ASSERT_NE(tree, nullptr) << c.input;
        EXPECT_EQ(Structure(tree.get()), c.structure) << c.input;
        const std::string written = BuildXmlText(tree.get(), true, " ");
        Tree back(ParseXmlText(written));
        ASSERT_NE(back, nullptr) << written;
        EXPECT_EQ(BuildXmlText(back.get(), true, " "), written);
    }
    Tree attribute(ParseXmlText("<a v=\"p&#0;q\"/>"));
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(attribute->GetAttributeValue("v"), "p");
}

TEST(XmlTextTest, CleanValuesAreWrittenByteForByte) {
    ElementNode root("html-link", "");
    root.AddAttribute("url", "http://host/a b/c.html?x=1;y='2'#top");
    root.AddAttribute("name", "\xC3\xA9l\xC3\xA8ve");
    root.AddChild("#text", "plain text, with 'quotes' and \"doubles\"; tabs\tand\nlines");
    EXPECT_EQ(WriteXmlText(&root, " "),
              " <html-link url=\"http://host/a b/c.html?x=1;y='2'#top\" "
              "name=\"\xC3\xA9l\xC3\xA8ve\">plain text, with 'quotes' and \"doubles\"; "
              "tabs\tand\nlines</html-link>\r\n");
}

TEST(XmlTextTest, CommentsCDataAndInstructionsAreWrittenAsThemselves) {
    ElementNode root("a", "");
    root.AddChild("#comment", " note ");
    ElementNode* pi = root.AddChild("render", "fast");
    pi->SetProcessingInstruction(true);
    root.AddChild("render", "");  // an element of the same name stays an element
    EXPECT_EQ(WriteXmlText(&root, ""),
              "<a>\r\n <!-- note -->\r\n <?render fast?>\r\n <render/>\r\n</a>\r\n");

    Tree back(ParseXmlText(WriteXmlText(&root, "")));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Structure(back.get()), Structure(&root));
    EXPECT_TRUE(ChildAt(*back, 1)->IsProcessingInstruction());
    EXPECT_FALSE(ChildAt(*back, 2)->IsProcessingInstruction());

    ElementNode data("d", "");
    data.AddChild("#cdata-section", "a<b>&c");
    EXPECT_EQ(WriteXmlText(&data, ""), "<d><![CDATA[a<b>&c]]></d>\r\n");
}

TEST(XmlTextTest, MarkupThatWouldEndASectionEarlyStillParses) {
    ElementNode root("a", "");
    root.AddChild("#comment", "x-->y");
    root.AddChild("#comment", "ends-");
    ElementNode* pi = root.AddChild("t", "p?>q");
    pi->SetProcessingInstruction(true);
    root.AddChild("b", "")->AddChild("#cdata-section", "m]]>n");
    const std::string written = WriteXmlText(&root, "");
    Tree back(ParseXmlText(written));
    ASSERT_NE(back, nullptr) << written;
    ASSERT_EQ(back->GetChildren().GetCount(), 4) << written;
    EXPECT_EQ(ChildAt(*back, 1)->GetValue(), "ends-");
    // The CDATA text is split over two sections that together hold it all.
    const ElementNode* b = ChildAt(*back, 3);
    std::string cdata;
    for (int i = 0; i < b->GetChildren().GetCount(); ++i) {
        cdata += dynamic_cast<ElementNode*>(b->GetChildren().GetAt(i))->GetValue();
    }
    EXPECT_EQ(cdata, "m]]>n");
}

TEST(XmlTextTest, MalformedTextGivesNull) {
    const char* cases[] = {"<a",
                           "<a>",
                           "<a></b>",
                           "<a/><b/>",
                           "not xml",
                           "<a x=1/>",
                           "<a x=\"1\" x=\"2\"/>",
                           "<?xml version=\"1.0\"?>"};
    for (const char* text : cases) {
        EXPECT_EQ(ParseXmlText(text), nullptr) << text;
        ElementNode parent("p", "");
        EXPECT_EQ(ParseXmlTextInto(text, &parent), nullptr) << text;
        EXPECT_EQ(parent.GetChildren().GetCount(), 0) << text;
        EXPECT_EQ(XmlTextToListing(text, &parent), "") << text;
    }
}

TEST(XmlTextTest, EmptyTextCreatesNoDomDocument) {
    CreationCounter counter;
    ElementNode parent("p", "");
    EXPECT_EQ(ParseXmlText(""), nullptr);
    EXPECT_EQ(ParseXmlTextInto("", &parent), nullptr);
    EXPECT_EQ(XmlTextToListing("", &parent), "");
    EXPECT_EQ(counter.count, 0);
    Tree tree(ParseXmlText("<a/>"));
    EXPECT_EQ(counter.count, 1);
}

TEST(XmlTextTest, MissingComponentIsShownOncePerProcess) {
    // The only test that makes ParseXmlText fail to create the DOM document, so the
    // message is still pending on its first run in the process, whatever the order.
    static bool shownByAnEarlierRun = false;
    SetXmlDocumentCreationHook([] { return false; });
    ExpectedMessageBoxes boxes;
    ElementNode parent("p", "");
    EXPECT_EQ(ParseXmlTextInto("<a/>", &parent), nullptr);  // silent
    EXPECT_EQ(XmlTextToListing("<a/>", &parent), "");       // silent

    // Any box beyond the one expected here fails the test.
    if (!shownByAnEarlierRun)
        boxes.Expect(
            "ERROR: Could not create needed system component. Please install the latest "
            "Microsoft Internet Explorer.  The application will not work properly.");
    EXPECT_EQ(ParseXmlText("<a/>"), nullptr);
    EXPECT_EQ(ParseXmlText("<a/>"), nullptr);
    SetXmlDocumentCreationHook({});
    if (!shownByAnEarlierRun) {
        const std::vector<MessageBoxRecord> shown = boxes.Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "");
        EXPECT_EQ(shown[0].type, MB_ICONHAND);
        EXPECT_EQ(shown[0].owner, nullptr);
    }
    shownByAnEarlierRun = true;
    EXPECT_EQ(parent.GetChildren().GetCount(), 0);

    Tree tree(ParseXmlText("<a/>"));
    EXPECT_NE(tree, nullptr);
}

// Text that is not well-formed XML has no document element. Every "&" in text or in an
// attribute value starts one of the five predefined references or a character
// reference; any other reference, to an entity no document of ours declares, makes the
// text unreadable. Comments, CDATA sections and processing instructions take "&" as it
// stands.
TEST(XmlTextTest, ReferencesOtherThanThePredefinedOnesAndCharactersGiveNull) {
    const struct {
        const char* input;
        const char* structure;  // null: no tree
    } cases[] = {
        {"<a>&nbsp;</a>", nullptr},
        {"<a x=\"&nbsp;\"/>", nullptr},
        {"<a>&copy; 2024</a>", nullptr},
        {"<a>fish & chips</a>", nullptr},
        {"<a>&amp</a>", nullptr},
        {"<a>&;</a>", nullptr},
        {"<a>&#;</a>", nullptr},
        {"<a>&#x;</a>", nullptr},
        {"<a>&#12a;</a>", nullptr},
        {"<a>&#xD800;</a>", nullptr},
        {"<a>&#x110000;</a>", nullptr},
        {"<a>&#99999999999999999999;</a>", nullptr},
        {"<a><b>&unknown;</b></a>", nullptr},
        {"<a>&amp;nbsp;</a>", "a=[&nbsp;] (#text=[&nbsp;];)"},
        {"<a x=\"&lt;&gt;&amp;&apos;&quot;\"/>", "a=[] @x=[<>&'\"]"},
        {"<a>&#X43;</a>", nullptr},
        {"<a>&#65;&#x42;&#xe9;</a>", "a=[AB\xC3\xA9] (#text=[AB\xC3\xA9];)"},
        {"<a>&#x1F600;</a>", "a=[\xF0\x9F\x98\x80] (#text=[\xF0\x9F\x98\x80];)"},
        {"<a><![CDATA[&nbsp;]]><!--&nbsp;--><?pi &nbsp;?></a>",
         "a=[] (#cdata-section=[&nbsp;];#comment=[&nbsp;];pi=[&nbsp;]?;)"},
    };
    for (const auto& c : cases) {
        Tree tree(ParseXmlText(c.input));
        if (c.structure == nullptr) {
            EXPECT_TRUE(tree == nullptr) << c.input << " read as " << Structure(tree.get());
        } else {
            ASSERT_NE(tree, nullptr) << c.input;
            EXPECT_EQ(Structure(tree.get()), c.structure) << c.input;
        }
    }
}

TEST(XmlTextTest, DoctypeNamingALocalFileIsNotRead) {
    const std::string folder = MakeTestFolder("doctype");
    const std::string secret = folder + "/secret.txt";
    std::ofstream(secret) << "SECRET-CONTENT";
    std::ofstream(folder + "/defs.dtd") << "<!ENTITY e \"DTD-CONTENT\"><!ATTLIST a d CDATA \"x\">";
    const std::string doctype =
        "<!DOCTYPE a SYSTEM \"" + folder + "/defs.dtd\" [<!ENTITY s SYSTEM \"" + secret + "\">]>";
    // The DOCTYPE is skipped unread: no default attribute comes from it.
    Tree tree(ParseXmlText(doctype + "<a>text</a>"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetAttributes().GetCount(), 0) << "a default attribute came from the DTD";
    EXPECT_EQ(tree->GetText(), "text");
    // Its entities are never expanded: text that uses them cannot be read at all.
    Tree referring(ParseXmlText(doctype + "<a>&s;&e;</a>"));
    EXPECT_TRUE(referring == nullptr) << Structure(referring.get());
}

TEST(XmlTextTest, DeeplyNestedTextGivesNull) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "<e>";
    EXPECT_EQ(ParseXmlText(text), nullptr);
    for (int i = 0; i < 100000; ++i)
        text += "</e>";
    EXPECT_EQ(ParseXmlText(text), nullptr);
}

TEST(XmlTextTest, VariantToStringTable) {
    auto make = [](VARTYPE vt) {
        VARIANT value;
        value.vt = vt;
        return value;
    };
    VARIANT shortValue = make(VT_I2);
    shortValue.intVal = -32768;
    VARIANT longValue = make(VT_I4);
    longValue.intVal = 2147483647;
    VARIANT text = make(VT_BSTR);
    text.bstrVal = "caf\xC3\xA9";
    VARIANT yes = make(VT_BOOL);
    yes.boolVal = true;
    VARIANT no = make(VT_BOOL);
    VARIANT real = make(VT_R8);
    real.dblVal = 2.5;
    VARIANT stale = make(VT_NULL);
    stale.bstrVal = "ignored";
    struct Case {
        const VARIANT& value;
        const char* text;
    } cases[] = {
        {shortValue, "-32768"}, {longValue, "2147483647"},
        {text, "caf\xC3\xA9"},  {yes, "true"},
        {no, "false"},          {real, ""},
        {make(VT_EMPTY), ""},   {stale, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VariantToString(c.value), c.text) << c.value.vt;
}

TEST(XmlTextTest, DomToElementTreeForms) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML("<a k=\"v\">t<?p d?></a>"));
    const XmlNode* a = document.documentElement();

    EXPECT_EQ(DomToElementTree(nullptr), nullptr);
    Tree root(DomToElementTree(a));
    EXPECT_EQ(Structure(root.get()), "a=[t] @k=[v] (#text=[t];p=[d]?;)");
    EXPECT_EQ(root->GetParent(), nullptr);

    ElementNode parent("holder", "kept");
    EXPECT_EQ(DomToElementTree(a, nullptr), nullptr);
    EXPECT_EQ(DomToElementTree(nullptr, &parent), nullptr);
    ElementNode* added = DomToElementTree(a, &parent);
    ASSERT_EQ(parent.GetChildren().GetCount(), 1);
    EXPECT_EQ(ChildAt(parent, 0), added);
    EXPECT_EQ(added->GetParent(), &parent);
    EXPECT_EQ(Structure(added), Structure(root.get()));
    EXPECT_EQ(parent.GetValue(), "kept");

    // A text node added under a parent sets the parent's value, as AddChild does.
    DomToElementTree(a->childNodes().item(0), &parent);
    EXPECT_EQ(parent.GetValue(), "t");
}

TEST(XmlTextTest, ParseXmlTextIntoAddsTheDocumentElement) {
    ElementNode parent("holder", "");
    parent.AddChild("first", "");
    ElementNode* added = ParseXmlTextInto("<a><b/></a>", &parent);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(ChildAt(parent, 1), added);
    EXPECT_EQ(Structure(&parent), "holder=[] (first=[];a=[] (b=[];);)");
    EXPECT_EQ(ParseXmlTextInto("<a/>", nullptr), nullptr);
}

TEST(XmlTextTest, ListingWithAndWithoutAParent) {
    const char* text = "<site name=\"a\" empty=\"\"><page/><note>hi<?pi d?></note></site>";
    const std::string listing =
        "   site\r\n"
        "      name = a\r\n"
        "      empty\r\n"
        "   page\r\n"
        "   note\r\n"
        "   #text = hi\r\n"
        "   pi = d\r\n";
    EXPECT_EQ(XmlTextToListing(text, nullptr), listing);

    ElementNode parent("holder", "");
    EXPECT_EQ(XmlTextToListing(text, &parent), listing);
    ASSERT_EQ(parent.GetChildren().GetCount(), 1);
    EXPECT_EQ(Structure(ChildAt(parent, 0)),
              "site=[] @name=[a] @empty=[] (page=[];note=[hi] (#text=[hi];pi=[d]?;);)");
    EXPECT_EQ(DumpDomText(nullptr, &parent), "");
}
