#include "engine/model/htmlLink.h"

#include "engine/model/LoaderMessage.h"
#include "engine/model/ModelVocabulary.h"
#include "platform/browser/HtmlElement.h"
#include "platform/com/ComError.h"

htmlLink::htmlLink() {
    setTagName(kHtmlLinkTag);
    addAttribute(kUrlAttribute, kUnknownValue);
}

void htmlLink::load(const std::shared_ptr<HtmlElement>& element) {
    try {
        if (!element)
            throw ComError(E_POINTER);
        switch (element->Kind()) {
            case HtmlElementKind::Anchor:
                setName(element->Name());
                setAttribute(kUrlAttribute, element->Href());
                break;
            case HtmlElementKind::Area:
            case HtmlElementKind::Link:
                setAttribute(kUrlAttribute, element->Href());
                break;
            default:
                ShowLoaderMessage("htmlLink::load - unknown link type");
                break;
        }
    } catch (const ComError&) {
        ShowLoaderMessage("htmlLink::load - something bad happend");
    }
}

htmlEmailAddress::htmlEmailAddress() {
    setTagName(kHtmlEmailAddressTag);
}
