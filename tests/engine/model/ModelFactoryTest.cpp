#include "engine/model/ModelFactory.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/model/ModelVocabulary.h"
#include "engine/model/aggCollection.h"
#include "engine/model/htmlForm.h"
#include "engine/model/htmlFormElement.h"
#include "engine/model/htmlFrame.h"
#include "engine/model/htmlImage.h"
#include "engine/model/htmlLink.h"
#include "engine/model/htmlPage.h"

namespace {

// The declared attributes of an object in order, as "name=value" joined by blanks.
std::string Attributes(const aggObject& object) {
    std::string text;
    const ObjectList& attributes = object.getNode().GetAttributes();
    for (int i = 0; i < attributes.GetCount(); ++i) {
        const auto* attribute = dynamic_cast<const ElementNode*>(attributes.GetAt(i));
        if (!text.empty())
            text += " ";
        text += attribute->GetName() + "=" + attribute->GetValue();
    }
    return text;
}

// The children of an object in order: a collection as "name/contained-type", any other
// object by its tag.
std::string Children(const aggObject& object) {
    std::string text;
    for (int i = 0; i < object.getChildCount(); ++i) {
        const aggObject* child = object.getChildAt(i);
        if (!text.empty())
            text += " ";
        if (child->getTagName() == "collection")
            text += child->getName() + "/" + child->getAttribute("contained-type");
        else
            text += child->getTagName();
    }
    return text;
}

constexpr char kBase[] = "name=unk id=unk index=unk";

TEST(ModelVocabularyTest, HoldsTheEightyFourNamesInTableOrder) {
    const StringArray& names = ModelVocabulary();
    ASSERT_EQ(names.size(), 84u);
    EXPECT_EQ(names.front(), "agg-projects");
    EXPECT_EQ(names[40], "noname");
    EXPECT_EQ(names[76], " ");
    EXPECT_EQ(names.back(), "exists");
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());

    // Every name the model writes belongs to the vocabulary.
    const std::set<std::string> known(names.begin(), names.end());
    for (const char* used :
         {kHtmlPageTag, kHtmlFormElementTag, kHtmlFormTextAreaTag, kConnectionMapTag,
          kCollectionTag, kHtmlEmailAddressesCollection, kHtmlFormSequencesCollection,
          kContainedTypeAttribute, kSelectedIndexAttribute, kFileUpdatedDateAttribute,
          kUnknownValue, kCheckboxType, kModelXmlIndent}) {
        EXPECT_EQ(known.count(used), 1u) << used;
    }
}

TEST(ModelVocabularyTest, ValueOrEmptyBlanksOnlyThePlaceholder) {
    EXPECT_EQ(ValueOrEmpty("unk"), "");
    EXPECT_EQ(ValueOrEmpty("UNK"), "");
    EXPECT_EQ(ValueOrEmpty("unknown"), "unknown");
    EXPECT_EQ(ValueOrEmpty(""), "");
    EXPECT_EQ(ValueOrEmpty(" unk"), " unk");
}

struct ClassCase {
    const char* tag;
    std::string attributes;  // after name, id, index
    std::string children;
};

TEST(ModelFactoryTest, BuildsEveryClassWithItsAttributesAndCollectionsInOrder) {
    const std::vector<ClassCase> cases = {
        {"collection", " contained-type=unk", ""},
        {"html-form-input", " type=unk value=unk", ""},
        {"html-form-textarea", " type=unk value=unk", ""},
        {"html-form-option", " text=unk value=unk selected=unk", ""},
        {"html-form-select", " type=unk value=unk multiple=unk selectedIndex=unk",
         "html-form-options/html-form-option"},
        {"html-form", " target=unk", "html-form-elements/html-form-element"},
        {"html-page",
         " url=unk title=unk fileCreatedDate=unk fileModifiedDate=unk fileUpdatedDate=unk "
         "fileSize=unk",
         "html-frames/html-frame html-forms/html-form html-images/html-image "
         "html-links/html-link html-email-addresses/html-email-address"},
        {"html-site", "", "html-pages/html-page"},
        {"diagram-preferences", "", ""},
        {"connection-item", "", ""},
        {"diagram-object", "", ""},
        {"connection-object", "", ""},
        {"connection-map", "",
         "connection-items/connection-item connection-objects/connection-object"},
        {"agg-process-diagram", "",
         "diagram-preferences diagram-objects/diagram-object connection-map "
         "connection-objects/connection-object"},
        {"agg-site", "", "html-form-sequences/html-form agg-process-diagrams/agg-process-diagram"},
        {"foreign-site", "", "html-form-sequences/html-form"},
        {"agg-project", "", "agg-sites/agg-site foreign-sites/foreign-site"},
    };
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(c.tag);
        std::unique_ptr<aggObject> object = CreateModelObject(c.tag);
        ASSERT_TRUE(object);
        EXPECT_EQ(object->getTagName(), c.tag);
        EXPECT_EQ(Attributes(*object), kBase + c.attributes);
        EXPECT_EQ(Children(*object), c.children);
        EXPECT_EQ(object->getParent(), nullptr);
        for (int i = 0; i < object->getChildCount(); ++i)
            EXPECT_EQ(object->getChildAt(i)->getParent(), object.get());
    }
    // The diagram's connection map brings its own collections.
    std::unique_ptr<aggObject> diagram = CreateModelObject("agg-process-diagram");
    EXPECT_EQ(Children(*diagram->getChildAt(2)),
              "connection-items/connection-item connection-objects/connection-object");
}

TEST(ModelFactoryTest, HasNoClassForPageMembersOrOtherTags) {
    for (const char* tag : {"html-frame", "html-image", "html-link", "html-email-address",
                            "HTML-PAGE", "html-form-element", "agg-projects", "", "unk"}) {
        EXPECT_FALSE(CreateModelObject(tag)) << tag;
    }
}

TEST(ModelFactoryTest, PageMembersStartWithPlaceholders) {
    htmlImage image;
    EXPECT_EQ(Attributes(image), std::string(kBase) + " url=unk width=unk height=unk fileSize=unk");
    EXPECT_EQ(ValueOrEmpty(image.getAttribute("url")), "");
    EXPECT_EQ(Attributes(htmlLink()), std::string(kBase) + " url=unk");
    EXPECT_EQ(Attributes(htmlFrame()), std::string(kBase) + " url=unk");
    htmlEmailAddress address;
    EXPECT_EQ(address.getTagName(), "html-email-address");
    EXPECT_EQ(Attributes(address), std::string(kBase) + " url=unk");
    EXPECT_EQ(address.getChildCount(), 0);
}

TEST(ModelObjectTest, AttributesMustBeDeclaredToBeSet) {
    htmlLink link;
    EXPECT_TRUE(link.setAttribute("URL", "http://a/"));  // names ignore case
    EXPECT_EQ(link.getAttribute("url"), "http://a/");
    EXPECT_FALSE(link.setAttribute("width", "3"));
    EXPECT_EQ(link.getAttribute("width"), "");
    EXPECT_FALSE(link.setAttribute("html-link", "x"));  // the tag is no attribute
    EXPECT_EQ(link.getTagName(), "html-link");
    link.setIndex(-7);
    EXPECT_EQ(link.getAttribute("index"), "-7");
    link.addAttribute("width", "unk");
    EXPECT_TRUE(link.setIntAttribute("width", 12));
    EXPECT_EQ(Attributes(link), "name=unk id=unk index=-7 url=http://a/ width=12");
}

TEST(ModelObjectTest, AddFilesMembersIntoTheirCollectionAndCounts) {
    htmlPage page;
    aggCollection* images = page.findCollection("html-image");
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->getAttribute("count"), "unk");
    for (int i = 0; i < 3; ++i) {
        auto image = std::make_unique<htmlImage>();
        ASSERT_TRUE(page.add(image.get()));
        aggObject* added = image.release();
        EXPECT_EQ(added->getParent(), &page);  // the holder, not the collection
    }
    EXPECT_EQ(images->getAttribute("count"), "3");
    EXPECT_EQ(images->getChildCount(), 3);
    EXPECT_EQ(page.findCollection("html-link")->getAttribute("count"), "unk");

    // A collection as the factory builds it has no count to update.
    std::unique_ptr<aggObject> bare = CreateModelObject("collection");
    ASSERT_TRUE(bare->add(new htmlLink()));
    EXPECT_EQ(bare->getChildCount(), 1);
    EXPECT_EQ(Attributes(*bare), std::string(kBase) + " contained-type=unk");
}

TEST(ModelObjectTest, AnObjectWithoutACollectionIsHandedBack) {
    htmlForm form;
    auto link = std::make_unique<htmlLink>();
    EXPECT_FALSE(form.add(link.get()));
    EXPECT_EQ(link->getParent(), nullptr);
    EXPECT_FALSE(form.addToCollection(link.get(), "html-links"));
    EXPECT_EQ(form.findCollection("html-form-element")->getChildCount(), 0);
    EXPECT_FALSE(form.add(nullptr));
    // link is still ours; the sanitizer build sees it freed exactly once.
}

TEST(ModelObjectTest, FindChildFindsACollectionByNameOrMemberTag) {
    htmlPage page;
    aggObject* images = page.findCollection("html-image");
    EXPECT_EQ(page.findChild("collection", "html-images", true), images);
    EXPECT_EQ(page.findChild("collection", "html-image", true), images);
    EXPECT_EQ(page.findChild("COLLECTION", "Html-Images", false), images);
    EXPECT_EQ(page.findChild("html-page", "unk", false), &page);
    EXPECT_EQ(page.findChild("collection", "html-form-element", false), nullptr);

    auto form = std::make_unique<htmlForm>();
    form->setName("search");
    htmlForm* formPointer = form.get();
    ASSERT_TRUE(page.add(form.release()));
    EXPECT_EQ(page.findChild("collection", "html-form-element", true),
              formPointer->findCollection("html-form-element"));
    EXPECT_EQ(page.findChild("html-form", "SEARCH", true), formPointer);
    EXPECT_EQ(page.findChild("html-form", "search", false), nullptr);  // inside a collection
}

TEST(ModelObjectTest, DisplayTextsAndLabels) {
    htmlLink link;
    link.setName("a");
    EXPECT_EQ(link.getDisplayText(), "a (html-link)");
    EXPECT_TRUE(link.isShown());
    EXPECT_FALSE(link.isForm());
    EXPECT_FALSE(link.isFormElement());

    htmlForm form;
    form.setIndex(3);
    EXPECT_EQ(form.getDisplayText(), "3 (html-form)");
    form.setAttribute("id", "f1");
    EXPECT_EQ(form.getDisplayText(), "f1 (html-form)");
    form.setName("extract");
    EXPECT_EQ(form.getDisplayText(), "extract (html-form)");
    EXPECT_TRUE(form.isForm());

    htmlFormInput input;
    EXPECT_EQ(input.getDisplayText(), "unk (unk)");  // an unread value shows as it stands
    input.setAttribute("value", "");
    input.setAttribute("type", "text");
    input.setName("q");
    EXPECT_EQ(input.getDisplayText(), "q (text)");
    input.setAttribute("value", "Go");
    EXPECT_EQ(input.getDisplayText(), "Go (text)");
    EXPECT_TRUE(input.isFormElement());
    EXPECT_FALSE(input.isForm());

    htmlFormOption option;
    option.setAttribute("text", "Beta");
    EXPECT_EQ(option.getDisplayText(), "Beta (html-form-option)");
    EXPECT_FALSE(option.isFormElement());
}

TEST(ModelObjectTest, LoadFromElementKeepsDeclaredAttributesAndKnownChildren) {
    std::unique_ptr<aggObject> page = LoadModelText(
        "<html-page name=\"p\" extra=\"dropped\" TITLE=\"Home\" url=\"http://h/\">"
        "<collection name=\"html-forms\" contained-type=\"html-form\" count=\"1\">"
        "<html-form name=\"f\" target=\"_top\"/></collection>"
        "<html-image url=\"x.jpg\"/>"
        "<bogus><html-form name=\"lost\"/></bogus>"
        "</html-page>");
    ASSERT_TRUE(page);
    EXPECT_EQ(Attributes(*page),
              "name=p id=unk index=unk url=http://h/ title=Home fileCreatedDate=unk "
              "fileModifiedDate=unk fileUpdatedDate=unk fileSize=unk");
    ASSERT_EQ(page->getChildCount(), 1);
    aggObject* forms = page->getChildAt(0);
    EXPECT_EQ(Attributes(*forms), "name=html-forms id=unk index=unk contained-type=html-form");
    ASSERT_EQ(forms->getChildCount(), 1);
    EXPECT_EQ(forms->getChildAt(0)->getAttribute("target"), "_top");
    EXPECT_EQ(forms->getChildAt(0)->getParent(), forms);
    EXPECT_EQ(dynamic_cast<htmlPage*>(page.get())->getForm(0), forms->getChildAt(0));

    EXPECT_FALSE(LoadModelText(""));
    EXPECT_FALSE(LoadModelText("<html-page"));
    EXPECT_FALSE(LoadModelText("<html-image url=\"x\"/>"));
    EXPECT_FALSE(CreateModelFromElement(nullptr));

    htmlLink link;
    link.loadFromText("<anything url=\"u\" name=\"n\" width=\"9\"/>");
    EXPECT_EQ(Attributes(link), "name=n id=unk index=unk url=u");
    link.loadFromText("not xml");
    EXPECT_EQ(link.getAttribute("url"), "u");
}

TEST(ModelObjectTest, XmlTextOfAnObject) {
    htmlLink link;
    link.setName("a");
    EXPECT_EQ(link.toXmlText(true),
              "<?xml version=\"1.0\"?>\r\n <html-link name=\"a\" id=\"unk\" index=\"unk\" "
              "url=\"unk\"/>\r\n");
    std::unique_ptr<ElementNode> tree = htmlPage().toElementTree(false);
    EXPECT_EQ(tree->GetChildren().GetCount(), 0);
    EXPECT_EQ(htmlPage().toElementTree(true)->GetChildren().GetCount(), 5);
}

TEST(ModelObjectTest, CloneOfAPageKeepsCollectionsAndFormsButNotPageMembers) {
    htmlPage page;
    page.setName("http://h/p?a=1&b=2");
    page.setAttribute("url", "http://h/p?a=1&b=2");
    page.setAttribute("title", "Tom & <Jerry> \"quoted\"");
    auto form = std::make_unique<htmlForm>();
    form->setName("a&b");
    auto input = std::make_unique<htmlFormInput>();
    input->setName("depth");
    ASSERT_TRUE(form->addToCollection(input.get(), "html-form-element"));
    input.release();
    ASSERT_TRUE(page.add(form.release()));
    std::vector<std::unique_ptr<aggObject>> members;
    members.push_back(std::make_unique<htmlImage>());
    members.push_back(std::make_unique<htmlLink>());
    members.push_back(std::make_unique<htmlEmailAddress>());
    for (std::unique_ptr<aggObject>& member : members) {
        ASSERT_TRUE(page.add(member.get()));
        member.release();
    }

    std::unique_ptr<aggObject> copy = page.clone(true);
    auto* clonedPage = dynamic_cast<htmlPage*>(copy.get());
    ASSERT_NE(clonedPage, nullptr);
    EXPECT_EQ(clonedPage->getAttribute("url"), "http://h/p?a=1&b=2");
    EXPECT_EQ(clonedPage->getAttribute("title"), "Tom & <Jerry> \"quoted\"");
    EXPECT_EQ(Children(*clonedPage), Children(page));
    for (const char* type : {"html-frame", "html-image", "html-link", "html-email-address"})
        EXPECT_EQ(clonedPage->findCollection(type)->getChildCount(), 0) << type;
    htmlForm* clonedForm = clonedPage->getForm(0);
    ASSERT_NE(clonedForm, nullptr);
    EXPECT_EQ(clonedForm->getName(), "a&b");
    EXPECT_NE(clonedForm->findElement("DEPTH"), nullptr);
    EXPECT_EQ(clonedPage->getForm(1), nullptr);

    EXPECT_EQ(page.clone(false)->getChildCount(), 0);
    EXPECT_FALSE(htmlImage().clone(true));
}

}  // namespace
