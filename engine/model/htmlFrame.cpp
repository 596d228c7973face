#include "engine/model/htmlFrame.h"

#include "engine/model/ModelVocabulary.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlWindow.h"
#include "platform/com/ComError.h"
#include "platform/trace/Trace.h"

htmlFrame::htmlFrame() {
    setTagName(kHtmlFrameTag);
    addAttribute(kUrlAttribute, kUnknownValue);
}

void htmlFrame::load(const std::shared_ptr<HtmlWindow>& window) {
    try {
        if (!window)
            throw ComError(E_POINTER);
        setName(window->Name());
        setAttribute(kUrlAttribute, window->Document()->Url());
    } catch (const ComError& error) {
        Trace("model", "frame not read: %s", error.what());
    }
}
