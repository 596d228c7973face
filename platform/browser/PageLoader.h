// The engine under a hidden browser: loads one page at a time and reports the load's
// events, in a browser's order, to a sink.
//
// Events of one load, in order:
//   1. OnBeforeNavigate (the address asked for).
//   2. OnNavigateComplete (the final address, after redirects) once the response
//      begins; the top document then exists, readyState "loading".
//   3. Per frame and iframe of the page that is loaded (frames of frames too, in
//      document order, each frame's own frames before it): OnBeforeNavigate,
//      OnNavigateComplete, OnDocumentComplete with the frame document's address.
//      Meanwhile the top document is "interactive".
//   4. OnDocumentComplete with the top document's address; its readyState is now
//      "complete".
// A load that cannot finish (no connection, a time-out, a stop) ends instead with one
// OnLoadFailed, after which nothing more of it comes. Every HTTP answer is a document,
// error statuses included (a page with an HTTP error status shows as the page the
// server sent, empty when it sent none); only a failed transfer fails the load.
// A frame whose transfer fails shows an empty document at the address asked for and
// still completes; the top load goes on.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/base/Types.h"
#include "platform/timing/Timing.h"

class HtmlDocument;

// Download-control flags a browser's host answers with (the loader honours
// DLCTL_DLIMAGES: images are fetched only when it is set; scripts never run).
constexpr DWORD DLCTL_DLIMAGES = 0x00000010;
constexpr DWORD DLCTL_NO_SCRIPTS = 0x00000080;
constexpr DWORD DLCTL_NO_JAVA = 0x00000100;
constexpr DWORD DLCTL_NO_RUNACTIVEXCTLS = 0x00000200;
constexpr DWORD DLCTL_NO_DLACTIVEXCTLS = 0x00000400;
constexpr DWORD DLCTL_DOWNLOADONLY = 0x00000800;
constexpr DWORD DLCTL_NO_BEHAVIORS = 0x00008000;
constexpr DWORD DLCTL_SILENT = 0x40000000;

// Failure codes of a load (OnLoadFailed).
constexpr HRESULT INET_E_INVALID_URL = static_cast<HRESULT>(0x800C0002u);
constexpr HRESULT INET_E_CANNOT_CONNECT = static_cast<HRESULT>(0x800C0004u);
constexpr HRESULT INET_E_RESOURCE_NOT_FOUND = static_cast<HRESULT>(0x800C0005u);
constexpr HRESULT INET_E_OBJECT_NOT_FOUND = static_cast<HRESULT>(0x800C0006u);
constexpr HRESULT INET_E_DOWNLOAD_FAILURE = static_cast<HRESULT>(0x800C0008u);
constexpr HRESULT INET_E_CONNECTION_TIMEOUT = static_cast<HRESULT>(0x800C000Bu);
constexpr HRESULT INET_E_REDIRECT_FAILED = static_cast<HRESULT>(0x800C0014u);
// A stopped load fails with E_ABORT.

// Numbers each load of a loader, from 1; every event carries the number of its load.
using PageLoadId = std::uint64_t;

// Receives a loader's events.
//
// Threading: called on the loader's own thread (never the thread that called
// Navigate), one call at a time, in the order above. Once Navigate has returned, no
// event of an earlier load starts any more; events of the earlier load that the sink
// passed on to another thread must be dropped there by their load number. A call must
// return quickly: post the event on and do not wait on another thread or take the
// process lock in it, since Navigate and the loader's destructor wait for a call in
// progress. A call must not destroy the loader.
//
// document: the top document as it stands at this event. The loader never changes it
// afterwards, so the receiving thread may own it from here on; a later event brings a
// newer one.
class PageLoadSink {
public:
    virtual ~PageLoadSink() = default;
    virtual void OnBeforeNavigate(PageLoadId load, const std::string& url) = 0;
    virtual void OnNavigateComplete(PageLoadId load, const std::string& url,
                                    const std::shared_ptr<HtmlDocument>& document) = 0;
    virtual void OnDocumentComplete(PageLoadId load, const std::string& url,
                                    const std::shared_ptr<HtmlDocument>& document) = 0;
    // The load ended without its top document: error is INET_E_... or E_ABORT.
    virtual void OnLoadFailed(PageLoadId load, const std::string& url, HRESULT error) = 0;
};

// Limits that make every transfer end. The time-outs start from the timing record in
// force when the options are made (Timing(): fetchConnectTimeoutMs,
// fetchLowSpeedTimeoutMs, fetchTransferTimeoutMs).
struct PageLoaderOptions {
    // Time to set up a connection.
    std::chrono::milliseconds connectTimeout{Timing().fetchConnectTimeoutMs};
    // A transfer that receives fewer than lowSpeedBytes in lowSpeedTime ends (also
    // one that receives nothing at all after connecting).
    std::chrono::milliseconds lowSpeedTime{Timing().fetchLowSpeedTimeoutMs};
    std::size_t lowSpeedBytes = 1;
    // The longest one transfer may take in all.
    std::chrono::milliseconds transferTimeout{Timing().fetchTransferTimeoutMs};
    // Frames are loaded down to this nesting depth (the top page's frames are depth 1).
    int frameDepthLimit = 4;
    // At most this many frame documents per load.
    int frameDocumentLimit = 64;
    // A document is read up to this size; the rest is not fetched.
    std::size_t documentSizeLimit = 8u << 20;
    // At most this many images are fetched per document when images are allowed.
    int imageLimit = 200;
};

class PageLoader {
public:
    virtual ~PageLoader() = default;

    // Starts loading url (http, https or file; "about:blank" gives an empty page),
    // superseding the load in progress, whose later events never reach the sink.
    // downloadControl: the host's DLCTL_ flags for this load. Returns the new load's
    // number. Safe on any thread; returns at once.
    virtual PageLoadId Navigate(const std::string& url, DWORD downloadControl) = 0;

    // Ends the load in progress: its transfer is aborted and it fails with E_ABORT.
    // Does nothing when no load is in progress. Safe on any thread; returns at once.
    virtual void Stop() = 0;
};
