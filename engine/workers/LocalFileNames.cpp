#include "engine/workers/LocalFileNames.h"

#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"

namespace {

bool IsForbiddenInFileName(unsigned char c) {
    switch (c) {
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return c < 0x20 || c == 0x7F;
    }
}

// The URL cut before its first "?" or "#": what follows either is no part of the path.
std::string_view WithoutQueryAndFragment(std::string_view url) {
    return url.substr(0, url.find_first_of("?#"));
}

// What follows the last "/" or "\"; text unchanged when it holds neither.
std::string_view LastElement(std::string_view text) {
    const size_t cut = text.find_last_of("/\\");
    return cut == std::string_view::npos ? text : text.substr(cut + 1);
}

}  // namespace

std::string SafeFileName(std::string_view name) {
    std::string safe;
    safe.reserve(name.size());
    for (char c : name) {
        if (c == '/' || c == '\\')
            safe.push_back('-');
        else if (IsForbiddenInFileName(static_cast<unsigned char>(c)))
            safe.push_back('_');
        else
            safe.push_back(c);
    }
    if (safe == "." || safe == "..")
        safe.clear();
    return safe;
}

std::string UrlFileExtension(std::string_view url) {
    std::string_view path = WithoutQueryAndFragment(url);
    const size_t scheme = path.find("://");
    if (scheme != std::string_view::npos) {
        // The host (and port) are no part of the path.
        const size_t start = path.find_first_of("/\\", scheme + 3);
        if (start == std::string_view::npos)
            return {};
        path = path.substr(start);
    }
    // The name as stored is the decoded one, so is its extension.
    const std::string decoded = UnescapeUrl(path);
    const std::string_view element = LastElement(decoded);
    const size_t dot = element.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    return SafeFileName(element.substr(dot + 1));
}

std::string WithoutLeadingDots(std::string_view name) {
    const size_t first = name.find_first_not_of('.');
    return first == std::string_view::npos ? std::string() : std::string(name.substr(first));
}

std::string DerivedFileName(std::string_view url) {
    // Decoded first, the query left out before: a decoded "?" is part of the name.
    std::string decoded = UnescapeUrl(WithoutQueryAndFragment(url));
    for (char& c : decoded) {
        if (c == '?')
            c = '_';
    }
    return SafeFileName(FileNameFromUrl(decoded, true));
}

std::string DownloadFileName(std::string_view url) {
    const std::string unescaped = UnescapeUrl(WithoutQueryAndFragment(url));
    return WithoutLeadingDots(SafeFileName(LastElement(unescaped)));
}

std::string LocalBaseName(std::string_view url) {
    // Cut before the dots go, so that ".png" leaves no name rather than "png".
    const std::string unescaped = UnescapeUrl(WithoutQueryAndFragment(url));
    const std::string name =
        WithoutLeadingDots(SafeFileName(TruncateAtLast(SafeFileName(LastElement(unescaped)), '.')));
    return name.empty() ? std::string("image") : name;
}

std::string NumberedFileName(std::string_view name, int n) {
    if (n < 2)
        return std::string(name);
    const size_t dot = name.rfind('.');
    const std::string number = "-" + std::to_string(n);
    if (dot == std::string_view::npos || dot == 0)
        return std::string(name) + number;
    return std::string(name.substr(0, dot)) + number + std::string(name.substr(dot));
}
