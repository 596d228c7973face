// The state and behaviour of one HtmlFormatter object, without its COM shell: the
// lists of items, comments and names collected from the caller, the title, the style
// name and the sizes, and the save that writes the page from them.
//
// One object is used by one thread at a time (the COM object is apartment-threaded);
// there is no locking. Texts are UTF-8. No member throws except for lack of memory,
// and save throws nothing at all.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

class HtmlFormatterState {
public:
    const std::string& style() const { return style_; }
    // Any text is accepted; save decides what it names.
    void setStyle(std::string_view style) { style_ = style; }

    // The offered style names joined by ","; kept as the styles text. The style is
    // not changed.
    const std::string& styles();

    const std::string& title() const { return title_; }
    void setTitle(std::string_view title) { title_ = title; }

    // Appends the pieces of urls split at line feed, carriage return and ",";
    // empty pieces are dropped.
    void addImages(std::string_view urls);
    // The same for names.
    void addNames(std::string_view names);
    // Appends the pieces of comments split at tab, line feed and carriage return, so a
    // comment may hold ","; empty pieces are dropped.
    void addComments(std::string_view comments);

    // Stores both; the cy given here is replaced by the zoom size at every save.
    void size(int cx, int cy);
    void setZoomSize(int zoomSize) { zoomSize_ = zoomSize; }

    // Copies the zoom size over cy and writes the whole page for the current style to
    // path (a system path) from everything collected so far. Returns true when the page
    // (and for the File style its ".txt" file) was written; false when the target
    // could not be created or a write failed. Never throws.
    bool save(std::string_view path) noexcept;

    const StringArray& images() const { return images_; }
    const StringArray& comments() const { return comments_; }
    const StringArray& names() const { return names_; }
    int cx() const { return cx_; }
    int cy() const { return cy_; }
    int zoomSize() const { return zoomSize_; }

private:
    std::string style_ = "All";
    std::string stylesText_;
    // Only ever appended to.
    StringArray images_;
    StringArray comments_;
    StringArray names_;
    std::string title_ = "All";
    int cx_ = 0;
    int cy_ = 0;
    int zoomSize_ = 0;
};
