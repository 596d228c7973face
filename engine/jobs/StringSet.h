// A set of texts in the order they were added, where texts that differ only in ASCII
// letter case count as one: the visited URLs of a crawl, the image URLs it has seen.
// Lookup is a linear scan.
//
// Not synchronised: its holder guards it.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

class StringSet {
public:
    // Appends text and returns true, unless text is empty or equals an entry ignoring
    // case (then false, and nothing changes).
    bool AddUnique(std::string_view text);
    // AddUnique of each text, in order.
    void AddAll(const StringArray& texts);

    // Whether an entry equals text ignoring case.
    bool Contains(std::string_view text) const;
    int GetCount() const { return static_cast<int>(items_.size()); }
    // The entries in the order they were added.
    const StringArray& GetItems() const { return items_; }

private:
    StringArray items_;
};
