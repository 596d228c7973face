// The base of every object of the page document model.
//
// A model object keeps its data in one embedded element node: the node's name is the
// object's tag, its attributes are the object's declared properties (text values, in
// declaration order). Every object declares "name", "id" and "index" first, all "unk";
// each class then declares its own. Setting an attribute that was not declared does
// nothing. An object owns its children through an owning list; lists of like objects
// live in named collections (aggCollection) among the children, found by tag when an
// object is added, never through stored pointers.
//
// Ownership: whoever creates a root owns it and deletes it; children belong to their
// parent's list. Objects that mirror a live browser object hold it until releaseDom;
// call releaseDom before a model leaves the browser's thread.
//
// Threading: a model belongs to one thread at a time and takes no locks; while it holds
// browser objects, that is the browser's UI thread. Nothing here throws.
#pragma once

#include <memory>
#include <string>

#include "engine/tree/ElementNode.h"
#include "engine/tree/ObjectList.h"
#include "platform/base/CObject.h"

class aggCollection;

// The flags of aggObject::addToTree: one text kind, and whether hidden objects are left
// out.
enum TreeItemText : unsigned {
    TreeTextDisplay = 0,       // getDisplayText
    TreeTextTagAndName = 1,    // the tag, " - " and the name
    TreeTextTagNameValue = 2,  // the tag, " - ", the name, " (", the value and ")"
    TreeTextKinds = 3,         // the bits of the text kind
    TreeSkipHidden = 0x10,     // objects whose isShown is false are left out
};

class aggObject : public CObject {
public:
    aggObject();
    // Deletes the children.
    ~aggObject() override;
    aggObject(const aggObject&) = delete;
    aggObject& operator=(const aggObject&) = delete;

    // The text a display shows: the name, " (", the tag and ")".
    virtual std::string getDisplayText();
    // Whether a display lists the object; true here.
    virtual bool isShown();
    // Makes this object the child's parent and appends the child, which this object
    // owns from then on. A null child is ignored.
    virtual void addChild(aggObject* child);
    // addToCollection (child, the child's tag).
    virtual bool add(aggObject* child);
    // Puts the child into the collection of this object (searched deep) whose name or
    // contained-type equals key, ignoring case. True: the collection owns the child.
    // False (no such collection, or a null child): nothing holds the child, its parent
    // is null, and the caller still owns it and must delete it.
    virtual bool addToCollection(aggObject* child, const std::string& key);
    // Inserts this object as the last item under parentItem of the tree view (TVI_ROOT
    // for the top), its item's data this object, then its children below it in order,
    // and expands the item. The item's text is chosen by flags (TreeItemText, below).
    // With TreeSkipHidden an object whose isShown is false is left out with its
    // children. Returns the new item; null when it was left out or could not be made.
    // On the tree view's thread.
    virtual HTREEITEM addToTree(HWND tree, HTREEITEM parentItem, unsigned flags);
    // Lets go of every live browser object held here and below.
    virtual void releaseDom();
    // Copies the element's attributes into the declared attributes of the same names
    // (others are dropped), then builds a model object for each child element through
    // the factory and appends it with addChild; children whose tag the factory does not
    // know are skipped with their subtree. A null element changes nothing.
    virtual void loadFromElement(ElementNode* element);
    // loadFromElement on the root of the XML text; text that does not parse changes
    // nothing.
    virtual void loadFromText(const std::string& text);
    virtual bool isFormElement();
    virtual bool isForm();

    std::string getTagName() const;
    void setTagName(const std::string& tag);

    // The value of the declared attribute named name (ignoring case); "" when none.
    std::string getAttribute(const std::string& name) const;
    // Changes a declared attribute; false (and nothing changes) when it is not declared.
    bool setAttribute(const std::string& name, const std::string& text);
    // setAttribute with the number written as "%d".
    bool setIntAttribute(const std::string& name, int number);
    // Declares (appends) an attribute.
    void addAttribute(const std::string& name, const std::string& value);

    std::string getName() const;
    void setName(const std::string& text);
    void setIndex(int n);

    aggObject* getParent() const { return parent_; }
    void setParent(aggObject* parent) { parent_ = parent; }
    int getChildCount() const { return children_.GetCount(); }
    // The child at index; null outside 0 .. getChildCount() - 1.
    aggObject* getChildAt(int index) const;
    // The embedded node (tag and attributes; it has no children of its own).
    const ElementNode& getNode() const { return node_; }

    // The first direct child tagged "collection" whose "contained-type" equals type
    // (ignoring case); null when none.
    aggCollection* findCollection(const std::string& type) const;
    // Ignoring case: this object when its tag is tag and its name is key; else the
    // first direct child, in order, whose tag is tag and whose name is key, or that is a
    // collection whose contained-type is key; else, when deep, the first result of the
    // same search on each child in order; else null.
    aggObject* findChild(const std::string& tag, const std::string& key, bool deep) const;
    // Deletes every child.
    void clearChildren();
    // No parent, tag "unk", attributes "name", "id", "index" only, all "unk".
    void reset();

    // A new tree (owned by the caller): a copy of the node; when deep, with the trees of
    // all children below it, in order.
    std::unique_ptr<ElementNode> toElementTree(bool deep) const;
    // The XML text of toElementTree (deep), with the XML header and an indent of one
    // blank.
    std::string toXmlText(bool deep) const;
    // A new object rebuilt from toXmlText (deep) through the factory; null when the
    // factory has no class for this tag. Members whose tags the factory does not know
    // (frames, images, links, e-mail addresses) are not carried over.
    std::unique_ptr<aggObject> clone(bool deep) const;

protected:
    // Declares a collection of that name and member tag as the next child.
    void addCollection(const std::string& name, const std::string& containedType);

private:
    ElementNode* findDeclared(const std::string& name) const;

    aggObject* parent_ = nullptr;
    ElementNode node_;
    // Destroyed first: the children go before the node.
    ObjectList children_{true};
};
