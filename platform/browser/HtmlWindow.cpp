#include "platform/browser/HtmlWindow.h"

#include "platform/com/ComError.h"

HtmlWindow::HtmlWindow(std::string name, std::shared_ptr<HtmlDocument> document)
    : name_(std::move(name)), document_(std::move(document)) {}

std::string HtmlWindow::Name() const {
    if (broken_)
        throw ComError(E_FAIL);
    return name_;
}

std::shared_ptr<HtmlDocument> HtmlWindow::Document() const {
    if (broken_)
        throw ComError(E_FAIL);
    return document_;
}
