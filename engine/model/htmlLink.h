// A link of a page ("html-link": "url") and an e-mail address found on it
// ("html-email-address", a link by another tag).
//
// Runs on the thread that owns the browser document; shows its failures in message
// boxes (the default message service records them and never blocks).
#pragma once

#include <memory>

#include "engine/model/aggObject.h"

class HtmlElement;

class htmlLink : public aggObject {
public:
    htmlLink();

    // By the element's kind: an anchor gives name and url (its href), an area or a
    // link element gives url only. Any other kind shows "htmlLink::load - unknown link
    // type"; a failing read shows "htmlLink::load - something bad happend" and ends the
    // load (what was set stays). Never throws.
    void load(const std::shared_ptr<HtmlElement>& element);
};

class htmlEmailAddress : public htmlLink {
public:
    htmlEmailAddress();
};
