// The download of a URL to a file, standing in for the platform's URL download.
#pragma once

#include <algorithm>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/timing/Timing.h"

// The time limits default to the timing record's (platform/timing) at construction.
struct DownloadOptions {
    // The connection (name look-up included) must be made within this time.
    long connectTimeoutMilliseconds = static_cast<long>(Timing().downloadConnectTimeoutMs);
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedSeconds in a row, a
    // stalled one included, is given up (at least one second).
    long lowSpeedBytesPerSecond = 1;
    long lowSpeedSeconds =
        std::max(1L, static_cast<long>(Timing().downloadLowSpeedTimeoutMs / 1000));
    // The longest the whole transfer may take.
    long transferTimeoutMilliseconds = static_cast<long>(Timing().downloadTransferTimeoutMs);
    // Redirects followed (http and https only) before the download is given up.
    long maxRedirects = 10;
};

// Downloads an http, https or file URL to the file path (a system path), replacing
// any file there. The bytes go to a temporary file beside the target, renamed over
// it when the whole body has arrived, so the target is either the complete new file
// or untouched. S_OK on success; E_FAIL, leaving no file and no temporary, when the
// URL is of another kind, the connection fails or drops before the body is complete,
// the server answers with a status of 400 or more, a time-out passes, or the file
// cannot be written. Each failure leaves a trace line on the channel "net".
// Any thread; blocks until done; never called with the process lock held.
HRESULT URLDownloadToFile(std::string_view url, std::string_view path,
                          const DownloadOptions& options = DownloadOptions());
