#include "engine/util/StringArrays.h"

#include <algorithm>

namespace {

bool IsDelimiter(char c, int mode) {
    switch (mode) {
        case 0:
            return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',';
        case 1:
            return c == '\t' || c == '\n' || c == '\r';
        case 2:
            return c == '\n' || c == '\r' || c == ',';
        case 3:
            return c == '\n' || c == '\r';
        case 4:
            return c == '\n' || c == '\r' || c == '|';
        case 5:
            return c == '\n' || c == '\r' || c == '~';
        case 6:
            return c == '\0';
#if defined(MORVELLE_CORVANE_UTILITIES)
        case 7:
            return c == '.';
        case 8:
            return c == '\\';
#endif
        default:
            return false;
    }
}

std::string Join(const StringArray& array, char separator) {
    std::string out;
    for (size_t i = 0; i < array.size(); ++i) {
        if (i > 0)
            out.push_back(separator);
        out.append(array[i]);
    }
    return out;
}

}  // namespace

void SplitText(std::string_view text, StringArray& array, int mode) {
    std::string piece;
    for (char c : text) {
        if (!IsDelimiter(c, mode)) {
            piece.push_back(c);
            continue;
        }
        if (!piece.empty())
            array.push_back(piece);
        piece.clear();
    }
    if (!piece.empty())
        array.push_back(piece);
}

std::string JoinWithCommas(const StringArray& array) {
    return Join(array, ',');
}

std::string JoinWithTabs(const StringArray& array) {
    return Join(array, '\t');
}

std::string JoinWithBars(const StringArray& array) {
    return Join(array, '|');
}

bool ArrayContains(const StringArray& array, std::string_view text) {
    return std::any_of(array.begin(), array.end(),
                       [&](const std::string& item) { return EqualsNoCase(item, text); });
}

std::string FindContaining(const StringArray& array, std::string_view text) {
    for (const std::string& item : array) {
        if (ContainsNoCase(item, text))
            return item;
    }
    return {};
}

#if defined(MORVELLE_CORVANE_UTILITIES)
bool ArrayRemove(StringArray& array, std::string_view text) {
    const auto hit = std::find_if(array.begin(), array.end(), [&](const std::string& item) {
        return EqualsNoCase(item, text);
    });
    if (hit == array.end())
        return false;
    array.erase(hit);
    return true;
}

void SortNoCase(StringArray& array) {
    std::stable_sort(array.begin(), array.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
}
#endif
