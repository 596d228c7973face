#include "platform/net/UrlProbe.h"

#include <curl/curl.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "platform/lock/ProcessLock.h"
#include "platform/net/CurlSupport.h"
#include "platform/trace/Trace.h"

namespace {

struct ProbeState {
    CURL* curl = nullptr;
    bool responded = false;
};

// Ends the transfer at the blank line that closes a final response head.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    ProbeState* state = static_cast<ProbeState*>(user);
    const size_t length = size * count;
    const std::string_view line(data, length);
    if (line == "\r\n" || line == "\n") {
        long status = 0;
        curl_easy_getinfo(state->curl, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 200) {
            state->responded = true;
            return 0;  // no body wanted
        }
    }
    return length;
}

size_t OnBody(char*, size_t, size_t, void* user) {
    static_cast<ProbeState*>(user)->responded = true;
    return 0;
}

}  // namespace

BOOL ProbeUrl(std::string_view url, DWORD timeoutMilliseconds) {
    switch (KindOfUrl(url)) {
        case UrlKind::File: {
            std::string path;
            if (!FileUrlToPath(RequestUrl(url), &path))
                return FALSE;
            return FileIsReadable(path) || FolderExists(path) ? TRUE : FALSE;
        }
        case UrlKind::Other:
            return FALSE;
        case UrlKind::Http:
            break;
    }
    AssertProcessLockNotHeld();
    EnsureCurlReady();
    ProbeState state;
    state.curl = curl_easy_init();
    if (!state.curl)
        return FALSE;
    const std::string target = RequestUrl(url);
    const long timeout = static_cast<long>(timeoutMilliseconds);
    UseSharedConnections(state.curl);
    curl_easy_setopt(state.curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(state.curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(state.curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(state.curl, CURLOPT_NOPROXY, kNoProxyHosts);
    curl_easy_setopt(state.curl, CURLOPT_CONNECTTIMEOUT_MS, timeout);
    curl_easy_setopt(state.curl, CURLOPT_TIMEOUT_MS, 2 * timeout);
    curl_easy_setopt(state.curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(state.curl, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(state.curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(state.curl, CURLOPT_WRITEDATA, &state);
    const CURLcode result = curl_easy_perform(state.curl);
    curl_easy_cleanup(state.curl);
    if (!state.responded && result != CURLE_OK) {
        Trace("net", "probe of %s: %s", target.c_str(), curl_easy_strerror(result));
    }
    return state.responded || result == CURLE_OK ? TRUE : FALSE;
}
