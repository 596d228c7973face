// A set of texts in the order they were added, where texts that differ only in ASCII
// letter case count as one: the visited URLs of a crawl, the image URLs it has seen.
// Lookup is hashed (CaseFoldedHashOf, keyed per process, so a page cannot choose
// addresses that collide), and adding n texts costs time in proportion to n.
//
// Not synchronised: its holder guards it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/Text.h"

class StringSet {
public:
    StringSet() = default;
    // A copy has entries of its own.
    StringSet(const StringSet& other);
    StringSet& operator=(const StringSet& other);
    StringSet(StringSet&&) noexcept = default;
    StringSet& operator=(StringSet&&) noexcept = default;

    // Appends text and returns true, unless text is empty or equals an entry ignoring
    // case (then false, and nothing changes).
    bool AddUnique(std::string_view text);
    bool AddUnique(std::string&& text);
    bool AddUnique(const char* text) { return AddUnique(std::string_view(text)); }
    // AddUnique of each text, in order.
    void AddAll(const StringArray& texts);
    void AddAll(StringArray&& texts);

    // Whether an entry equals text ignoring case.
    bool Contains(std::string_view text) const;
    int GetCount() const { return static_cast<int>(hashes_.size()); }
    // The entries in the order they were added.
    const StringArray& GetItems() const;
    // The entries as they are now, as one list shared with the caller instead of copied:
    // it never changes, as the set copies its entries before the next one is added.
    std::shared_ptr<const StringArray> ShareItems();

private:
    // Whether text can be added (not empty, not there yet); then its hash and slot.
    bool CanAdd(std::string_view text, std::uint64_t* hash, std::size_t* slot);
    // Appends text at slot, which CanAdd found for it.
    void Append(std::string&& text, std::uint64_t hash, std::size_t slot);
    // The slot that holds text (hashed as hash), or else the empty slot where it would
    // go. The table is never full.
    std::size_t FindSlot(std::string_view text, std::uint64_t hash) const;
    // Doubles the table and places every entry again.
    void GrowTable();

    // Null until the first entry; shared with the lists ShareItems handed out while
    // shared_ is set.
    std::shared_ptr<StringArray> items_;
    bool shared_ = false;
    std::vector<std::uint64_t> hashes_;  // the hash of each entry, in the same order
    // Open addressing with linear probing: each slot holds an entry's index + 1, or 0
    // when empty; the size is a power of two, at most half of it in use.
    std::vector<std::uint32_t> slots_;
};
