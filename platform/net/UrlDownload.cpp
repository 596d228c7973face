#include "platform/net/UrlDownload.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/lock/ProcessLock.h"
#include "platform/net/CurlSupport.h"
#include "platform/trace/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// What the callbacks of one download share with its loop.
struct TransferState {
    FileWriter* writer = nullptr;
    std::uint64_t sizeLimit = 0;  // 0: none
    std::uint64_t bodyBytes = 0;
    std::uint64_t received = 0;  // head and body bytes: the guards' measure of progress
    bool overLimit = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    const size_t length = size * count;
    state->received += length;
    if (state->sizeLimit != 0 && state->bodyBytes + length > state->sizeLimit) {
        state->overLimit = true;
        return 0;  // ends the transfer
    }
    state->bodyBytes += length;
    return state->writer->Write(std::string_view(data, length)) ? length : 0;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
    static_cast<TransferState*>(user)->received += size * count;
    return size * count;
}

HRESULT CopyFileUrl(const std::string& target, std::string_view path,
                    const DownloadOptions& options) {
    std::string source;
    std::string contents;
    FileInfo info;
    if (!FileUrlToPath(target, &source) || !GetFileInfo(source, &info)) {
        Trace("net", "download of %s: no such file", target.c_str());
        return E_FAIL;
    }
    if (options.sizeLimitBytes != 0 && info.size > options.sizeLimitBytes) {
        Trace("net", "download of %s: over the size limit", target.c_str());
        return E_FAIL;
    }
    if (!ReadFileBytes(source, &contents)) {
        Trace("net", "download of %s: no such file", target.c_str());
        return E_FAIL;
    }
    if (!WriteFileBytes(path, contents)) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    return S_OK;
}

}  // namespace

// Hands a running download's wake-up to its cancel signal and takes it back.
class DownloadTransfer {
public:
    // False when the signal was given already: the download does not begin.
    static bool Attach(DownloadCancel* cancel, CURLM* multi) {
        if (cancel == nullptr)
            return true;
        std::lock_guard<std::mutex> guard(cancel->mutex_);
        cancel->waking_ = multi;
        return !cancel->cancelled_.load();
    }
    // Before the multi handle goes: no Cancel reaches it afterwards.
    static void Detach(DownloadCancel* cancel) {
        if (cancel == nullptr)
            return;
        std::lock_guard<std::mutex> guard(cancel->mutex_);
        cancel->waking_ = nullptr;
    }
};

void DownloadCancel::Cancel() {
    cancelled_ = true;
    std::lock_guard<std::mutex> guard(mutex_);
    if (waking_ != nullptr)
        curl_multi_wakeup(static_cast<CURLM*>(waking_));
}

HRESULT URLDownloadToFile(std::string_view url, std::string_view path,
                          const DownloadOptions& options) {
    const std::string target = RequestUrl(url);
    if (options.cancel != nullptr && options.cancel->IsCancelled())
        return E_ABORT;
    switch (KindOfUrl(url)) {
        case UrlKind::File:
            return CopyFileUrl(target, path, options);
        case UrlKind::Other:
            Trace("net", "download of %s: not an http, https or file URL", target.c_str());
            return E_FAIL;
        case UrlKind::Http:
            break;
    }
    AssertProcessLockNotHeld();
    FileWriter writer;
    if (!writer.Open(path)) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    EnsureCurlReady();
    CURL* curl = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (curl == nullptr || multi == nullptr) {
        curl_easy_cleanup(curl);
        curl_multi_cleanup(multi);
        return E_FAIL;
    }
    TransferState state;
    state.writer = &writer;
    state.sizeLimit = options.sizeLimitBytes;
    UseSharedConnections(curl);
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, kNoProxyHosts);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMilliseconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.transferTimeoutMilliseconds);
    if (options.sizeLimitBytes != 0) {
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options.sizeLimitBytes));
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state);
    curl_multi_add_handle(multi, curl);

    const milliseconds stall(options.stallTimeoutMilliseconds);
    const milliseconds window(options.lowSpeedMilliseconds);
    const bool stallGuard = stall.count() > 0;
    const bool rateGuard = window.count() > 0 && options.lowSpeedBytesPerSecond > 0;
    const std::uint64_t windowFloor =
        rateGuard ? static_cast<std::uint64_t>(options.lowSpeedBytesPerSecond) *
                        static_cast<std::uint64_t>(window.count()) / 1000
                  : 0;
    const char* endedBy = nullptr;  // a guard's name, or "cancelled"
    CURLcode code = CURLE_OK;
    if (!DownloadTransfer::Attach(options.cancel, multi))
        endedBy = "cancelled";
    Clock::time_point lastProgress = Clock::now();
    Clock::time_point windowStart = lastProgress;
    std::uint64_t seen = 0;
    std::uint64_t windowFrom = 0;
    while (endedBy == nullptr) {
        int running = 0;
        curl_multi_perform(multi, &running);
        bool done = false;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl) {
                code = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        if (options.cancel != nullptr && options.cancel->IsCancelled()) {
            endedBy = "cancelled";
            break;
        }
        const Clock::time_point now = Clock::now();
        if (state.received != seen) {
            seen = state.received;
            lastProgress = now;
        }
        if (stallGuard && now - lastProgress >= stall) {
            endedBy = "nothing received for too long";
            break;
        }
        if (rateGuard && now - windowStart >= window) {
            if (state.received - windowFrom < windowFloor) {
                endedBy = "slower than the lowest rate";
                break;
            }
            windowStart = now;
            windowFrom = state.received;
        }
        milliseconds wait(1000);
        if (stallGuard)
            wait = std::min(wait,
                            std::chrono::duration_cast<milliseconds>(lastProgress + stall - now));
        if (rateGuard)
            wait = std::min(wait,
                            std::chrono::duration_cast<milliseconds>(windowStart + window - now));
        curl_multi_poll(multi, nullptr, 0,
                        static_cast<int>(std::max<long long>(1, wait.count() + 1)), nullptr);
    }
    DownloadTransfer::Detach(options.cancel);
    curl_multi_remove_handle(multi, curl);
    curl_easy_cleanup(curl);
    curl_multi_cleanup(multi);

    // On any failure the writer removes its temporary file.
    if (endedBy != nullptr) {
        Trace("net", "download of %s: %s", target.c_str(), endedBy);
        return options.cancel != nullptr && options.cancel->IsCancelled() ? E_ABORT : E_FAIL;
    }
    if (state.overLimit || code == CURLE_FILESIZE_EXCEEDED) {
        Trace("net", "download of %s: over the size limit of %llu bytes", target.c_str(),
              static_cast<unsigned long long>(options.sizeLimitBytes));
        return E_FAIL;
    }
    if (code != CURLE_OK) {
        Trace("net", "download of %s: %s", target.c_str(), curl_easy_strerror(code));
        return E_FAIL;
    }
    if (!writer.Close()) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    return S_OK;
}
