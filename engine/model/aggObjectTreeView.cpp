// A model object and its children shown in a tree view.
#include "engine/model/ModelVocabulary.h"
#include "engine/model/aggObject.h"

HTREEITEM aggObject::addToTree(HWND tree, HTREEITEM parentItem, unsigned flags) {
    if ((flags & TreeSkipHidden) != 0 && !isShown())
        return nullptr;
    std::string text;
    switch (flags & TreeTextKinds) {
        case TreeTextTagAndName:
            text = getTagName() + " - " + getName();
            break;
        case TreeTextTagNameValue:
            text = getTagName() + " - " + getName() + " (" + getAttribute(kValueAttribute) + ")";
            break;
        default:
            text = getDisplayText();
            break;
    }
    TVINSERTSTRUCT insert;
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = text.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(this);
    HTREEITEM item = TreeView_InsertItem(tree, &insert);
    if (item == nullptr)
        return nullptr;
    for (int i = 0; i < getChildCount(); ++i) {
        if (aggObject* child = getChildAt(i))
            child->addToTree(tree, item, flags);
    }
    TreeView_Expand(tree, item, TVE_EXPAND);
    return item;
}
