// Hashing of texts that differ only in ASCII letter case as one text, for the hashed
// sets and maps of a crawl (URLs and names that come from web pages). The hash is keyed
// with a secret drawn once per process, so that a page cannot choose thousands of
// addresses that all fall into one bucket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

// The keyed hash of text with every ASCII letter taken in lower case: texts that are
// equal ignoring case hash alike. Any thread.
std::uint64_t CaseFoldedHashOf(std::string_view text);

// For unordered containers keyed by text, ignoring case (with CaseFoldedEqual).
struct CaseFoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return static_cast<std::size_t>(CaseFoldedHashOf(text));
    }
};

struct CaseFoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A hashed set of texts where texts that differ only in ASCII letter case are one.
using TextSetIgnoringCase = std::unordered_set<std::string, CaseFoldedHash, CaseFoldedEqual>;
