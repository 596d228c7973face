#include "formatter/styles/HtmlFormatterState.h"

#include <exception>

#include "engine/util/StringArrays.h"
#include "formatter/styles/PageStyles.h"
#include "platform/trace/Trace.h"

namespace {

constexpr int kCommentListMode = 1;  // tab, line feed, carriage return
constexpr int kItemListMode = 2;     // line feed, carriage return, ","

}  // namespace

const std::string& HtmlFormatterState::styles() {
    stylesText_ = JoinWithCommas(OfferedStyles());
    return stylesText_;
}

void HtmlFormatterState::addImages(std::string_view urls) {
    SplitText(urls, images_, kItemListMode);
}

void HtmlFormatterState::addNames(std::string_view names) {
    SplitText(names, names_, kItemListMode);
}

void HtmlFormatterState::addComments(std::string_view comments) {
    SplitText(comments, comments_, kCommentListMode);
}

void HtmlFormatterState::size(int cx, int cy) {
    cx_ = cx;
    cy_ = cy;
}

bool HtmlFormatterState::save(std::string_view path) noexcept {
    try {
        cy_ = zoomSize_;
        if (SavePageInStyle(images_, comments_, names_, title_, style_, path, {cx_, cy_})) {
            return true;
        }
        Trace("formatter", "save: the %s page %.*s was not written", style_.c_str(),
              static_cast<int>(path.size()), path.data());
    } catch (const std::exception& error) {
        Trace("formatter", "save: %s", error.what());
    } catch (...) {
        Trace("formatter", "save: unknown exception");
    }
    return false;
}
