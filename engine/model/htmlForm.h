// A form of a page ("html-form": "target"), its fields in the collection
// "html-form-elements", and access to their live values by field name.
//
// Loading and the value operations run on the thread that owns the browser document.
// The form readers swallow failed reads silently; nothing here throws.
#pragma once

#include <memory>
#include <string>

#include "engine/model/aggObject.h"

class HtmlElement;
class htmlFormElement;

class htmlForm : public aggObject {
public:
    htmlForm();

    // The label (name, else id, else index), " (", the tag and ")".
    std::string getDisplayText() override;
    // Lets go of the form element, then of every field's element.
    void releaseDom() override;
    bool isForm() override;

    // target, name, then loadElements; a failing read ends the load.
    void load(const std::shared_ptr<HtmlElement>& form);
    // Keeps the form element; for each of its controls in order, an input, select or
    // text area becomes a field indexed by its position among all the controls
    // (skipped ones counted); other controls are skipped. A control that cannot be
    // read is skipped.
    void loadElements(const std::shared_ptr<HtmlElement>& form);

    // The first field whose name equals fieldName ignoring case; null when none.
    htmlFormElement* findElement(const std::string& fieldName) const;
    // setValue (text) on the found field; false when there is none.
    bool setElementValue(const std::string& fieldName, const std::string& text);
    // When the field is found: result := its getValue, true. Else false, result untouched.
    bool getElementValue(const std::string& fieldName, std::string& result);

private:
    std::shared_ptr<HtmlElement> formElement_;
};
