#include "engine/jobs/StringSet.h"

namespace {

// Visited sets grow by about this many entries at a time.
constexpr std::size_t kGrowthStep = 1000;

}  // namespace

bool StringSet::AddUnique(std::string_view text) {
    if (text.empty() || Contains(text))
        return false;
    if (items_.size() == items_.capacity())
        items_.reserve(items_.size() + kGrowthStep);
    items_.emplace_back(text);
    return true;
}

void StringSet::AddAll(const StringArray& texts) {
    for (const std::string& text : texts)
        AddUnique(text);
}

bool StringSet::Contains(std::string_view text) const {
    for (const std::string& item : items_) {
        if (EqualsNoCase(item, text))
            return true;
    }
    return false;
}
