// One XML element held in memory: a name, a text value, owning lists of attribute
// and child nodes, and a link to the parent.
//
// Attributes are ElementNodes whose name is the attribute name and whose value is the
// attribute value. Text content is held in child nodes named "#text"; an element that
// receives a text child also carries that text as its own value.
//
// A node owns its attributes and children; deleting the root deletes the whole tree.
// The parent link owns nothing. A node is in at most one list.
//
// Not synchronised: a tree belongs to one thread at a time.
#pragma once

#include <string>
#include <utility>

#include "engine/tree/ObjectList.h"
#include "platform/base/CObject.h"
#include "platform/ui/TreeView.h"

class ElementNode : public CObject {
public:
    // Name "unk", value "", no parent.
    ElementNode();
    ElementNode(std::string name, std::string value);
    ElementNode(std::string name, std::string value, ElementNode* parent);
    ElementNode(const ElementNode&) = delete;
    ElementNode& operator=(const ElementNode&) = delete;

    // A new root (no parent) with the same name and value and a full copy of every
    // attribute; unless attributesOnly, also a full copy of every child. The caller
    // owns the copy.
    ElementNode* Clone(bool attributesOnly) const;

    // Attaches node as the last attribute (it becomes node's parent) and returns it;
    // null gives null.
    ElementNode* AddAttribute(ElementNode* node);
    ElementNode* AddAttribute(std::string name, std::string value);
    // Attaches node as the last child and returns it; null gives null. A child named
    // "#text" also makes its value this node's value, whichever form attaches it.
    ElementNode* AddChild(ElementNode* node);
    ElementNode* AddChild(std::string name, std::string value);

    std::string GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::string GetValue() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }
    ElementNode* GetParent() const { return parent_; }

    ObjectList& GetAttributes() { return attributes_; }
    const ObjectList& GetAttributes() const { return attributes_; }
    ObjectList& GetChildren() { return children_; }
    const ObjectList& GetChildren() const { return children_; }

    // A node read from a processing instruction: its name is the target, its value the
    // data. The XML writer writes such a node as a processing instruction again.
    bool IsProcessingInstruction() const { return processingInstruction_; }
    void SetProcessingInstruction(bool processingInstruction) {
        processingInstruction_ = processingInstruction;
    }

    // The name is "#text" in any case.
    bool IsText() const;
    // A "#text" node's own value; else the value of the first "#text" child; else "".
    std::string GetText() const;
    // A "#text" node takes text as its value. Otherwise the first "#text" child and
    // this node take text as their value; without such a child, a non-empty text is
    // added as a new "#text" child.
    void SetText(const std::string& text);

    // The name alone when the value is empty; else name, ": " and the value without
    // white space at either end.
    std::string ToString() const;
    // The display texts of the attributes in order, joined by one blank.
    std::string AttributesToString() const;
    // One line per node of the subtree, each ended by CR LF: three blanks and the
    // display text of the node, then six blanks and the display text of each
    // attribute, then the lines of each child. level has no effect on the layout.
    std::string DumpText(int level) const;

    // Whether the display text of this node, of an attribute or of any node below
    // contains "error" (case counts).
    bool HasError() const;
    // The same test with text in place of "error".
    bool Contains(const std::string& text) const;

    // This node when its name equals name (case counts); else the first match depth
    // first among the children (attributes are not searched); null when none.
    ElementNode* FindChild(const std::string& name);
    // This node when its own name equals name (case counts); else the first attribute
    // named name in any case; else, when recursive, the first result of the same
    // search in each child in order; else null.
    ElementNode* FindAttribute(const std::string& name, bool recursive);
    // The value attribute of an element identified by one of its attribute values:
    // this node when its name equals key (case counts); else the first attribute named
    // "value" (any case) at or after the first attribute whose value equals key in any
    // case; else, when recursive, the same search in each child in order; else null.
    ElementNode* FindNamedValue(const std::string& key, bool recursive);

    // The value of the first attribute named name (case counts); "" when none.
    std::string GetAttributeValue(const std::string& name) const;
    // FindAttribute (name, false), then its value, GetInt or GetBool; "", 0 or false
    // when nothing is found.
    std::string GetAttributeString(const std::string& name);
    int GetAttributeInt(const std::string& name);
    bool GetAttributeBool(const std::string& name);

    // The leading decimal number of the value, read as "%d" reads it (white space,
    // an optional sign, digits); 0 when there is none. A number beyond the int range
    // gives INT_MAX or INT_MIN.
    int GetInt() const;
    // The leading number of the value, read as "%g" reads it; 0 when there is none.
    // The result is always finite: beyond the float range (infinity included) it is
    // FLT_MAX or -FLT_MAX, and a "nan" gives 0.
    float GetFloat() const;
    // True for "true" or "t", false for "false" or "f" (any case); otherwise whether
    // GetInt is 1.
    bool GetBool() const;

    // These change an existing attribute found by FindAttribute (name, false), which
    // may be this node itself, and return true; without one they create nothing and
    // return false. The Int form writes "%d", Bool "true"/"false", Flag "T"/"F".
    bool SetAttribute(const std::string& name, const std::string& text);
    bool SetAttributeInt(const std::string& name, int n);
    bool SetAttributeBool(const std::string& name, bool b);
    bool SetAttributeFlag(const std::string& name, bool b);
    // SetAttribute (name, value) for each ElementNode of list in order; names this
    // node lacks are dropped.
    void SetAttributes(const ObjectList& list);

    // Makes list non-owning, then appends every node of this subtree named name (case
    // counts; "rawBytes" also collects "unknownBytes"), depth first; below a collected
    // node nothing more is collected. Attributes are never collected.
    void CollectByName(const std::string& name, ObjectList& list);

    // Shows the subtree in a tree view as the last child of parentItem (TVI_ROOT: at the
    // top level): an item whose text is the display text and whose data is the node;
    // bold, with image 0, when the node holds child elements (or holds a single text and
    // has attributes), else image 1; then the attributes' items and the items of the
    // children other than "#text" below it, which is expanded when the node has
    // attributes or children. Answers the new item, null when the tree refused it. Runs
    // on the tree view's thread.
    HTREEITEM AddToTreeCtrl(HWND tree, HTREEITEM parentItem);

private:
    bool ContainsInDisplay(const std::string& text) const;

    // Destroyed in reverse order: children, then attributes, then the strings.
    std::string name_;
    std::string value_;
    ElementNode* parent_ = nullptr;
    ObjectList attributes_{true};
    ObjectList children_{true};
    bool processingInstruction_ = false;
};
