// A page model shown in a tree view: every object below the page in order, labelled by
// the flags, hidden fields left out on request.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/model/aggCollection.h"
#include "engine/model/htmlPage.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/ui/TreeView.h"
#include "platform/window/Window.h"

namespace {

struct Shown {
    int depth;
    std::string text;
    bool expanded;
    const aggObject* object;
};

void Walk(HWND tree, HTREEITEM first, int depth, std::vector<Shown>* out) {
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        TVITEM read;
        read.mask = TVIF_STATE | TVIF_PARAM;
        read.hItem = item;
        read.stateMask = TVIS_EXPANDED;
        ASSERT_TRUE(TreeView_GetItem(tree, &read));
        out->push_back(Shown{depth, TreeViewText(tree, item), (read.state & TVIS_EXPANDED) != 0,
                             reinterpret_cast<const aggObject*>(read.lParam)});
        Walk(tree, TreeView_GetChild(tree, item), depth + 1, out);
    }
}

// A tree view of its own, for as long as it lives.
class TreeWindow {
public:
    TreeWindow()
        : hwnd_(
              CreateWindowEx(0, "SysTreeView32", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr)) {}
    ~TreeWindow() { DestroyWindow(hwnd_); }
    TreeWindow(const TreeWindow&) = delete;
    TreeWindow& operator=(const TreeWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// The items that root.addToTree (flags) makes in a new tree view.
std::vector<Shown> Show(aggObject& root, unsigned flags) {
    TreeWindow tree;
    EXPECT_NE(tree.Get(), nullptr);
    EXPECT_NE(root.addToTree(tree.Get(), TVI_ROOT, flags), nullptr);
    std::vector<Shown> shown;
    Walk(tree.Get(), TreeView_GetRoot(tree.Get()), 0, &shown);
    return shown;
}

std::vector<std::string> Lines(const std::vector<Shown>& shown) {
    std::vector<std::string> lines;
    for (const Shown& item : shown)
        lines.push_back(std::string(static_cast<size_t>(item.depth), ' ') + item.text);
    return lines;
}

class AggObjectTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto document = ParseHtmlDocument(
            "<form name='f'><input type='hidden' name='secret' value='s1'>"
            "<input type='text' name='q' value='find'></form>"
            "<a name='home' href='/index.htm'>home</a>",
            "http://h.x/page.htm");
        page_.load(document, true, false);
        page_.releaseDom();
    }
    htmlPage page_;
};

TEST_F(AggObjectTreeViewTest, EveryObjectBelowThePageIsAnExpandedItemLabelledByTheFlags) {
    const std::vector<Shown> display = Show(page_, TreeTextDisplay);
    EXPECT_EQ(Lines(display), (std::vector<std::string>{
                                  "http://h.x/page.htm (html-page)",
                                  " html-frames (collection)",
                                  " html-forms (collection)",
                                  "  f (html-form)",
                                  "   html-form-elements (collection)",
                                  "    s1 (hidden)",
                                  "    find (text)",
                                  " html-images (collection)",
                                  " html-links (collection)",
                                  "  home (html-link)",
                                  " html-email-addresses (collection)",
                              }));
    ASSERT_FALSE(display.empty());
    EXPECT_EQ(display[0].object, &page_);
    for (const Shown& item : display)
        EXPECT_TRUE(item.expanded) << item.text;

    EXPECT_EQ(Lines(Show(*page_.findCollection("html-link"), TreeTextTagAndName)),
              (std::vector<std::string>{"collection - html-links", " html-link - home"}));
    EXPECT_EQ(Lines(Show(*page_.findCollection("html-form"), TreeTextTagNameValue)),
              (std::vector<std::string>{
                  "collection - html-forms ()",
                  " html-form - f ()",
                  "  collection - html-form-elements ()",
                  "   html-form-input - secret (s1)",
                  "   html-form-input - q (find)",
              }));
}

TEST_F(AggObjectTreeViewTest, HiddenFieldsAreLeftOutOnRequest) {
    aggObject& forms = *page_.findCollection("html-form");
    const std::vector<std::string> shown = Lines(Show(forms, TreeTextDisplay | TreeSkipHidden));
    EXPECT_EQ(shown,
              (std::vector<std::string>{"html-forms (collection)", " f (html-form)",
                                        "  html-form-elements (collection)", "   find (text)"}));
    // A hidden object itself gives no item.
    aggObject* hidden = forms.getChildAt(0)->getChildAt(0)->getChildAt(0);
    ASSERT_NE(hidden, nullptr);
    TreeWindow tree;
    EXPECT_EQ(hidden->addToTree(tree.Get(), TVI_ROOT, TreeSkipHidden), nullptr);
    EXPECT_EQ(TreeView_GetCount(tree.Get()), 0u);
}

}  // namespace
