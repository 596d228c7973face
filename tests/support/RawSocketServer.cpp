#include "tests/support/RawSocketServer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

RawSocketServer::RawSocketServer(Mode mode, std::string reply)
    : mode_(mode), reply_(std::move(reply)) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 64) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0)
            close(listener_);
        throw std::runtime_error("RawSocketServer: cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    if (mode_ != Mode::NeverAccept)
        thread_ = std::thread([this] { Serve(); });
}

RawSocketServer::~RawSocketServer() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    close(listener_);
}

std::string RawSocketServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void RawSocketServer::Serve() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0)
            continue;
        // The request head, read until its blank line (or a short wait passes).
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd readable{connection, POLLIN, 0};
            if (poll(&readable, 1, 2000) <= 0)
                break;
            const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<size_t>(got));
        }
        if (mode_ == Mode::Reset) {
            linger abort{1, 0};  // close sends a reset
            setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        } else {
            send(connection, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            shutdown(connection, SHUT_WR);
        }
        close(connection);
    }
}
