#include "engine/model/htmlFormElement.h"

#include "engine/model/LoaderMessage.h"
#include "engine/model/ModelVocabulary.h"
#include "platform/browser/HtmlElement.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

namespace {

int BrowserBoolean(bool value) {
    return value ? -1 : 0;
}

void TraceValueFailure(const char* operation, const ComError& error) {
    Trace("model", "%s on a form field failed: %s", operation, error.what());
}

}  // namespace

std::string FormLabel(const aggObject& object) {
    std::string label = ValueOrEmpty(object.getName());
    if (label.empty())
        label = ValueOrEmpty(object.getAttribute(kIdAttribute));
    if (label.empty())
        label = ValueOrEmpty(object.getAttribute(kIndexAttribute));
    return label;
}

// --- htmlFormElement ---

bool htmlFormElement::isFormElement() {
    return true;
}

bool htmlFormElement::setValue(const std::string&) {
    return true;
}

std::string htmlFormElement::getValue() {
    return "";
}

// --- htmlFormInput ---

htmlFormInput::htmlFormInput() {
    setTagName(kHtmlFormInputTag);
    addAttribute(kTypeAttribute, kUnknownValue);
    addAttribute(kValueAttribute, kUnknownValue);
}

std::string htmlFormInput::getDisplayText() {
    std::string shown = getAttribute(kValueAttribute);
    if (shown.empty())
        shown = FormLabel(*this);
    return shown + " (" + getAttribute(kTypeAttribute) + ")";
}

bool htmlFormInput::isShown() {
    return !isHidden();
}

void htmlFormInput::releaseDom() {
    inputElement_.reset();
}

bool htmlFormInput::setValue(const std::string& text) {
    if (!inputElement_)
        return false;
    try {
        if (isCheckbox() || isRadio())
            inputElement_->SetChecked(EqualsNoCase(text, "true"));
        else
            inputElement_->SetValue(text);
    } catch (const ComError& error) {
        TraceValueFailure("setValue", error);
        return false;
    }
    return true;
}

std::string htmlFormInput::getValue() {
    if (!inputElement_)
        return "";
    try {
        if (isCheckbox() || isRadio())
            return inputElement_->Checked() ? "true" : "false";
        return inputElement_->Value();
    } catch (const ComError& error) {
        TraceValueFailure("getValue", error);
        return "";
    }
}

void htmlFormInput::load(const std::shared_ptr<HtmlElement>& input) {
    try {
        if (!input)
            throw ComError(E_POINTER);
        inputElement_ = input;
        setName(input->Name());
        setAttribute(kTypeAttribute, input->Type());
        setAttribute(kValueAttribute, input->Value());
    } catch (const ComError&) {
        ShowLoaderMessage("htmlFormInput::load - something bad happend");
    }
}

bool htmlFormInput::isHidden() const {
    return EqualsNoCase(getAttribute(kTypeAttribute), kHiddenType);
}

bool htmlFormInput::isCheckbox() const {
    return EqualsNoCase(getAttribute(kTypeAttribute), kCheckboxType);
}

bool htmlFormInput::isRadio() const {
    return EqualsNoCase(getAttribute(kTypeAttribute), kRadioType);
}

// --- htmlFormTextArea ---

htmlFormTextArea::htmlFormTextArea() {
    setTagName(kHtmlFormTextAreaTag);
    addAttribute(kTypeAttribute, kUnknownValue);
    addAttribute(kValueAttribute, kUnknownValue);
}

void htmlFormTextArea::releaseDom() {
    textAreaElement_.reset();
}

bool htmlFormTextArea::setValue(const std::string& text) {
    if (!textAreaElement_)
        return false;
    try {
        textAreaElement_->SetValue(text);
    } catch (const ComError& error) {
        TraceValueFailure("setValue", error);
        return false;
    }
    return true;
}

std::string htmlFormTextArea::getValue() {
    if (!textAreaElement_)
        return "";
    try {
        return textAreaElement_->Value();
    } catch (const ComError& error) {
        TraceValueFailure("getValue", error);
        return "";
    }
}

void htmlFormTextArea::load(const std::shared_ptr<HtmlElement>& textArea) {
    try {
        if (!textArea)
            throw ComError(E_POINTER);
        textAreaElement_ = textArea;
        setName(textArea->Name());
        setAttribute(kTypeAttribute, textArea->Type());
        setAttribute(kValueAttribute, textArea->Value());
    } catch (const ComError&) {
        ShowLoaderMessage("htmlFormTextArea::load - something bad happend");
    }
}

// --- htmlFormSelect ---

htmlFormSelect::htmlFormSelect() {
    setTagName(kHtmlFormSelectTag);
    addAttribute(kTypeAttribute, kUnknownValue);
    addAttribute(kValueAttribute, kUnknownValue);
    addAttribute(kMultipleAttribute, kUnknownValue);
    addAttribute(kSelectedIndexAttribute, kUnknownValue);
    addCollection(kHtmlFormOptionsCollection, kHtmlFormOptionTag);
}

void htmlFormSelect::releaseDom() {
    selectElement_.reset();
}

bool htmlFormSelect::setValue(const std::string& text) {
    if (!selectElement_)
        return false;
    try {
        selectElement_->SetValue(text);
    } catch (const ComError& error) {
        TraceValueFailure("setValue", error);
        return false;
    }
    return true;
}

std::string htmlFormSelect::getValue() {
    if (!selectElement_)
        return "";
    try {
        return selectElement_->Value();
    } catch (const ComError& error) {
        TraceValueFailure("getValue", error);
        return "";
    }
}

void htmlFormSelect::load(const std::shared_ptr<HtmlElement>& select) {
    try {
        if (!select)
            throw ComError(E_POINTER);
        setName(select->Name());
        setAttribute(kTypeAttribute, select->Type());
        setAttribute(kValueAttribute, select->Value());
        setIntAttribute(kMultipleAttribute, BrowserBoolean(select->Multiple()));
        setIntAttribute(kSelectedIndexAttribute, select->SelectedIndex());
    } catch (const ComError&) {
        ShowLoaderMessage("htmlFormSelect::load - something bad happend");
        return;
    }
    loadOptions(select);
}

void htmlFormSelect::loadOptions(const std::shared_ptr<HtmlElement>& select) {
    try {
        if (!select)
            throw ComError(E_POINTER);
        selectElement_ = select;
        const HtmlElementCollection options = select->Options();
        for (LONG i = 0; i < options.Length(); ++i) {
            const std::shared_ptr<HtmlElement> element = options.Item(i);
            if (element->Kind() != HtmlElementKind::Option)
                throw ComError(E_NOINTERFACE);
            auto option = std::make_unique<htmlFormOption>();
            option->load(element);
            option->setIndex(i);
            if (add(option.get()))
                option.release();
        }
    } catch (const ComError&) {
        ShowLoaderMessage("htmlFormSelect::loadOptions - something bad happend");
    }
}

// --- htmlFormOption ---

htmlFormOption::htmlFormOption() {
    setTagName(kHtmlFormOptionTag);
    addAttribute(kTextAttribute, kUnknownValue);
    addAttribute(kValueAttribute, kUnknownValue);
    addAttribute(kSelectedAttribute, kUnknownValue);
}

std::string htmlFormOption::getDisplayText() {
    return getAttribute(kTextAttribute) + " (" + getTagName() + ")";
}

void htmlFormOption::load(const std::shared_ptr<HtmlElement>& option) {
    try {
        if (!option)
            throw ComError(E_POINTER);
        setAttribute(kTextAttribute, option->Text());
        setAttribute(kValueAttribute, option->Value());
        setIntAttribute(kSelectedAttribute, BrowserBoolean(option->Selected()));
    } catch (const ComError&) {
        ShowLoaderMessage("htmlFormOption::load - something bad happend");
    }
}
