#include "engine/model/htmlImage.h"

#include "engine/model/ModelVocabulary.h"
#include "platform/browser/HtmlElement.h"
#include "platform/com/ComError.h"
#include "platform/trace/Trace.h"

htmlImage::htmlImage() {
    setTagName(kHtmlImageTag);
    addAttribute(kUrlAttribute, kUnknownValue);
    addAttribute(kWidthAttribute, kUnknownValue);
    addAttribute(kHeightAttribute, kUnknownValue);
    addAttribute(kFileSizeAttribute, kUnknownValue);
}

void htmlImage::load(const std::shared_ptr<HtmlElement>& image) {
    try {
        if (!image)
            throw ComError(E_POINTER);
        setName(image->Name());
        setAttribute(kUrlAttribute, image->Href());
        setIntAttribute(kWidthAttribute, image->Width());
        setIntAttribute(kHeightAttribute, image->Height());
        setAttribute(kFileSizeAttribute, image->FileSize());
    } catch (const ComError& error) {
        Trace("model", "image not read: %s", error.what());
    }
}
