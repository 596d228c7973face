#include "platform/browser/CurlTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "platform/net/CurlSupport.h"
#include "platform/text/Text.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string MainContentType(const char* header) {
    if (header == nullptr)
        return {};
    std::string type = ToLowerAscii(header);
    const size_t semicolon = type.find(';');
    if (semicolon != std::string::npos)
        type.resize(semicolon);
    while (!type.empty() && IsAsciiSpace(type.back()))
        type.pop_back();
    size_t start = 0;
    while (start < type.size() && IsAsciiSpace(type[start]))
        ++start;
    return type.substr(start);
}

// Whether a body of this type is read as a page.
bool IsDocumentType(const std::string& type) {
    return type.empty() || type.rfind("text/", 0) == 0 || type == "application/xhtml+xml";
}

HRESULT ResultOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return S_OK;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return INET_E_RESOURCE_NOT_FOUND;
        case CURLE_COULDNT_CONNECT:
            return INET_E_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            return INET_E_CONNECTION_TIMEOUT;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return INET_E_INVALID_URL;
        case CURLE_FILE_COULDNT_READ_FILE:
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return INET_E_OBJECT_NOT_FOUND;
        case CURLE_TOO_MANY_REDIRECTS:
            return INET_E_REDIRECT_FAILED;
        default:
            return INET_E_DOWNLOAD_FAILURE;
    }
}

// What the callbacks of one transfer share with Run.
struct TransferState {
    CURL* easy = nullptr;
    const TransferRequest* request = nullptr;
    const std::function<void(const std::string&)>* onResponse = nullptr;
    std::size_t sizeLimit = 0;
    TransferResult result;
    bool responded = false;
    bool endedByUs = false;  // the write callback ended the transfer on purpose
    std::size_t windowBytes = 0;

    void Respond() {
        if (responded)
            return;
        responded = true;
        char* url = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url != nullptr) {
            result.finalUrl = url;
        }
        char* type = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK) {
            result.contentType = MainContentType(type);
        }
        (*onResponse)(result.finalUrl);
    }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    const size_t length = size * count;
    state->windowBytes += length;
    state->Respond();
    if (state->request->keepBody && !state->request->keepAnyType &&
        !IsDocumentType(state->result.contentType)) {
        state->endedByUs = true;
        return CURL_WRITEFUNC_ERROR;
    }
    const size_t room = state->sizeLimit - std::min(state->sizeLimit, state->result.bytes);
    const size_t taken = std::min(room, length);
    if (state->request->keepBody)
        state->result.body.append(data, taken);
    state->result.bytes += taken;
    if (taken < length) {
        state->endedByUs = true;
        return CURL_WRITEFUNC_ERROR;
    }
    return length;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
    static_cast<TransferState*>(user)->windowBytes += size * count;
    return size * count;
}

}  // namespace

struct CurlTransfer::Handle {
    CURLM* multi = nullptr;
};

CurlTransfer::CurlTransfer(const PageLoaderOptions& options)
    : options_(options), handle_(std::make_unique<Handle>()) {
    EnsureCurlReady();
    handle_->multi = curl_multi_init();
}

CurlTransfer::~CurlTransfer() {
    if (handle_->multi != nullptr)
        curl_multi_cleanup(handle_->multi);
}

void CurlTransfer::Wake() {
    if (handle_->multi != nullptr)
        curl_multi_wakeup(handle_->multi);
}

TransferResult CurlTransfer::Run(const TransferRequest& request,
                                 const std::function<bool()>& shouldAbort,
                                 const std::function<void(const std::string&)>& onResponse) {
    TransferState state;
    state.request = &request;
    state.onResponse = &onResponse;
    state.sizeLimit = options_.documentSizeLimit;
    state.result.finalUrl = request.url;
    if (handle_->multi == nullptr || (state.easy = curl_easy_init()) == nullptr) {
        state.result.error = INET_E_DOWNLOAD_FAILURE;
        return state.result;
    }
    CURL* easy = state.easy;
    UseSharedConnections(easy);
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, request.protocols.c_str());
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; Morvelle page loader)");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::max<long long>(1, options_.connectTimeout.count())));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS,
                     static_cast<long>(std::max<long long>(1, options_.transferTimeout.count())));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);

    CURLM* multi = handle_->multi;
    curl_multi_add_handle(multi, easy);
    const auto lowSpeedTime = std::max(options_.lowSpeedTime, std::chrono::milliseconds(1));
    auto windowStart = Clock::now();
    CURLcode code = CURLE_OK;
    bool done = false;
    bool aborted = false;
    bool slow = false;
    while (!done) {
        if (shouldAbort()) {
            aborted = true;
            break;
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                code = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        const auto now = Clock::now();
        if (now - windowStart >= lowSpeedTime) {
            if (state.windowBytes < options_.lowSpeedBytes) {
                slow = true;
                break;
            }
            windowStart = now;
            state.windowBytes = 0;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(windowStart + lowSpeedTime - now);
        const int wait = static_cast<int>(std::clamp<long long>(left.count() + 1, 1, 100));
        curl_multi_poll(multi, nullptr, 0, wait, nullptr);
    }
    curl_multi_remove_handle(multi, easy);

    if (aborted) {
        state.result.error = E_ABORT;
    } else if (slow) {
        state.result.error = INET_E_CONNECTION_TIMEOUT;
    } else if (code == CURLE_WRITE_ERROR && state.endedByUs) {
        state.result.error = S_OK;
    } else {
        state.result.error = ResultOf(code);
    }
    if (state.result.error == S_OK)
        state.Respond();
    curl_easy_cleanup(easy);
    return state.result;
}
