#include "engine/tree/ElementNode.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

ElementNode* ChildAt(ElementNode& node, int index) {
    return dynamic_cast<ElementNode*>(node.GetChildren().GetAt(index));
}

ElementNode* AttributeAt(ElementNode& node, int index) {
    return dynamic_cast<ElementNode*>(node.GetAttributes().GetAt(index));
}

std::vector<std::string> ValuesOf(const ObjectList& list) {
    std::vector<std::string> values;
    for (int i = 0; i < list.GetCount(); ++i) {
        values.push_back(dynamic_cast<ElementNode*>(list.GetAt(i))->GetValue());
    }
    return values;
}

}  // namespace

TEST(ElementNodeTest, ConstructorsSetNameValueAndParent) {
    ElementNode blank;
    EXPECT_EQ(blank.GetName(), "unk");
    EXPECT_EQ(blank.GetValue(), "");
    EXPECT_EQ(blank.GetParent(), nullptr);

    ElementNode root("site", "v");
    ElementNode* child = root.AddChild("page", "p");
    EXPECT_EQ(child->GetParent(), &root);
    ElementNode* attribute = root.AddAttribute("name", "a");
    EXPECT_EQ(attribute->GetParent(), &root);
    EXPECT_EQ(root.GetChildren().GetCount(), 1);
    EXPECT_EQ(root.GetAttributes().GetCount(), 1);
}

TEST(ElementNodeTest, AddingNullAddsNothing) {
    ElementNode root("site", "");
    EXPECT_EQ(root.AddChild(nullptr), nullptr);
    EXPECT_EQ(root.AddAttribute(nullptr), nullptr);
    EXPECT_EQ(root.GetChildren().GetCount(), 0);
    EXPECT_EQ(root.GetAttributes().GetCount(), 0);
}

TEST(ElementNodeTest, TextChildBecomesTheElementValueAndTheLastOneWins) {
    ElementNode note("note", "");
    note.AddChild("#text", "hi");
    EXPECT_EQ(note.GetValue(), "hi");
    note.AddChild(new ElementNode("#text", "there"));  // the node form does the same
    EXPECT_EQ(note.GetValue(), "there");
    note.AddChild("b", "bold");  // other children leave the value alone
    EXPECT_EQ(note.GetValue(), "there");
    // The first text child is the element's text; the name matches in any case.
    EXPECT_EQ(note.GetText(), "hi");
    ElementNode other("x", "");
    other.AddChild("b", "");
    other.AddChild(new ElementNode("#TEXT", "caps"));
    EXPECT_EQ(other.GetText(), "caps");
    EXPECT_EQ(ElementNode("#text", "own").GetText(), "own");
    EXPECT_EQ(ElementNode("x", "value").GetText(), "");
}

TEST(ElementNodeTest, SetTextReplacesTheFirstTextChild) {
    ElementNode note("note", "");
    note.AddChild("b", "");
    note.AddChild("#text", "old");
    note.AddChild("#text", "second");
    note.SetText("new");
    EXPECT_EQ(note.GetChildren().GetCount(), 3) << "no text child may be added";
    EXPECT_EQ(ChildAt(note, 1)->GetValue(), "new");
    EXPECT_EQ(ChildAt(note, 2)->GetValue(), "second");
    EXPECT_EQ(note.GetText(), "new");
    EXPECT_EQ(note.GetValue(), "new");
}

TEST(ElementNodeTest, SetTextAddsATextChildOnlyForText) {
    ElementNode empty("note", "");
    empty.SetText("");
    EXPECT_EQ(empty.GetChildren().GetCount(), 0);
    empty.SetText("first");
    ASSERT_EQ(empty.GetChildren().GetCount(), 1);
    EXPECT_EQ(ChildAt(empty, 0)->GetName(), "#text");
    EXPECT_EQ(empty.GetValue(), "first");
    empty.SetText("again");
    EXPECT_EQ(empty.GetChildren().GetCount(), 1);
    EXPECT_EQ(empty.GetText(), "again");

    ElementNode text("#text", "a");
    text.SetText("b");
    EXPECT_EQ(text.GetValue(), "b");
    EXPECT_EQ(text.GetChildren().GetCount(), 0);
}

TEST(ElementNodeTest, ToStringTrimsTheValueForDisplayOnly) {
    struct Case {
        const char* name;
        const char* value;
        const char* display;
    } cases[] = {
        {"page", "", "page"},
        {"url", "  http://a/  ", "url: http://a/"},
        {"n", "\t a b \r\n", "n: a b"},
        {"n", "   ", "n: "},
    };
    for (const Case& c : cases) {
        ElementNode node(c.name, c.value);
        EXPECT_EQ(node.ToString(), c.display) << c.value;
        EXPECT_EQ(node.GetValue(), c.value);
    }
    ElementNode node("img", "");
    node.AddAttribute("src", " a.png ");
    node.AddAttribute("alt", "");
    node.AddAttribute("width", "10");
    EXPECT_EQ(node.AttributesToString(), "src: a.png alt width: 10");
}

TEST(ElementNodeTest, DumpTextIndentsByKindNotByDepth) {
    ElementNode root("site", "");
    root.AddAttribute("name", "a");
    ElementNode* page = root.AddChild("page", "");
    page->AddAttribute("url", "u");
    page->AddChild("note", "")->AddChild("#text", " hi ");
    const std::string expected =
        "   site\r\n"
        "      name: a\r\n"
        "   page\r\n"
        "      url: u\r\n"
        "   note: hi\r\n"
        "   #text: hi\r\n";
    EXPECT_EQ(root.DumpText(0), expected);
    EXPECT_EQ(root.DumpText(5), expected);
}

TEST(ElementNodeTest, HasErrorAndContainsSearchTheWholeSubtree) {
    struct Case {
        const char* where;
        bool error;
    } cases[] = {{"none", false},
                 {"self", true},
                 {"attribute", true},
                 {"grandchild", true},
                 {"capitalised", false}};
    for (const Case& c : cases) {
        const std::string where = c.where;
        ElementNode root(where == "self" ? "error" : "result", "");
        root.AddAttribute("status", where == "attribute" ? "an error here" : "ok");
        ElementNode* child = root.AddChild("step", "");
        child->AddChild("detail", where == "grandchild"    ? "error: 404"
                                  : where == "capitalised" ? "Error"
                                                           : "fine");
        EXPECT_EQ(root.HasError(), c.error) << where;
    }
    ElementNode root("a", "");
    root.AddChild("b", "")->AddAttribute("k", "needle");
    EXPECT_TRUE(root.Contains("needle"));
    EXPECT_TRUE(root.Contains("k: nee"));  // the display text is searched
    EXPECT_FALSE(root.Contains("Needle"));
}

TEST(ElementNodeTest, GetBoolTable) {
    struct Case {
        const char* value;
        bool result;
    } cases[] = {{"true", true},   {"TRUE", true}, {"t", true},   {"T", true},  {"false", false},
                 {"FALSE", false}, {"f", false},   {"F", false},  {"1", true},  {" 1", true},
                 {"1abc", true},   {"2", false},   {"-1", false}, {"0", false}, {"yes", false},
                 {"", false},      {"tr", false}};
    for (const Case& c : cases)
        EXPECT_EQ(ElementNode("x", c.value).GetBool(), c.result) << c.value;
}

TEST(ElementNodeTest, GetIntReadsTheLeadingNumberAndClampsOutOfRange) {
    struct Case {
        const char* value;
        int result;
    } cases[] = {
        {"", 0},
        {"42", 42},
        {"  -17", -17},
        {"+8", 8},
        {"12abc", 12},
        {"3.9", 3},
        {"abc", 0},
        {"- 5", 0},
        {"0x1F", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999x", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ElementNode("x", c.value).GetInt(), c.result) << c.value;
}

TEST(ElementNodeTest, GetFloatReadsTheLeadingNumberAndStaysFinite) {
    struct Case {
        const char* value;
        float result;
    } cases[] = {
        {"", 0.0f},         {"1.5", 1.5f},    {" -2.25e2", -225.0f},   {"3abc", 3.0f},
        {".5", 0.5f},       {"abc", 0.0f},    {"1e39", FLT_MAX},       {"-1e39", -FLT_MAX},
        {"1e400", FLT_MAX}, {"inf", FLT_MAX}, {"-infinity", -FLT_MAX}, {"nan", 0.0f},
        {"1e-60", 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ElementNode("x", c.value).GetFloat(), c.result) << c.value;
    }
}

TEST(ElementNodeTest, FindChildIsDepthFirstAndSkipsAttributes) {
    ElementNode root("site", "");
    root.AddAttribute("page", "attribute");
    ElementNode* a = root.AddChild("a", "");
    a->AddChild("page", "deep");
    root.AddChild("page", "shallow");
    struct Case {
        const char* name;
        const char* found;  // value of the node found; null for none
    } cases[] = {{"page", "deep"}, {"PAGE", nullptr}, {"missing", nullptr}};
    for (const Case& c : cases) {
        ElementNode* found = root.FindChild(c.name);
        if (c.found == nullptr) {
            EXPECT_EQ(found, nullptr) << c.name;
        } else {
            ASSERT_NE(found, nullptr) << c.name;
            EXPECT_EQ(found->GetValue(), c.found) << c.name;
        }
    }
    EXPECT_EQ(root.FindChild("site"), &root);
}

TEST(ElementNodeTest, FindAttributeTable) {
    ElementNode input("input", "self");
    input.AddAttribute("name", "q");
    input.AddAttribute("Type", "text");
    input.AddChild("label", "")->AddAttribute("deep", "below");
    struct Case {
        const char* name;
        bool recursive;
        const char* found;
    } cases[] = {
        {"input", false, "self"},                            // the node itself, by exact name
        {"INPUT", false, nullptr}, {"type", false, "text"},  // attributes in any case
        {"NAME", false, "q"},      {"deep", false, nullptr},
        {"deep", true, "below"},   {"missing", true, nullptr},
    };
    for (const Case& c : cases) {
        ElementNode* found = input.FindAttribute(c.name, c.recursive);
        if (c.found == nullptr) {
            EXPECT_EQ(found, nullptr) << c.name;
        } else {
            ASSERT_NE(found, nullptr) << c.name;
            EXPECT_EQ(found->GetValue(), c.found) << c.name;
        }
    }
}

TEST(ElementNodeTest, FindAttributeInAChildFindsTheChildByItsName) {
    ElementNode form("form", "");
    ElementNode* label = form.AddChild("label", "x");
    EXPECT_EQ(form.FindAttribute("label", true), label);
    EXPECT_EQ(form.FindAttribute("label", false), nullptr);
}

TEST(ElementNodeTest, FindNamedValueTable) {
    ElementNode form("form", "");
    ElementNode* email = form.AddChild("field", "");
    email->AddAttribute("name", "email");
    email->AddAttribute("type", "text");
    email->AddAttribute("VALUE", "a@b");
    ElementNode* late = form.AddChild("field", "");
    late->AddAttribute("value", "early");
    late->AddAttribute("name", "late");
    ElementNode* user = form.AddChild("field", "");
    user->AddAttribute("name", "user");
    user->AddAttribute("value", "joe");

    struct Case {
        ElementNode* node;
        const char* key;
        bool recursive;
        const char* found;
    } cases[] = {
        {email, "EMAIL", false, "a@b"},  // raised by the name, any case
        {email, "text", false, "a@b"},   // raised by any attribute value
        {email, "a@b", false, "a@b"},    // the value attribute raises it itself
        {email, "none", false, nullptr},
        {late, "late", false, nullptr},  // a value before the key does not count
        {&form, "user", false, nullptr},
        {&form, "user", true, "joe"},
        {&form, "email", true, "a@b"},
    };
    for (const Case& c : cases) {
        ElementNode* found = c.node->FindNamedValue(c.key, c.recursive);
        if (c.found == nullptr) {
            EXPECT_EQ(found, nullptr) << c.key;
        } else {
            ASSERT_NE(found, nullptr) << c.key;
            EXPECT_EQ(found->GetValue(), c.found) << c.key;
        }
    }
    EXPECT_EQ(form.FindNamedValue("form", false), &form);
}

TEST(ElementNodeTest, AttributeGettersTable) {
    ElementNode node("img", "");
    node.AddAttribute("Width", "120px");
    node.AddAttribute("shown", "T");
    node.AddAttribute("url", "http://a/");
    EXPECT_EQ(node.GetAttributeValue("url"), "http://a/");
    EXPECT_EQ(node.GetAttributeValue("URL"), "");  // exact name only
    EXPECT_EQ(node.GetAttributeValue("missing"), "");
    EXPECT_EQ(node.GetAttributeString("URL"), "http://a/");  // any case
    EXPECT_EQ(node.GetAttributeString("missing"), "");
    EXPECT_EQ(node.GetAttributeInt("width"), 120);
    EXPECT_EQ(node.GetAttributeInt("missing"), 0);
    EXPECT_TRUE(node.GetAttributeBool("shown"));
    EXPECT_FALSE(node.GetAttributeBool("missing"));
}

TEST(ElementNodeTest, SettersChangeExistingAttributesOnly) {
    ElementNode node("collection", "own");
    node.AddAttribute("count", "unk");
    node.AddAttribute("ok", "unk");
    node.AddAttribute("flag", "unk");
    struct Case {
        const char* what;
        std::function<bool(ElementNode&)> set;
        bool result;
        const char* attribute;
        const char* value;
    } cases[] = {
        {"text, any case", [](ElementNode& n) { return n.SetAttribute("COUNT", "5"); }, true,
         "count", "5"},
        {"int", [](ElementNode& n) { return n.SetAttributeInt("count", -3); }, true, "count", "-3"},
        {"bool", [](ElementNode& n) { return n.SetAttributeBool("ok", true); }, true, "ok", "true"},
        {"bool false", [](ElementNode& n) { return n.SetAttributeBool("ok", false); }, true, "ok",
         "false"},
        {"flag", [](ElementNode& n) { return n.SetAttributeFlag("flag", true); }, true, "flag",
         "T"},
        {"flag false", [](ElementNode& n) { return n.SetAttributeFlag("flag", false); }, true,
         "flag", "F"},
        {"text, missing", [](ElementNode& n) { return n.SetAttribute("missing", "x"); }, false,
         "count", "-3"},
        {"int, missing", [](ElementNode& n) { return n.SetAttributeInt("missing", 1); }, false,
         "count", "-3"},
        {"bool, missing", [](ElementNode& n) { return n.SetAttributeBool("missing", true); }, false,
         "count", "-3"},
        {"flag, missing", [](ElementNode& n) { return n.SetAttributeFlag("missing", true); }, false,
         "count", "-3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.set(node), c.result) << c.what;
        EXPECT_EQ(node.GetAttributeValue(c.attribute), c.value) << c.what;
    }
    EXPECT_EQ(node.GetAttributes().GetCount(), 3) << "a setter created an attribute";

    // The node's own name is a key too: its own value changes.
    EXPECT_TRUE(node.SetAttribute("collection", "mine"));
    EXPECT_EQ(node.GetValue(), "mine");
}

TEST(ElementNodeTest, SetAttributesCopiesKnownNamesAndDropsOthers) {
    ElementNode node("page", "");
    node.AddAttribute("name", "unk");
    node.AddAttribute("url", "unk");
    ObjectList values(true);
    values.Add(new ElementNode("url", "http://a/"));
    values.Add(new ElementNode("extra", "dropped"));
    values.Add(new ElementNode("NAME", "n"));
    node.SetAttributes(values);
    EXPECT_EQ(ValuesOf(node.GetAttributes()), (std::vector<std::string>{"n", "http://a/"}));
}

TEST(ElementNodeTest, CollectByNameStopsAtMatchesAndNeverOwnsThem) {
    auto root = std::make_unique<ElementNode>("root", "");
    root->AddAttribute("rawBytes", "attribute");
    ElementNode* outer = root->AddChild("rawBytes", "outer");
    outer->AddChild("rawBytes", "nested");
    root->AddChild("unknownBytes", "unknown");
    root->AddChild("other", "")->AddChild("rawBytes", "below");

    struct Case {
        const char* name;
        std::vector<std::string> values;
    } cases[] = {
        {"rawBytes", {"outer", "unknown", "below"}},
        {"unknownBytes", {"unknown"}},
        {"RAWBYTES", {}},
    };
    for (const Case& c : cases) {
        // The list starts owning; collecting makes it non-owning, so destroying it at
        // the end of this scope leaves the tree whole (AddressSanitizer checks).
        ObjectList list(true);
        root->CollectByName(c.name, list);
        EXPECT_EQ(ValuesOf(list), c.values) << c.name;
    }
    EXPECT_EQ(root->GetChildren().GetCount(), 3);
    EXPECT_EQ(ChildAt(*outer, 0)->GetValue(), "nested");
}

TEST(ElementNodeTest, CloneCopiesAttributesAndOptionallyChildren) {
    ElementNode parent("holder", "");
    ElementNode* original = parent.AddChild("site", "");
    original->AddAttribute("name", "a");
    ElementNode* page = original->AddChild("page", "");
    page->AddAttribute("url", "u");
    page->AddChild("#text", "t");
    original->SetValue("own value");  // differs from the last text child below it

    std::unique_ptr<ElementNode> shallow(original->Clone(true));
    EXPECT_EQ(shallow->GetParent(), nullptr);
    EXPECT_EQ(shallow->GetName(), "site");
    EXPECT_EQ(shallow->GetValue(), "own value");
    EXPECT_EQ(shallow->GetChildren().GetCount(), 0);
    ASSERT_EQ(shallow->GetAttributes().GetCount(), 1);
    EXPECT_EQ(AttributeAt(*shallow, 0)->GetParent(), shallow.get());
    EXPECT_NE(AttributeAt(*shallow, 0), AttributeAt(*original, 0));

    std::unique_ptr<ElementNode> deep(original->Clone(false));
    EXPECT_EQ(deep->GetParent(), nullptr);
    EXPECT_EQ(deep->DumpText(0), original->DumpText(0));
    EXPECT_EQ(deep->GetValue(), "own value");
    ElementNode* pageCopy = ChildAt(*deep, 0);
    ASSERT_NE(pageCopy, nullptr);
    EXPECT_NE(pageCopy, page);
    EXPECT_EQ(pageCopy->GetParent(), deep.get());
    EXPECT_EQ(ChildAt(*pageCopy, 0)->GetParent(), pageCopy);
    EXPECT_EQ(AttributeAt(*pageCopy, 0)->GetParent(), pageCopy);

    // Each copy has lists of its own.
    pageCopy->SetAttribute("url", "changed");
    EXPECT_EQ(page->GetAttributeValue("url"), "u");
}

// A node that counts the nodes of its kind alive.
class CountedNode final : public ElementNode {
public:
    CountedNode(std::string name, std::string value, int* alive)
        : ElementNode(std::move(name), std::move(value)), alive_(alive) {
        ++*alive_;
    }
    ~CountedNode() override { --*alive_; }

private:
    int* alive_;
};

TEST(ElementNodeTest, DeletingTheRootDeletesTheWholeTree) {
    // Every node below the root, attributes and the attributes of text nodes included,
    // goes with it (the address sanitizer build would also report a leak).
    int alive = 0;
    auto node = [&](const char* name, const std::string& value) {
        return new CountedNode(name, value, &alive);
    };
    ElementNode* root = node("site", "");
    for (int i = 0; i < 3; ++i) {
        ElementNode* page = root->AddChild(node("page", ""));
        page->AddAttribute(node("index", std::to_string(i)));
        page->AddChild(node("#text", "x"))->AddAttribute(node("stray", "y"));
    }
    EXPECT_EQ(alive, 13);
    delete root;
    EXPECT_EQ(alive, 0);
}
