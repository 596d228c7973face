#include "platform/browser/LinkAddress.h"

#include <curl/curl.h>

#include <mutex>

#include "platform/browser/ResourcePage.h"
#include "platform/text/Text.h"

namespace {

void InitialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsUrlSpace(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// The href as the URL parser takes it: trimmed, tabs and line breaks removed.
std::string CleanHref(std::string_view href) {
    size_t begin = 0;
    size_t end = href.size();
    while (begin < end && IsUrlSpace(href[begin]))
        ++begin;
    while (end > begin && IsUrlSpace(href[end - 1]))
        --end;
    std::string out;
    out.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        const char c = href[i];
        if (c == '\t' || c == '\n' || c == '\r')
            continue;
        out += c;
    }
    return out;
}

std::string EncodeUnsafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
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
            default:
                out += c;
        }
    }
    return out;
}

// Schemes whose addresses a browser reads with "\" as a path separator.
bool IsSpecialScheme(std::string_view scheme) {
    for (const std::string_view special : {"http", "https", "ftp", "file", "ws", "wss"}) {
        if (scheme == special)
            return true;
    }
    return false;
}

// Every "\" before the query or fragment made a "/", as browsers read such addresses
// ("images\a.jpg" is "images/a.jpg").
std::string SlashedPath(std::string_view address) {
    std::string out(address);
    const size_t end = out.find_first_of("?#");
    for (size_t i = 0; i < out.size() && i < end; ++i) {
        if (out[i] == '\\')
            out[i] = '/';
    }
    return out;
}

std::string WithoutFragment(std::string_view address) {
    const size_t hash = address.find('#');
    return std::string(hash == std::string_view::npos ? address : address.substr(0, hash));
}

}  // namespace

std::string SchemeOfAddress(std::string_view address) {
    const size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    for (size_t i = 0; i < colon; ++i) {
        const char c = address[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return {};
    }
    return ToLowerAscii(address.substr(0, colon));
}

std::string ResolveLinkAddress(std::string_view base, std::string_view href) {
    std::string cleaned = CleanHref(href);
    std::string scheme = SchemeOfAddress(cleaned);
    // The URL library knows no res: addresses; their module part is a path of its own.
    if (scheme == "res")
        return EncodeUnsafe(cleaned);
    if (scheme.empty() && SchemeOfAddress(base) == "res")
        return ResolveResourceReference(base, cleaned);
    if (scheme.empty())
        scheme = SchemeOfAddress(base);
    if (IsSpecialScheme(scheme))
        cleaned = SlashedPath(cleaned);
    const std::string encoded = EncodeUnsafe(cleaned);
    // The URL library resolves a reference that is only a fragment (or nothing)
    // against the base's folder; a browser keeps the base's file and query.
    if (encoded.empty() || encoded[0] == '#')
        return EncodeUnsafe(WithoutFragment(base)) + encoded;

    InitialiseCurl();
    CURLU* url = curl_url();
    if (url == nullptr)
        return cleaned;
    std::string result = cleaned;
    const std::string baseText = EncodeUnsafe(base);
    bool resolved = false;
    if (curl_url_set(url, CURLUPART_URL, baseText.c_str(), 0) == CURLUE_OK) {
        resolved = curl_url_set(url, CURLUPART_URL, encoded.c_str(), 0) == CURLUE_OK;
    } else {
        // Without a usable base only an absolute address can be made out.
        CURLU* fresh = curl_url();
        if (fresh != nullptr) {
            curl_url_cleanup(url);
            url = fresh;
            resolved = curl_url_set(url, CURLUPART_URL, encoded.c_str(), 0) == CURLUE_OK;
        }
    }
    if (resolved) {
        char* text = nullptr;
        if (curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK && text != nullptr) {
            result = text;
        }
        curl_free(text);
    }
    curl_url_cleanup(url);
    return result;
}
