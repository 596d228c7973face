#include "engine/model/htmlForm.h"

#include "engine/model/ModelVocabulary.h"
#include "engine/model/aggCollection.h"
#include "engine/model/htmlFormElement.h"
#include "platform/browser/HtmlElement.h"
#include "platform/com/ComError.h"
#include "platform/trace/Trace.h"

namespace {

// Loads a new field of type Field from element and files it under the form; a field
// that finds no collection is dropped.
template <class Field>
void AddField(htmlForm& form, const std::shared_ptr<HtmlElement>& element, int index) {
    auto field = std::make_unique<Field>();
    field->load(element);
    field->setIndex(index);
    if (form.addToCollection(field.get(), kHtmlFormElementTag))
        field.release();
}

}  // namespace

htmlForm::htmlForm() {
    setTagName(kHtmlFormTag);
    addAttribute(kTargetAttribute, kUnknownValue);
    addCollection(kHtmlFormElementsCollection, kHtmlFormElementTag);
}

std::string htmlForm::getDisplayText() {
    return FormLabel(*this) + " (" + getTagName() + ")";
}

void htmlForm::releaseDom() {
    formElement_.reset();
    aggObject::releaseDom();
}

bool htmlForm::isForm() {
    return true;
}

void htmlForm::load(const std::shared_ptr<HtmlElement>& form) {
    try {
        if (!form)
            throw ComError(E_POINTER);
        setAttribute(kTargetAttribute, form->Target());
        setName(form->Name());
    } catch (const ComError& error) {
        Trace("model", "form not read: %s", error.what());
        return;
    }
    loadElements(form);
}

void htmlForm::loadElements(const std::shared_ptr<HtmlElement>& form) {
    formElement_ = form;
    HtmlElementCollection controls;
    try {
        if (!form)
            throw ComError(E_POINTER);
        controls = form->Elements();
    } catch (const ComError& error) {
        Trace("model", "form controls not read: %s", error.what());
        return;
    }
    for (LONG i = 0; i < controls.Length(); ++i) {
        try {
            const std::shared_ptr<HtmlElement> control = controls.Item(i);
            const HtmlElementKind kind = control->Kind();
            if (kind == HtmlElementKind::Input)
                AddField<htmlFormInput>(*this, control, i);
            if (kind == HtmlElementKind::Select)
                AddField<htmlFormSelect>(*this, control, i);
            if (kind == HtmlElementKind::TextArea)
                AddField<htmlFormTextArea>(*this, control, i);
        } catch (const ComError& error) {
            Trace("model", "form control %d skipped: %s", static_cast<int>(i), error.what());
        }
    }
}

htmlFormElement* htmlForm::findElement(const std::string& fieldName) const {
    const aggCollection* fields = findCollection(kHtmlFormElementTag);
    if (fields == nullptr)
        return nullptr;
    return dynamic_cast<htmlFormElement*>(fields->findByName(fieldName));
}

bool htmlForm::setElementValue(const std::string& fieldName, const std::string& text) {
    htmlFormElement* field = findElement(fieldName);
    return field != nullptr && field->setValue(text);
}

bool htmlForm::getElementValue(const std::string& fieldName, std::string& result) {
    htmlFormElement* field = findElement(fieldName);
    if (field == nullptr)
        return false;
    result = field->getValue();
    return true;
}
