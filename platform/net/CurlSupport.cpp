#include "platform/net/CurlSupport.h"

#include <curl/curl.h>

#include <mutex>

#include "platform/text/Text.h"

namespace {

bool MayStandInUrl(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F)
        return false;
    switch (c) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return false;
        default:
            return true;
    }
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The connection cache of the process, with one lock per kind of data libcurl shares.
struct ConnectionShare {
    CURLSH* share = nullptr;
    std::mutex locks[CURL_LOCK_DATA_LAST];
};

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<ConnectionShare*>(user)->locks[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* user) {
    static_cast<ConnectionShare*>(user)->locks[data].unlock();
}

// Never destroyed: detached threads may still transfer while the process ends.
ConnectionShare& TheConnectionShare() {
    static ConnectionShare* const shared = [] {
        auto* made = new ConnectionShare;
        made->share = curl_share_init();
        if (made->share != nullptr) {
            curl_share_setopt(made->share, CURLSHOPT_LOCKFUNC, LockShare);
            curl_share_setopt(made->share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
            curl_share_setopt(made->share, CURLSHOPT_USERDATA, made);
            if (curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) !=
                CURLSHE_OK) {
                curl_share_cleanup(made->share);
                made->share = nullptr;
            }
        }
        return made;
    }();
    return *shared;
}

}  // namespace

void UseSharedConnections(void* easy) {
    ConnectionShare& shared = TheConnectionShare();
    if (easy != nullptr && shared.share != nullptr)
        curl_easy_setopt(static_cast<CURL*>(easy), CURLOPT_SHARE, shared.share);
}

void EnsureCurlReady() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

UrlKind KindOfUrl(std::string_view url) {
    url = Trimmed(url);
    const auto starts = [&](std::string_view prefix) {
        return url.size() >= prefix.size() && EqualsNoCase(url.substr(0, prefix.size()), prefix);
    };
    if (starts("http://") || starts("https://"))
        return UrlKind::Http;
    if (starts("file:"))
        return UrlKind::File;
    return UrlKind::Other;
}

std::string RequestUrl(std::string_view url) {
    url = Trimmed(url);
    const size_t fragment = url.find('#');
    if (fragment != std::string_view::npos)
        url = url.substr(0, fragment);
    const size_t query = url.find('?');
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size() + 16);
    for (size_t i = 0; i < url.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == '\\' && (query == std::string_view::npos || i < query))
            c = '/';
        if (MayStandInUrl(c) || c == '/') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
    }
    return out;
}
