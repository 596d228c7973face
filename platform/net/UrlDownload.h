// The download of a URL to a file, standing in for the platform's URL download.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

struct DownloadOptions {
    // The connection (name look-up included) must be made within this time.
    long connectTimeoutMilliseconds = 30000;
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedSeconds in a row, a
    // stalled one included, is given up.
    long lowSpeedBytesPerSecond = 1;
    long lowSpeedSeconds = 60;
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
