// A server on 127.0.0.1 for the faults an HTTP library will not play: it listens and
// never accepts, or accepts and answers every connection with exactly the bytes given
// (a wrong Content-Length, say), or resets each connection once the request has come.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

class RawSocketServer {
public:
    enum class Mode {
        NeverAccept,  // connections wait in the listen queue; nothing is ever read
        Reply,        // the request is read, the reply bytes are sent, the socket closed
        Reset,        // the request is read, then the connection is reset
    };

    // Starts listening at once on a free port; throws std::runtime_error when it cannot.
    explicit RawSocketServer(Mode mode, std::string reply = "");
    // Stops and joins.
    ~RawSocketServer();
    RawSocketServer(const RawSocketServer&) = delete;
    RawSocketServer& operator=(const RawSocketServer&) = delete;

    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path) const;

private:
    void Serve();

    const Mode mode_;
    const std::string reply_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
