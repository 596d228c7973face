// Fixture pages served by a local web server on 127.0.0.1 and loaded into documents by
// the real page loader, as a hidden browser would load them (no images fetched).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/browser/CurlPageLoader.h"
#include "platform/browser/HtmlDocument.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingPageLoadSink.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

class FixturePageSite {
public:
    // Serves tests/fixtures/<folder>.
    explicit FixturePageSite(const std::string& folder) : server_(FixturePath(folder)) {}

    std::string Url(const std::string& path) const { return server_.Url(path); }
    LocalSiteServer& Server() { return server_; }

    // The top document of path as its load completed; null (with a test failure) when
    // the load failed or did not end in time.
    std::shared_ptr<HtmlDocument> Load(const std::string& path) {
        // The download-control flags the hidden browsers answer with: no images.
        constexpr DWORD kHiddenBrowserFlags = 0x40008F80;
        const PageLoadId id = loader_.Navigate(server_.Url(path), kHiddenBrowserFlags);
        if (!WaitUntil([&] { return sink_.Ended(id); }, std::chrono::seconds(20))) {
            ADD_FAILURE() << "the load of " << path << " did not end";
            return nullptr;
        }
        const RecordingPageLoadSink::Event last = sink_.Last(id);
        if (last.kind != RecordingPageLoadSink::Kind::DocumentComplete || !last.document) {
            ADD_FAILURE() << "the load of " << path << " failed";
            return nullptr;
        }
        return last.document;
    }

private:
    // Destroyed in reverse order: the loader stops before the sink and the server go.
    LocalSiteServer server_;
    RecordingPageLoadSink sink_;
    CurlPageLoader loader_{sink_};
};
