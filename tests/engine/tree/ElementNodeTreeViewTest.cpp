#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tree/ElementNode.h"
#include "platform/ui/TreeView.h"

namespace {

struct Shown {
    int depth;
    std::string text;
    int image;
    bool bold;
    bool expanded;
    const ElementNode* node;
};

void Walk(HWND tree, HTREEITEM first, int depth, std::vector<Shown>* out) {
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        TVITEM read;
        read.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
        read.hItem = item;
        read.stateMask = TVIS_BOLD | TVIS_EXPANDED;
        ASSERT_TRUE(TreeView_GetItem(tree, &read));
        EXPECT_EQ(read.iImage, read.iSelectedImage);
        out->push_back(Shown{depth, TreeViewText(tree, item), read.iImage,
                             (read.state & TVIS_BOLD) != 0, (read.state & TVIS_EXPANDED) != 0,
                             reinterpret_cast<const ElementNode*>(read.lParam)});
        Walk(tree, TreeView_GetChild(tree, item), depth + 1, out);
    }
}

TEST(ElementNodeTreeViewTest, TheSubtreeBecomesItemsWithBoldStructuredNodesAndTextLeaves) {
    HWND owner = CreateWindowEx(0, "SysTreeView32", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    // <site name="a"><page url="u"><title>Home</title></page><empty/><note k="v">x</note></site>,
    // the text child named "#TEXT"
    ElementNode root("site", "");
    root.AddAttribute("name", "a");
    ElementNode* page = root.AddChild("page", "");
    page->AddAttribute("url", "u");
    page->AddChild("title", "")->AddChild("#text", "Home");
    root.AddChild("empty", "");
    ElementNode* note = root.AddChild("note", "");
    note->AddAttribute("k", "v");
    note->AddChild("#TEXT", "x");

    HTREEITEM top = root.AddToTreeCtrl(owner, TVI_ROOT);
    ASSERT_NE(nullptr, top);
    std::vector<Shown> shown;
    Walk(owner, TreeView_GetRoot(owner), 0, &shown);

    const std::vector<Shown> expected = {
        {0, "site", 0, true, true, &root},
        {1, "name: a", 1, false, false, nullptr},
        {1, "page", 0, true, true, page},
        {2, "url: u", 1, false, false, nullptr},
        {2, "title: Home", 1, false, true, nullptr},  // a lone text: plain, yet expanded
        {1, "empty", 1, false, false, nullptr},
        {1, "note", 0, true, true, note},  // a text ("#TEXT", any case) with attributes: structured
        {2, "k: v", 1, false, false, nullptr},
    };
    ASSERT_EQ(expected.size(), shown.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].depth, shown[i].depth) << i;
        EXPECT_EQ(expected[i].text, shown[i].text) << i;
        EXPECT_EQ(expected[i].image, shown[i].image) << i;
        EXPECT_EQ(expected[i].bold, shown[i].bold) << i;
        EXPECT_EQ(expected[i].expanded, shown[i].expanded) << i;
        if (expected[i].node != nullptr) {
            EXPECT_EQ(expected[i].node, shown[i].node) << i;
        }
    }
    EXPECT_EQ(8u, TreeView_GetCount(owner));
    // A second tree goes after the first at the top level.
    ElementNode other("other", "");
    other.AddToTreeCtrl(owner, TVI_ROOT);
    EXPECT_EQ("other", TreeViewText(owner, TreeView_GetNextSibling(owner, top)));
    EXPECT_EQ(nullptr, root.AddToTreeCtrl(owner, reinterpret_cast<HTREEITEM>(9999)));
    DestroyWindow(owner);
    EXPECT_EQ(nullptr, root.AddToTreeCtrl(owner, TVI_ROOT));
}

}  // namespace
