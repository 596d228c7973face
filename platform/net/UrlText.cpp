#include "platform/net/UrlText.h"

#include "platform/text/Text.h"

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

}  // namespace

BOOL PathIsURL(std::string_view text) {
    if (text.empty() || !IsLetter(text[0]))
        return FALSE;
    size_t length = 1;
    while (length < text.size() && IsSchemeCharacter(text[length]))
        ++length;
    return length >= 2 && length < text.size() && text[length] == ':' ? TRUE : FALSE;
}

std::string UrlUnescape(std::string_view text) {
    return PercentDecode(text);
}
