// The seam between a live document and whatever shows it: told of every change made to
// the document through its own calls, so that a presentation can replay them on the
// page it shows. Loaders and HtmlDocument::ReplaceFromHtml (the presentation's own
// serialised page coming back) tell it nothing.
//
// Threading: called on the document's thread, inside the call that made the change.
// An observer must not destroy the document or the element it is told about.
#pragma once

#include <string>

class HtmlDocument;
class HtmlElement;

class HtmlDocumentObserver {
public:
    virtual ~HtmlDocumentObserver() = default;
    // Close replaced the content with what Write collected.
    virtual void OnDocumentWritten(HtmlDocument& document) = 0;
    // A markup attribute was set.
    virtual void OnAttributeSet(HtmlElement& element, const std::string& name,
                                const std::string& value) = 0;
    // The element's content was replaced (its text or inner HTML).
    virtual void OnContentChanged(HtmlElement& element) = 0;
    // A form control's live value, checked state or selection was set.
    virtual void OnValueChanged(HtmlElement& element) = 0;
    // designMode was set to mode (also when it was that already).
    virtual void OnDesignModeChanged(HtmlDocument& document, const std::string& mode) = 0;
};
