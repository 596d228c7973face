#include "platform/browser/ResourcePage.h"

#include <vector>

#include "platform/browser/PageLoader.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"

namespace {

constexpr std::string_view kScheme = "res://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 5 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::string EncodeUnsafe(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case ' ':
                out += "%20";
                break;
            case '"':
                out += "%22";
                break;
            case '<':
                out += "%3C";
                break;
            case '>':
                out += "%3E";
                break;
            case '\t':
            case '\r':
            case '\n':
                break;
            default:
                out += c;
        }
    }
    return out;
}

// "a/b/../c/./d" as "a/c/d"; ".." never climbs above the first element.
std::string NormalisePath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            joined += '/';
        joined += parts[i];
    }
    return joined;
}

}  // namespace

bool SplitResourceAddress(std::string_view address, std::string* module, std::string* resource) {
    if (!StartsWithNoCase(address, kScheme))
        return false;
    const std::string_view rest = address.substr(kScheme.size());
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos || slash == 0)
        return false;
    std::string_view part = rest.substr(slash + 1);
    const size_t end = part.find_first_of("?#");
    if (end != std::string_view::npos)
        part = part.substr(0, end);
    if (module)
        *module = std::string(rest.substr(0, slash));
    if (resource)
        *resource = std::string(part);
    return true;
}

std::string ResolveResourceReference(std::string_view base, std::string_view href) {
    size_t first = 0;
    size_t last = href.size();
    while (first < last && static_cast<unsigned char>(href[first]) <= 0x20)
        ++first;
    while (last > first && static_cast<unsigned char>(href[last - 1]) <= 0x20)
        --last;
    const std::string reference = EncodeUnsafe(href.substr(first, last - first));
    const size_t moduleEnd = base.find('/', kScheme.size());
    if (!StartsWithNoCase(base, kScheme) || moduleEnd == std::string_view::npos)
        return reference;
    const std::string_view root = base.substr(0, moduleEnd + 1);  // "res://M/"
    std::string_view current = base.substr(moduleEnd + 1);
    const size_t hash = current.find('#');
    const std::string_view withoutFragment = current.substr(0, hash);
    if (reference.empty())
        return std::string(root) + std::string(withoutFragment);
    if (reference[0] == '#')
        return std::string(root) + std::string(withoutFragment) + reference;
    const std::string_view path = withoutFragment.substr(0, withoutFragment.find('?'));
    if (reference[0] == '?')
        return std::string(root) + std::string(path) + reference;
    const size_t tail = reference.find_first_of("?#");
    const std::string referencePath = reference.substr(0, tail);
    const std::string suffix = tail == std::string::npos ? std::string() : reference.substr(tail);
    std::string joined;
    if (referencePath[0] == '/') {
        joined = referencePath.substr(1);
    } else {
        const size_t folderEnd = path.rfind('/');
        joined =
            (folderEnd == std::string_view::npos ? std::string()
                                                 : std::string(path.substr(0, folderEnd + 1))) +
            referencePath;
    }
    return std::string(root) + NormalisePath(joined) + suffix;
}

HRESULT ReadResourcePage(std::string_view address, std::string* bytes, bool* html) {
    std::string modulePath;
    std::string resource;
    if (!SplitResourceAddress(address, &modulePath, &resource))
        return INET_E_INVALID_URL;
    ResourceType type(RT_HTML);
    std::string_view id = resource;
    const size_t slash = resource.find('/');
    if (slash != std::string::npos) {
        const std::string_view typeText = std::string_view(resource).substr(0, slash);
        id = std::string_view(resource).substr(slash + 1);
        if (typeText.empty())
            return INET_E_INVALID_URL;
        type = AllDigits(typeText) ? ResourceType(Number(typeText)) : ResourceType(typeText);
    }
    if (!AllDigits(id) || Number(id) > 0xFFFF)
        return INET_E_INVALID_URL;
    HMODULE module = nullptr;
    if (!GetModuleHandleEx(0, modulePath, &module))
        return INET_E_RESOURCE_NOT_FOUND;
    HRESULT result = INET_E_RESOURCE_NOT_FOUND;
    if (HRSRC found = FindResource(module, Number(id), type)) {
        const BYTE* data = LoadResource(module, found);
        if (data != nullptr) {
            bytes->assign(reinterpret_cast<const char*>(data), SizeofResource(module, found));
            *html = type.name.empty() && type.number == RT_HTML;
            result = S_OK;
        }
    }
    FreeLibrary(module);  // refuses, harmlessly, a module's own handle
    return result;
}
