// The fields of a form: input fields, text areas and select lists (htmlFormElement
// and its three kinds), and the options of a select list.
//
// A field stays bound to its live browser element: setValue and getValue go to that
// element, never to the stored "value" attribute, so a value the user typed after the
// load is read as it stands now. Loading and the value operations run on the thread
// that owns the browser document. Loaders report a failed read in a message box (the
// default message service records it and never blocks); nothing here throws.
#pragma once

#include <memory>
#include <string>

#include "engine/model/aggObject.h"

class HtmlElement;

// The label of a form or field: its name, else its id, else its index, each taken
// through ValueOrEmpty (so "unk" counts as empty).
std::string FormLabel(const aggObject& object);

// The common base of the three field kinds; never built by itself.
class htmlFormElement : public aggObject {
public:
    bool isFormElement() override;
    // Sets the live element's value (a check box or radio button is checked by "true"
    // in any case and cleared by any other text). False when no live element is held
    // or it cannot be written; true here.
    virtual bool setValue(const std::string& text);
    // The live element's value ("true"/"false" for check boxes and radio buttons); ""
    // when no live element is held or it cannot be read; "" here.
    virtual std::string getValue();

protected:
    htmlFormElement() = default;
};

// "html-form-input": "type", "value"; any input element, of every type.
class htmlFormInput : public htmlFormElement {
public:
    htmlFormInput();

    // The value when it is not empty ("unk" shows as it stands), else the label; then
    // " (", the type and ")".
    std::string getDisplayText() override;
    // False for type "hidden" in any case.
    bool isShown() override;
    void releaseDom() override;
    bool setValue(const std::string& text) override;
    std::string getValue() override;

    // Keeps the element; name, type, value. A failing read shows "htmlFormInput::load -
    // something bad happend" and ends the load.
    void load(const std::shared_ptr<HtmlElement>& input);

    // The type attribute against "hidden", "checkbox", "radio", ignoring case.
    bool isHidden() const;
    bool isCheckbox() const;
    bool isRadio() const;

private:
    std::shared_ptr<HtmlElement> inputElement_;
};

// "html-form-textarea": "type", "value".
class htmlFormTextArea : public htmlFormElement {
public:
    htmlFormTextArea();

    void releaseDom() override;
    bool setValue(const std::string& text) override;
    std::string getValue() override;

    // Keeps the element; name, type, value. A failing read shows
    // "htmlFormTextArea::load - something bad happend" and ends the load.
    void load(const std::shared_ptr<HtmlElement>& textArea);

private:
    std::shared_ptr<HtmlElement> textAreaElement_;
};

// "html-form-select": "type", "value", "multiple", "selectedIndex"; its options in the
// collection "html-form-options".
class htmlFormSelect : public htmlFormElement {
public:
    htmlFormSelect();

    // Lets go of its own element only (the options hold none).
    void releaseDom() override;
    // Selects the first option with that value (none when no option has it).
    bool setValue(const std::string& text) override;
    std::string getValue() override;

    // name, type, value, multiple (-1 or 0) and selectedIndex ("%d"), then
    // loadOptions. A failing read shows "htmlFormSelect::load - something bad happend"
    // and ends the load.
    void load(const std::shared_ptr<HtmlElement>& select);
    // Keeps the element; one htmlFormOption per option, indexed by position. A failing
    // read shows "htmlFormSelect::loadOptions - something bad happend" and ends the
    // loop; options read so far stay.
    void loadOptions(const std::shared_ptr<HtmlElement>& select);

private:
    std::shared_ptr<HtmlElement> selectElement_;
};

// "html-form-option": "text", "value", "selected"; holds no browser object.
class htmlFormOption : public aggObject {
public:
    htmlFormOption();

    // The text, " (", the tag and ")".
    std::string getDisplayText() override;

    // text, value, selected (-1 or 0). A failing read shows "htmlFormOption::load -
    // something bad happend" and ends the load.
    void load(const std::shared_ptr<HtmlElement>& option);
};
