// The job that writes one view page (gallery, slide show, zoom or list page) through
// Corvane's gallery formatter, created by its class identifier.
#pragma once

#include <memory>
#include <string>

#include "engine/jobs/Job.h"
#include "platform/gdi/Gdi.h"
#include "platform/text/Text.h"

class MakeHtmlPageJob : public Job {
public:
    // Named "unknown", type name "MakeHtmlPageJob"; zoom size 0, size 0 x 0, no items.
    MakeHtmlPageJob();

    // pagePath and style replace the page path and style, items and comments are
    // appended to the item and comment lists, size is copied and the zoom size goes
    // back to 0. The creator's thread, before the job is queued.
    void SetPage(const std::string& pagePath, const std::string& style, const StringArray& items,
                 const StringArray& comments, SIZE size);
    // The same with the items as a list shared with the creator, which must never change
    // it: no copy is made here, so a creator holding the process lock hands thousands of
    // items over in one step. They are appended to the items by the body, on its own
    // thread (or by the next SetPage, which appends after them).
    void SetPage(const std::string& pagePath, const std::string& style,
                 std::shared_ptr<const StringArray> items, const StringArray& comments, SIZE size);
    // The zoom page's picture height. The creator's thread, after SetPage.
    void SetZoomSize(LONG zoomSize) { zoomSize_ = zoomSize; }

    // What the job was given; the items are relative to the page once the body has run
    // (see Run), and include a shared list's only from then on. Not while the body runs.
    LONG GetZoomSize() const { return zoomSize_; }
    SIZE GetSize() const { return size_; }
    const std::string& GetPagePath() const { return pagePath_; }
    const std::string& GetStyle() const { return style_; }
    const StringArray& GetImages() const { return images_; }
    const StringArray& GetComments() const { return comments_; }
    const StringArray& GetItemNames() const { return itemNames_; }

protected:
    ~MakeHtmlPageJob() override = default;

    // Creates the formatter (CLSCTX_ALL), runs it and asks it for IHtmlFormatter. When
    // the first item is not an HTTP URL, every occurrence of the page's folder and its
    // "\" is removed from each item, which is then trimmed and made the address of
    // that file (FilePathToAddress, engine/util/PageText.h). Then hands over, in this
    // order, the size, the style, the items, the comments, the names and the zoom size,
    // and saves the page at the page path. The first failing creation or call ends the
    // sequence (no page is saved) and leaves one trace line on "jobs"; nothing is shown.
    // Items cross joined with "," and comments joined with a tab: inside an item or a
    // name those separators would cut it in two, so an item's ",", CR and LF cross as
    // "%2C", "%0D" and "%0A" (the same address), and a name's or a comment's separators
    // as blanks. On the job's own worker thread; never with the process lock held.
    void Run() override;

private:
    // Appends the shared list to the items, when there is one.
    void TakeSharedImages();

    LONG zoomSize_ = 0;
    SIZE size_;
    std::string pagePath_;
    std::string style_;
    StringArray images_;
    std::shared_ptr<const StringArray> sharedImages_;  // appended to images_ as the body runs
    StringArray comments_;
    StringArray itemNames_;  // nothing fills it: the formatter receives an empty list
};
