// The download of a URL to a file, standing in for the platform's URL download.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/timing/Timing.h"

// Ends a download from another thread, as a caller's progress callback does on the
// platform: a download given this signal ends with E_ABORT at once when Cancel is called
// while it runs, and at its start when Cancel came before. One download at a time.
class DownloadCancel {
public:
    DownloadCancel() = default;
    DownloadCancel(const DownloadCancel&) = delete;
    DownloadCancel& operator=(const DownloadCancel&) = delete;

    // Any thread, with or without the process lock: it only wakes the download.
    void Cancel();
    bool IsCancelled() const { return cancelled_.load(); }

private:
    friend class DownloadTransfer;

    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    void* waking_ = nullptr;  // the running download's wake-up, under mutex_
};

// The guards default to the timing record's (platform/timing) at construction.
struct DownloadOptions {
    // The connection (name look-up included) must be made within this time.
    long connectTimeoutMilliseconds = static_cast<long>(Timing().downloadConnectTimeoutMs);
    // No byte received for this long (the wait for the answer included) ends the download.
    long stallTimeoutMilliseconds = static_cast<long>(Timing().downloadStallTimeoutMs);
    // Fewer than lowSpeedBytesPerSecond on average over a window of lowSpeedMilliseconds
    // ends it: a server that drips its body cannot hold the download.
    long lowSpeedBytesPerSecond = static_cast<long>(Timing().downloadLowSpeedBytesPerSecond);
    long lowSpeedMilliseconds = static_cast<long>(Timing().downloadLowSpeedTimeoutMs);
    // The longest the whole transfer may take.
    long transferTimeoutMilliseconds = static_cast<long>(Timing().downloadTransferTimeoutMs);
    // A body of more bytes than this ends the download (refused at once when the answer
    // announces its length); 0: no limit.
    std::uint64_t sizeLimitBytes = 0;
    // Redirects followed (http and https only) before the download is given up.
    long maxRedirects = 10;
    // Ends the download from another thread; null: nothing does.
    DownloadCancel* cancel = nullptr;
};

// Downloads an http, https or file URL to the file path (a system path), replacing
// any file there. The bytes go to a temporary file beside the target, renamed over
// it when the whole body has arrived, so the target is either the complete new file
// or untouched. S_OK on success; E_ABORT when cancelled; E_FAIL when the URL is of
// another kind, the connection fails or drops before the body is complete, the server
// answers with a status of 400 or more, a guard or time-out ends it, the body is over
// the size limit, or the file cannot be written. A failed download leaves no file and
// no temporary; each failure leaves a trace line on the channel "net".
// Any thread; blocks until done; never called with the process lock held.
HRESULT URLDownloadToFile(std::string_view url, std::string_view path,
                          const DownloadOptions& options = DownloadOptions());
