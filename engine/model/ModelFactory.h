// Model objects by tag, and model objects rebuilt from element trees and XML text.
//
// The factory knows the page's collections and forms, the page and site, and the
// project and diagram classes; frames, images, links and e-mail addresses have no
// entry, so they are never rebuilt from a tree. Tags are compared exactly. Safe on any
// thread; nothing here throws.
#pragma once

#include <memory>
#include <string>

#include "engine/model/aggObject.h"
#include "engine/tree/ElementNode.h"

// A new empty object (with the collections its class creates) for tag; null for a tag
// without a class.
std::unique_ptr<aggObject> CreateModelObject(const std::string& tag);

// The object for element's name with the collections and members that the element's
// own children describe and the element's values of its declared attributes; null for
// a null element or a tag without a class.
std::unique_ptr<aggObject> CreateModelFromElement(ElementNode* element);

// CreateModelFromElement on the root of the XML text; null when the text does not parse
// or its root has no class.
std::unique_ptr<aggObject> LoadModelText(const std::string& text);
