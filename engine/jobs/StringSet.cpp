#include "engine/jobs/StringSet.h"

#include <algorithm>
#include <utility>

#include "engine/util/CaseFoldedHash.h"

namespace {

// Visited sets grow by at least this many entries at a time.
constexpr std::size_t kGrowthStep = 1000;
constexpr std::size_t kFirstTableSize = 64;

}  // namespace

StringSet::StringSet(const StringSet& other)
    : items_(other.items_ == nullptr ? nullptr : std::make_shared<StringArray>(*other.items_)),
      hashes_(other.hashes_),
      slots_(other.slots_) {}

StringSet& StringSet::operator=(const StringSet& other) {
    if (this != &other)
        *this = StringSet(other);
    return *this;
}

bool StringSet::AddUnique(std::string_view text) {
    std::uint64_t hash = 0;
    std::size_t slot = 0;
    if (!CanAdd(text, &hash, &slot))
        return false;
    Append(std::string(text), hash, slot);
    return true;
}

bool StringSet::AddUnique(std::string&& text) {
    std::uint64_t hash = 0;
    std::size_t slot = 0;
    if (!CanAdd(text, &hash, &slot))
        return false;
    Append(std::move(text), hash, slot);
    return true;
}

void StringSet::AddAll(const StringArray& texts) {
    for (const std::string& text : texts)
        AddUnique(std::string_view(text));
}

void StringSet::AddAll(StringArray&& texts) {
    for (std::string& text : texts)
        AddUnique(std::move(text));
}

bool StringSet::CanAdd(std::string_view text, std::uint64_t* hash, std::size_t* slot) {
    if (text.empty())
        return false;
    *hash = CaseFoldedHashOf(text);
    if (!slots_.empty() && slots_[FindSlot(text, *hash)] != 0)
        return false;
    if ((hashes_.size() + 1) * 2 > slots_.size())
        GrowTable();
    *slot = FindSlot(text, *hash);
    return true;
}

void StringSet::Append(std::string&& text, std::uint64_t hash, std::size_t slot) {
    if (items_ == nullptr) {
        items_ = std::make_shared<StringArray>();
    } else if (shared_) {
        // A list handed out stays as it was.
        items_ = std::make_shared<StringArray>(*items_);
        shared_ = false;
    }
    StringArray& items = *items_;
    if (items.size() == items.capacity()) {
        const std::size_t capacity = std::max(items.size() + kGrowthStep, items.size() * 2);
        items.reserve(capacity);
        hashes_.reserve(capacity);
    }
    slots_[slot] = static_cast<std::uint32_t>(items.size() + 1);
    items.push_back(std::move(text));
    hashes_.push_back(hash);
}

const StringArray& StringSet::GetItems() const {
    static const StringArray none;
    return items_ == nullptr ? none : *items_;
}

std::shared_ptr<const StringArray> StringSet::ShareItems() {
    if (items_ == nullptr)
        return std::make_shared<const StringArray>();
    shared_ = true;
    return items_;
}

bool StringSet::Contains(std::string_view text) const {
    return !text.empty() && !slots_.empty() && slots_[FindSlot(text, CaseFoldedHashOf(text))] != 0;
}

std::size_t StringSet::FindSlot(std::string_view text, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const std::uint32_t entry = slots_[at];
        if (entry == 0)
            return at;
        if (hashes_[entry - 1] == hash && EqualsNoCase((*items_)[entry - 1], text))
            return at;
    }
}

void StringSet::GrowTable() {
    slots_.assign(std::max(kFirstTableSize, slots_.size() * 2), 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = 0; index < hashes_.size(); ++index) {
        std::size_t at = static_cast<std::size_t>(hashes_[index]) & mask;
        while (slots_[at] != 0)
            at = (at + 1) & mask;
        slots_[at] = static_cast<std::uint32_t>(index + 1);
    }
}
