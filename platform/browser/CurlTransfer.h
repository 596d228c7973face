// One transfer of a page loader: fetches an address with the URL library on the
// loader's thread, bounded by the loader's time limits and abortable from any thread.
// Internal to the page loader.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/base/Types.h"
#include "platform/browser/PageLoader.h"

struct TransferRequest {
    std::string url;
    // Schemes the transfer may use, such as "http,https,file"; redirects never lead
    // to anything but http and https.
    std::string protocols;
    // true: keep a document's body (up to the size limit; a body that is neither HTML
    // nor text is not fetched); false: count the bytes only (an image).
    bool keepBody = true;
    // With keepBody: keep a body of any type (a picture whose size is read from it).
    bool keepAnyType = false;
};

struct TransferResult {
    HRESULT error = S_OK;     // S_OK, E_ABORT or INET_E_...
    std::string finalUrl;     // the address after redirects
    std::string contentType;  // lower case, without parameters; empty when unknown
    std::string body;         // when kept
    std::size_t bytes = 0;    // body bytes received
};

class CurlTransfer {
public:
    explicit CurlTransfer(const PageLoaderOptions& options);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Fetches request on the calling thread (the loader's). shouldAbort is asked
    // often and after every Wake; when it answers true the transfer ends with E_ABORT.
    // onResponse runs once, when the final response begins (or at its end when it has
    // no body), with the final address.
    TransferResult Run(const TransferRequest& request, const std::function<bool()>& shouldAbort,
                       const std::function<void(const std::string&)>& onResponse);

    // Any thread: makes a Run in progress ask shouldAbort at once.
    void Wake();

private:
    struct Handle;
    PageLoaderOptions options_;
    std::unique_ptr<Handle> handle_;
};
