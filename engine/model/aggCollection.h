// A named list of model objects of one type ("contained-type"), held as a child of the
// object the members belong to. Threading as for every model object.
#pragma once

#include <string>
#include <string_view>

#include "engine/model/aggObject.h"

class aggCollection : public aggObject {
public:
    // As the factory builds it: tag "collection" and "contained-type" "unk" only, no
    // "count" (so later count updates on it are dropped).
    aggCollection();
    // Name and contained-type given, "count" "unk" until the first member arrives.
    aggCollection(const std::string& name, const std::string& containedType);

    // Appends the member (the collection owns it from then on), makes the collection's
    // own parent the member's parent and sets "count" to the number of members. True
    // for any member but null.
    bool add(aggObject* member) override;

    // Member n (0-based); null for n < 0 or n not below the number of members.
    aggObject* getAt(int n) const;
    // The first member whose name equals text ignoring case; null when none.
    aggObject* findByName(std::string_view text) const;
};
