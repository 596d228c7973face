// The page loader of the hidden browsers: fetches pages, their frames (and, when the
// host allows them, their images) with the URL library on a worker thread of its own
// and parses them into documents. Scripts are never run; images are not fetched unless
// the load's download-control flags hold DLCTL_DLIMAGES.
//
// Frames: frame and iframe documents are fetched and parsed, down to the depth limit
// and up to the frame-document limit of the options. A frame that would load an address
// one of its ancestors shows, a frame without a fetchable address, and a frame past the
// limits show "about:blank" and raise no events. Pages from http(s) never load file
// addresses in frames or images; redirects go to http(s) only.
//
// Threading: Navigate and Stop may be called on any thread and return at once; the
// sink is called on the loader's worker thread (see PageLoadSink). The destructor ends
// the load in progress and waits for the worker; it must not run inside a sink call.
#pragma once

#include <memory>

#include "platform/browser/PageLoader.h"

class CurlPageLoader : public PageLoader {
public:
    explicit CurlPageLoader(PageLoadSink& sink, PageLoaderOptions options = {});
    ~CurlPageLoader() override;
    CurlPageLoader(const CurlPageLoader&) = delete;
    CurlPageLoader& operator=(const CurlPageLoader&) = delete;

    PageLoadId Navigate(const std::string& url, DWORD downloadControl) override;
    void Stop() override;

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};
