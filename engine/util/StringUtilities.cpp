#include "engine/util/StringUtilities.h"

#include "platform/text/Text.h"

bool StringMatch(std::string_view text, std::string_view pattern, bool ignoreCase, bool substring) {
    if (!substring)
        return ignoreCase ? EqualsNoCase(text, pattern) : text == pattern;
    if (ignoreCase)
        return ContainsNoCase(text, pattern);
    return text.find(pattern) != std::string_view::npos;
}

void TabsToBlanks(std::string& text) {
    for (char& c : text) {
        if (c == '\t')
            c = ' ';
    }
}

std::string TrimString(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsAsciiSpace(text[begin]))
        ++begin;
    while (end > begin && IsAsciiSpace(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

int LastIndexOf(std::string_view text, std::string_view piece) {
    int last = -1;
    size_t hit = text.find(piece);
    while (hit != std::string_view::npos) {
        last = static_cast<int>(hit);
        if (hit == 0)
            break;
        hit = text.find(piece, hit + 1);
    }
    return last;
}

std::string TruncateAt(std::string_view text, std::string_view piece) {
    const size_t hit = text.find(piece);
    return std::string(hit == std::string_view::npos ? text : text.substr(0, hit));
}

std::string TruncateAtLast(std::string_view text, char ch) {
    const size_t hit = text.rfind(ch);
    return std::string(hit == std::string_view::npos ? text : text.substr(0, hit));
}

std::string StripFileName(std::string_view path) {
    return TruncateAtLast(path, '\\');
}

std::string StripFileNameAnySeparator(std::string_view path) {
    if (path.find('\\') != std::string_view::npos)
        return TruncateAtLast(path, '\\');
    return TruncateAtLast(path, '/');
}
