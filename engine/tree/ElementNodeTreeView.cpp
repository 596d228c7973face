// ElementNode shown in a tree view.
#include "engine/tree/ElementNode.h"

namespace {

ElementNode* NodeAt(const ObjectList& list, int index) {
    return dynamic_cast<ElementNode*>(list.GetAt(index));
}

}  // namespace

HTREEITEM ElementNode::AddToTreeCtrl(HWND tree, HTREEITEM parentItem) {
    bool structured = false;
    if (children_.GetCount() == 1 && NodeAt(children_, 0) && NodeAt(children_, 0)->IsText())
        structured = attributes_.GetCount() > 0;
    else if (children_.GetCount() > 0)
        structured = true;
    const bool bold = structured;

    std::string text = ToString();
    TVINSERTSTRUCT insert;
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = text.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(this);
    insert.item.iImage = structured ? 0 : 1;
    insert.item.iSelectedImage = insert.item.iImage;
    if (bold) {
        insert.item.mask |= TVIF_STATE;
        insert.item.state = TVIS_BOLD;
        insert.item.stateMask = TVIS_BOLD;
    }
    HTREEITEM item = TreeView_InsertItem(tree, &insert);
    if (item == nullptr)
        return nullptr;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        if (ElementNode* attribute = NodeAt(attributes_, i))
            attribute->AddToTreeCtrl(tree, item);
    }
    for (int i = 0; i < children_.GetCount(); ++i) {
        ElementNode* child = NodeAt(children_, i);
        if (child != nullptr && !child->IsText())
            child->AddToTreeCtrl(tree, item);
    }
    if (children_.GetCount() > 0 || attributes_.GetCount() > 0)
        TreeView_Expand(tree, item, TVE_EXPAND);
    return item;
}
