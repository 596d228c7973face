#include "engine/model/htmlForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/model/PageReading.h"
#include "engine/model/aggCollection.h"
#include "engine/model/htmlFormElement.h"
#include "engine/model/htmlPage.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/FixturePageSite.h"

namespace {

// One attribute of every member of a collection, in order.
StringArray Members(const aggObject& holder, const char* containedType, const char* attribute) {
    StringArray values;
    const aggCollection* collection = holder.findCollection(containedType);
    for (int i = 0; collection != nullptr && i < collection->getChildCount(); ++i)
        values.push_back(collection->getAt(i)->getAttribute(attribute));
    return values;
}

// The texts of the boxes taken so far. Any box a test does not expect fails it, so the
// tests of silent paths need no check of their own.
StringArray Texts(const ExpectedMessageBoxes& boxes) {
    StringArray texts;
    for (const MessageBoxRecord& box : boxes.Shown())
        texts.push_back(box.text);
    return texts;
}

class FormTest : public ::testing::Test {
protected:
    // The page as the panel reads its own page: forms, no e-mail addresses.
    std::unique_ptr<htmlPage> LoadForms(const std::shared_ptr<HtmlDocument>& document) {
        auto page = std::make_unique<htmlPage>();
        page->load(document, true, false);
        return page;
    }

    // The live control index of the first form of document.
    static std::shared_ptr<HtmlElement> Control(const std::shared_ptr<HtmlDocument>& document,
                                                LONG index) {
        return document->Forms().Item(0)->Elements().Item(index);
    }

    FixturePageSite site_{"model"};
};

TEST_F(FormTest, FieldIndexesCountTheSkippedControls) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/form-indexes.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    htmlForm* form = page->getForm(0);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(page->getForm(1), nullptr);
    EXPECT_EQ(page->getForm(-1), nullptr);
    EXPECT_EQ(form->getParent(), page.get());
    EXPECT_EQ(form->getName(), "extract");
    EXPECT_EQ(form->getAttribute("target"), "_self");
    EXPECT_EQ(form->getAttribute("index"), "0");
    EXPECT_EQ(form->getDisplayText(), "extract (html-form)");

    // The button element between the two is skipped but counted.
    EXPECT_EQ(Members(*form, "html-form-element", "name"), (StringArray{"depth", "mode"}));
    EXPECT_EQ(Members(*form, "html-form-element", "index"), (StringArray{"0", "2"}));
    EXPECT_EQ(Members(*form, "html-form-element", "type"), (StringArray{"text", "select-one"}));
    EXPECT_EQ(form->findCollection("html-form-element")->getAttribute("count"), "2");

    auto* select = dynamic_cast<htmlFormSelect*>(form->findElement("mode"));
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->getParent(), form);
    EXPECT_EQ(select->getAttribute("value"), "b");
    EXPECT_EQ(select->getAttribute("multiple"), "0");
    EXPECT_EQ(select->getAttribute("selectedIndex"), "1");
    EXPECT_EQ(Members(*select, "html-form-option", "text"), (StringArray{"Alpha", "Beta"}));
    EXPECT_EQ(Members(*select, "html-form-option", "value"), (StringArray{"a", "b"}));
    EXPECT_EQ(Members(*select, "html-form-option", "selected"), (StringArray{"0", "-1"}));
    EXPECT_EQ(Members(*select, "html-form-option", "index"), (StringArray{"0", "1"}));

    // Forms are read only when asked for.
    std::unique_ptr<htmlPage> withoutForms = LoadPageModel(document, false, false);
    EXPECT_EQ(withoutForms->getForm(0), nullptr);
}

TEST_F(FormTest, ValuesGoToAndComeFromTheLiveFields) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    ASSERT_NE(page->getForm(0), nullptr);

    // Names are found in any case; the stored value keeps the load-time text.
    EXPECT_TRUE(page->setFormValue(0, "Depth", "5"));
    EXPECT_EQ(Control(document, 0)->Value(), "5");
    std::string value;
    EXPECT_TRUE(page->getFormValue(0, "DEPTH", value));
    EXPECT_EQ(value, "5");
    EXPECT_EQ(page->getForm(0)->findElement("depth")->getAttribute("value"), "2");

    // A value the user typed after the load is read as it stands now.
    Control(document, 4)->SetValue("typed later");
    EXPECT_TRUE(page->getFormValue(0, "notes", value));
    EXPECT_EQ(value, "typed later");

    // Select lists take and give the value of their option.
    EXPECT_TRUE(page->getFormValue(0, "sizes", value));
    EXPECT_EQ(value, "m");
    EXPECT_TRUE(page->setFormValue(0, "sizes", "s"));
    EXPECT_EQ(Control(document, 5)->SelectedIndex(), 0);
}

TEST_F(FormTest, CheckBoxesCarryTrueAndFalse) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    std::string value;
    ASSERT_TRUE(page->getFormValue(0, "wander", value));
    EXPECT_EQ(value, "false");
    ASSERT_TRUE(page->getFormValue(0, "removecache", value));
    EXPECT_EQ(value, "true");

    EXPECT_TRUE(page->setFormValue(0, "wander", "TRUE"));
    EXPECT_TRUE(Control(document, 1)->Checked());
    ASSERT_TRUE(page->getFormValue(0, "wander", value));
    EXPECT_EQ(value, "true");
    for (const char* word : {"false", "yes", "ON", "1", ""}) {
        ASSERT_TRUE(page->setFormValue(0, "wander", "true"));
        EXPECT_TRUE(page->setFormValue(0, "wander", word));
        EXPECT_FALSE(Control(document, 1)->Checked()) << word;
    }
    // The box's own value attribute is never written.
    EXPECT_EQ(Control(document, 1)->Value(), "ON");
}

TEST_F(FormTest, MissingFormsAndFieldsLeaveTheResultAlone) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    std::string value = "before";
    EXPECT_FALSE(page->getFormValue(1, "depth", value));
    EXPECT_FALSE(page->getFormValue(-1, "depth", value));
    EXPECT_FALSE(page->getFormValue(0, "nosuchfield", value));
    EXPECT_EQ(value, "before");
    EXPECT_FALSE(page->setFormValue(1, "depth", "x"));
    EXPECT_FALSE(page->setFormValue(0, "nosuchfield", "x"));
    EXPECT_EQ(Control(document, 0)->Value(), "2");

    // Without live elements a field is still found but has nothing to give or take.
    page->releaseDom();
    EXPECT_FALSE(page->setFormValue(0, "depth", "7"));
    EXPECT_TRUE(page->getFormValue(0, "depth", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(Control(document, 0)->Value(), "2");
}

TEST_F(FormTest, StoredFlagsAndShownFields) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    htmlForm* form = page->getForm(0);
    ASSERT_NE(form, nullptr);

    auto* sizes = form->findElement("sizes");
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->getAttribute("multiple"), "-1");
    EXPECT_EQ(Members(*sizes, "html-form-option", "selected"), (StringArray{"0", "-1"}));

    EXPECT_FALSE(form->findElement("secret")->isShown());
    EXPECT_TRUE(form->findElement("depth")->isShown());
    htmlFormInput capitals;
    capitals.setAttribute("type", "HIDDEN");
    EXPECT_FALSE(capitals.isShown());

    // A submit button without a name or value shows its label; the loaders read no
    // id, so that is its index.
    const aggCollection* fields = form->findCollection("html-form-element");
    EXPECT_EQ(fields->getAt(fields->getChildCount() - 1)->getDisplayText(), "6 (submit)");
    EXPECT_EQ(form->findElement("depth")->getDisplayText(), "2 (text)");
}

TEST_F(FormTest, BrokenControlsAreSkippedSilently) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    Control(document, 1)->SetBroken(true);
    std::unique_ptr<htmlPage> page = LoadForms(document);
    EXPECT_EQ(Members(*page->getForm(0), "html-form-element", "index"),
              (StringArray{"0", "2", "3", "4", "5", "6"}));

    // A form that cannot be asked for its interface ends the form list.
    document->Forms().Item(0)->SetBroken(true);
    page = LoadForms(document);
    EXPECT_EQ(page->getForm(0), nullptr);
    EXPECT_EQ(page->getAttribute("title"), "Settings");
}

TEST_F(FormTest, FieldLoadersReportFailedReads) {
    const std::shared_ptr<HtmlDocument> document = site_.Load("/settings.html");
    ASSERT_TRUE(document);
    const std::shared_ptr<HtmlElement> input = Control(document, 0);
    const std::shared_ptr<HtmlElement> textArea = Control(document, 4);
    const std::shared_ptr<HtmlElement> select = Control(document, 5);
    const std::shared_ptr<HtmlElement> secondOption = select->Options().Item(1);
    const StringArray reports = {
        "htmlFormSelect::loadOptions - something bad happend",
        "htmlFormOption::load - something bad happend",
        "htmlFormInput::load - something bad happend",
        "htmlFormTextArea::load - something bad happend",
        "htmlFormSelect::load - something bad happend",
    };
    ExpectedMessageBoxes boxes;
    for (const std::string& text : reports)
        boxes.Expect(text);

    // A broken option ends the option list, keeping the ones read before it.
    secondOption->SetBroken(true);
    htmlFormSelect partial;
    partial.load(select);
    EXPECT_EQ(Members(partial, "html-form-option", "value"), StringArray{"s"});
    EXPECT_EQ(partial.getAttribute("multiple"), "-1");
    htmlFormOption option;
    option.load(secondOption);

    input->SetBroken(true);
    htmlFormInput brokenInput;
    brokenInput.load(input);
    EXPECT_EQ(brokenInput.getName(), "unk");
    textArea->SetBroken(true);
    htmlFormTextArea brokenTextArea;
    brokenTextArea.load(textArea);
    select->SetBroken(true);
    htmlFormSelect brokenSelect;
    brokenSelect.load(select);
    EXPECT_EQ(brokenSelect.findCollection("html-form-option")->getChildCount(), 0);

    EXPECT_EQ(Texts(boxes), reports);

    // A field whose live element broke after the load reports by its result alone.
    std::unique_ptr<htmlPage> page = std::make_unique<htmlPage>();
    input->SetBroken(false);
    page->load(document, true, false);
    input->SetBroken(true);
    std::string value = "before";
    EXPECT_FALSE(page->setFormValue(0, "depth", "9"));
    EXPECT_TRUE(page->getFormValue(0, "depth", value));
    EXPECT_EQ(value, "");
}

}  // namespace
