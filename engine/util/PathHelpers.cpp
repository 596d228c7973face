#include "engine/util/PathHelpers.h"

#include "engine/util/StringUtilities.h"
#include "platform/text/Text.h"

namespace {

constexpr size_t kMaximumFileNameLength = 100;

}  // namespace

std::string FileNameFromUrl(std::string_view url, bool skipFirstPart) {
    std::string_view rest = url;
    const size_t colon = rest.find(':');
    if (colon != std::string_view::npos && colon > 0)
        rest = rest.substr(colon + 1);
    const size_t query = rest.find('?');
    if (query != std::string_view::npos && query > 0)
        rest = rest.substr(0, query);

    std::string name;
    bool skipping = skipFirstPart;
    for (char c : rest) {
        if (skipping) {
            if (c == '/' || c == '\\')
                skipping = false;
            continue;
        }
        switch (c) {
            case '%':
            case '&':
            case '*':
            case '@':
            case '|':
                break;
            case '.':
                name.push_back('_');
                break;
            case '/':
            case '\\':
                name.push_back('-');
                break;
            default:
                name.push_back(c);
        }
    }
    if (name.size() > kMaximumFileNameLength)
        name.resize(kMaximumFileNameLength);
    return name;
}

std::string FileExtension(std::string_view path) {
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string EnsureTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (!out.empty() && out.back() != '\\')
        out.push_back('\\');
    return out;
}

#if defined(MORVELLE_CORVANE_UTILITIES)
std::string EnsureTrailingSlash(std::string_view text) {
    std::string out(text);
    if (!out.empty() && out.back() != '/')
        out.push_back('/');
    return out;
}
#endif

std::string JoinPath(std::string_view folder, std::string_view name, std::string_view extension) {
    std::string file(name);
    if (!extension.empty() && file.find('.') == std::string::npos) {
        if (extension.find('.') == std::string_view::npos)
            file.push_back('.');
        file.append(extension);
    }
    return EnsureTrailingBackslash(folder) + file;
}

std::string EnsureExtension(std::string_view path, std::string_view extension) {
    const std::string dotted = "." + std::string(extension);
    if (ToUpperAscii(path).find(ToUpperAscii(dotted)) != std::string::npos)
        return std::string(path);
    return std::string(path) + dotted;
}

std::string StripQuery(std::string_view text) {
    return TruncateAtLast(text, '?');
}

std::string FileNameOfPath(std::string_view text) {
    size_t cut = text.rfind('\\');
    if (cut == std::string_view::npos)
        cut = text.rfind('/');
    return std::string(cut == std::string_view::npos ? text : text.substr(cut + 1));
}
