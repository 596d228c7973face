// A web server on 127.0.0.1 for tests, and for the tools that serve a site of files
// (the driver's sample site, the benchmark's generated site): it serves a folder and
// routes that tests set (bodies, status codes, redirects, delayed, stalled and broken
// responses), and records every request it receives. Needs no test framework.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct LocalSiteRequest {
    std::string method;
    std::string path;    // decoded, without the query
    std::string target;  // as the client sent it, query included
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
    int remotePort = 0;  // the client's end of the connection it came over

    // The first header of that name (ignoring case), "" when none.
    std::string Header(std::string_view name) const;
};

struct LocalSiteResponse {
    int status = 200;
    std::string body;
    std::string contentType = "text/html";
    std::vector<std::pair<std::string, std::string>> headers;
    // Sends the head with the whole body's length, then half the body, then closes.
    bool dropMidBody = false;
    // Sends the head with the whole body's length, then nothing until the server stops.
    bool stallAfterHead = false;
    // Sends the head with the whole body's length and half the body, then nothing until
    // the server stops.
    bool stallMidBody = false;
    // Sends the body gzip-compressed, with "Content-Encoding: gzip".
    bool gzip = false;
    // Sends the head with the whole body's length, then the body dripBytes bytes each time
    // this has passed, until it is sent or the server stops; 0: at once.
    std::chrono::milliseconds dripEvery{0};
    size_t dripBytes = 1;
    // Sends the body in chunks, never saying its length.
    bool chunked = false;
    // Sends the body this many times over (0 and 1: once), with the whole length
    // announced: a large answer that the server never holds whole.
    std::uint64_t repeatBody = 0;
};

struct LocalSiteServerOptions {
    // The port on 127.0.0.1; 0 takes a free one.
    int port = 0;
    // How many requests are served at once; 0 leaves the library's default (at least 8).
    int workerThreads = 0;
    // Waited before sending anything for every path that has no delay of its own
    // (SetDelay), as a distant server's latency.
    std::chrono::milliseconds delay{0};
    // Whether Requests() keeps every request; a long-running server turns it off.
    bool recordRequests = true;
    // Whether a client may send further requests over one connection (for up to a
    // second between them). Off: one request per connection.
    bool keepAlive = false;
};

class LocalSiteServer {
public:
    // Serves the files of fixtureFolder (a Linux path; "" serves none) under "/"; a
    // path that names a folder serves its index.htm or index.html. Starts at once;
    // throws std::runtime_error when it cannot (the port is taken, for one).
    explicit LocalSiteServer(std::string fixtureFolder = "", LocalSiteServerOptions options = {});
    // Stops and joins, also while responses are delayed or stalled.
    ~LocalSiteServer();
    LocalSiteServer(const LocalSiteServer&) = delete;
    LocalSiteServer& operator=(const LocalSiteServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string BaseUrl() const;
    // BaseUrl() followed by path ("/a/b.htm").
    std::string Url(std::string_view path) const;
    int Port() const { return port_; }

    // Routes, by the decoded path; a route wins over a fixture file. Safe on any thread.
    void SetResponse(const std::string& path, LocalSiteResponse response);
    void SetBody(const std::string& path, std::string body, std::string contentType = "text/html");
    void SetStatus(const std::string& path, int status, std::string body = "");
    void SetRedirect(const std::string& path, const std::string& location, int status = 302);
    // Waits this long before sending anything for the path (route or file), counted from
    // each request's arrival; a new delay applies to responses already waiting too.
    void SetDelay(const std::string& path, std::chrono::milliseconds delay);
    // Sends nothing for the path until the server stops or SetDelay lets it go.
    void SetStalled(const std::string& path);
    // Answers every path that has no route and names no fixture file (in place of 404).
    void SetDefaultResponse(LocalSiteResponse response);

    // Every request received so far, in order of arrival (recorded before any delay);
    // none when the options turned recording off.
    std::vector<LocalSiteRequest> Requests() const;
    std::vector<LocalSiteRequest> RequestsFor(std::string_view path) const;
    void ClearRequests();

    // Wakes every delayed response, stops serving and joins; later calls do nothing.
    void Stop();

private:
    struct Impl;

    bool Serve(const LocalSiteRequest& request, LocalSiteResponse* response);
    bool ServeFixtureFile(const LocalSiteRequest& request, LocalSiteResponse* response) const;
    void Wait(const std::string& path);

    std::string fixtureFolder_;
    const std::chrono::milliseconds defaultDelay_;
    const bool recordRequests_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<std::string, LocalSiteResponse> routes_;
    std::optional<LocalSiteResponse> defaultResponse_;
    std::map<std::string, std::chrono::milliseconds> delays_;
    std::vector<LocalSiteRequest> requests_;
    std::unique_ptr<Impl> impl_;  // the server; destroyed before the state above
    std::thread thread_;
};
