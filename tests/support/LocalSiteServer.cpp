#include "tests/support/LocalSiteServer.h"

#include <httplib.h>
#include <sys/socket.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text/Text.h"
#include "tests/support/Wait.h"

struct LocalSiteServer::Impl {
    httplib::Server server;
};

namespace {

std::string ContentTypeOf(const std::string& path) {
    static const std::pair<const char*, const char*> types[] = {
        {".htm", "text/html"},       {".html", "text/html"},      {".txt", "text/plain"},
        {".css", "text/css"},        {".js", "text/javascript"},  {".xml", "text/xml"},
        {".jpg", "image/jpeg"},      {".jpeg", "image/jpeg"},     {".gif", "image/gif"},
        {".png", "image/png"},       {".bmp", "image/bmp"},       {".mp3", "audio/mpeg"},
        {".zip", "application/zip"}, {".pdf", "application/pdf"},
    };
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos) {
        const std::string extension = ToLowerAscii(path.substr(dot));
        for (const auto& [ending, type] : types) {
            if (extension == ending)
                return type;
        }
    }
    return "application/octet-stream";
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = buffer.str();
    return true;
}

// A request path as a file below the folder; false for one that would leave it.
bool FixtureFile(const std::string& folder, const std::string& path, std::string* file) {
    if (folder.empty() || path.empty() || path[0] != '/')
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string element = path.substr(start, end - start);
        if (element == ".." || element.find('\\') != std::string::npos ||
            element.find('\0') != std::string::npos) {
            return false;
        }
        start = end + 1;
    }
    *file = folder + path;
    return true;
}

// body as a gzip stream.
std::string Gzip(const std::string& body) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, body.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::string LocalSiteRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (EqualsNoCase(key, name))
            return value;
    }
    return "";
}

LocalSiteServer::LocalSiteServer(std::string fixtureFolder, LocalSiteServerOptions options)
    : fixtureFolder_(std::move(fixtureFolder)),
      defaultDelay_(options.delay),
      recordRequests_(options.recordRequests),
      impl_(std::make_unique<Impl>()) {
    httplib::Server& server = impl_->server;
    if (options.workerThreads > 0) {
        const size_t workers = static_cast<size_t>(options.workerThreads);
        server.new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    }
    // The library's default also shares the port (SO_REUSEPORT): a port that another
    // server holds must be refused instead.
    server.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // One request per connection (unless asked otherwise) and short socket time-outs,
    // so Stop never waits long on an idle client.
    server.set_keep_alive_max_count(options.keepAlive ? 1000 : 1);
    server.set_keep_alive_timeout(1);
    server.set_read_timeout(2, 0);
    server.set_write_timeout(2, 0);
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        LocalSiteRequest record;
        record.method = request.method;
        record.path = request.path;
        record.target = request.target;
        record.remotePort = request.remote_port;
        for (const auto& [key, value] : request.headers)
            record.headers.emplace_back(key, value);
        if (recordRequests_) {
            std::lock_guard<std::mutex> guard(mutex_);
            requests_.push_back(record);
        }
        Wait(record.path);
        LocalSiteResponse reply;
        if (!Serve(record, &reply)) {
            reply.status = 404;
            reply.body = "<html><body>not found</body></html>";
        }
        response.status = reply.status;
        for (const auto& [key, value] : reply.headers)
            response.set_header(key, value);
        if (reply.gzip) {
            reply.body = Gzip(reply.body);
            response.set_header("Content-Encoding", "gzip");
        }
        if (reply.stallMidBody) {
            auto body = std::make_shared<std::string>(std::move(reply.body));
            response.set_content_provider(
                std::max<size_t>(body->size(), 2), reply.contentType,
                [this, body](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        sink.write(body->data(), body->size() / 2);
                        return true;
                    }
                    std::unique_lock<std::mutex> lock(mutex_);
                    wake_.wait(lock, [this] { return stopping_; });
                    return false;
                });
        } else if (reply.stallAfterHead) {
            const size_t length = std::max<size_t>(reply.body.size(), 1);
            response.set_content_provider(length, reply.contentType,
                                          [this](size_t, size_t, httplib::DataSink&) {
                                              std::unique_lock<std::mutex> lock(mutex_);
                                              wake_.wait(lock, [this] { return stopping_; });
                                              return false;
                                          });
        } else if (reply.dropMidBody) {
            auto body = std::make_shared<std::string>(std::move(reply.body));
            response.set_content_provider(body->size(), reply.contentType,
                                          [body](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0 || body->size() < 2)
                                                  return false;  // the connection drops
                                              sink.write(body->data(), body->size() / 2);
                                              return true;
                                          });
        } else if (reply.dripEvery.count() > 0) {
            auto body = std::make_shared<std::string>(std::move(reply.body));
            const auto every = reply.dripEvery;
            const size_t bytes = std::max<size_t>(reply.dripBytes, 1);
            response.set_content_provider(
                body->size(), reply.contentType,
                [this, body, every, bytes](size_t offset, size_t, httplib::DataSink& sink) {
                    {
                        std::unique_lock<std::mutex> lock(mutex_);
                        if (wake_.wait_for(lock, every, [this] { return stopping_; }))
                            return false;
                    }
                    sink.write(body->data() + offset, std::min(bytes, body->size() - offset));
                    return true;
                });
        } else if (reply.repeatBody > 1 && !reply.body.empty()) {
            auto body = std::make_shared<std::string>(std::move(reply.body));
            response.set_content_provider(body->size() * reply.repeatBody, reply.contentType,
                                          [body](size_t offset, size_t, httplib::DataSink& sink) {
                                              const size_t at = offset % body->size();
                                              return sink.write(body->data() + at,
                                                                body->size() - at);
                                          });
        } else if (reply.chunked) {
            auto body = std::make_shared<std::string>(std::move(reply.body));
            response.set_chunked_content_provider(
                reply.contentType, [body](size_t offset, httplib::DataSink& sink) {
                    if (offset >= body->size()) {
                        sink.done();
                        return true;
                    }
                    sink.write(body->data() + offset,
                               std::min<size_t>(body->size() - offset, 1 << 16));
                    return true;
                });
        } else {
            response.set_content(reply.body, reply.contentType);
        }
    };
    server.Get(".*", handler);
    server.Post(".*", handler);
    if (options.port == 0) {
        port_ = server.bind_to_any_port("127.0.0.1");
    } else if (server.bind_to_port("127.0.0.1", options.port)) {
        port_ = options.port;
    }
    if (port_ <= 0) {
        throw std::runtime_error("LocalSiteServer: cannot bind to 127.0.0.1" +
                                 (options.port ? ":" + std::to_string(options.port) : ""));
    }
    thread_ = std::thread([this] { impl_->server.listen_after_bind(); });
    if (!WaitUntil([this] { return impl_->server.is_running(); }, std::chrono::seconds(10))) {
        Stop();
        throw std::runtime_error("LocalSiteServer: the server did not start");
    }
}

LocalSiteServer::~LocalSiteServer() {
    Stop();
}

std::string LocalSiteServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string LocalSiteServer::Url(std::string_view path) const {
    return BaseUrl() + std::string(path);
}

void LocalSiteServer::SetResponse(const std::string& path, LocalSiteResponse response) {
    std::lock_guard<std::mutex> guard(mutex_);
    routes_[path] = std::move(response);
}

void LocalSiteServer::SetBody(const std::string& path, std::string body, std::string contentType) {
    LocalSiteResponse response;
    response.body = std::move(body);
    response.contentType = std::move(contentType);
    SetResponse(path, std::move(response));
}

void LocalSiteServer::SetStatus(const std::string& path, int status, std::string body) {
    LocalSiteResponse response;
    response.status = status;
    response.body = std::move(body);
    SetResponse(path, std::move(response));
}

void LocalSiteServer::SetRedirect(const std::string& path, const std::string& location,
                                  int status) {
    LocalSiteResponse response;
    response.status = status;
    response.headers.emplace_back("Location", location);
    SetResponse(path, std::move(response));
}

void LocalSiteServer::SetDelay(const std::string& path, std::chrono::milliseconds delay) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        delays_[path] = delay;
    }
    wake_.notify_all();
}

void LocalSiteServer::SetStalled(const std::string& path) {
    SetDelay(path, std::chrono::hours(24));
}

void LocalSiteServer::SetDefaultResponse(LocalSiteResponse response) {
    std::lock_guard<std::mutex> guard(mutex_);
    defaultResponse_ = std::move(response);
}

std::vector<LocalSiteRequest> LocalSiteServer::Requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

std::vector<LocalSiteRequest> LocalSiteServer::RequestsFor(std::string_view path) const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<LocalSiteRequest> found;
    for (const LocalSiteRequest& request : requests_) {
        if (request.path == path)
            found.push_back(request);
    }
    return found;
}

void LocalSiteServer::ClearRequests() {
    std::lock_guard<std::mutex> guard(mutex_);
    requests_.clear();
}

void LocalSiteServer::Stop() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    impl_->server.stop();
    if (thread_.joinable())
        thread_.join();
}

void LocalSiteServer::Wait(const std::string& path) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto received = std::chrono::steady_clock::now();
    // The delay is read again whenever it changes, so that a test can hold a response
    // (SetStalled) and let it go (SetDelay 0).
    for (;;) {
        const auto found = delays_.find(path);
        const std::chrono::milliseconds delay =
            found != delays_.end() ? found->second : defaultDelay_;
        const auto deadline = received + delay;
        if (stopping_ || std::chrono::steady_clock::now() >= deadline)
            return;
        wake_.wait_until(lock, deadline);
    }
}

bool LocalSiteServer::Serve(const LocalSiteRequest& request, LocalSiteResponse* response) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        const auto route = routes_.find(request.path);
        if (route != routes_.end()) {
            *response = route->second;
            return true;
        }
    }
    if (ServeFixtureFile(request, response))
        return true;
    std::lock_guard<std::mutex> guard(mutex_);
    if (!defaultResponse_)
        return false;
    *response = *defaultResponse_;
    return true;
}

bool LocalSiteServer::ServeFixtureFile(const LocalSiteRequest& request,
                                       LocalSiteResponse* response) const {
    std::string file;
    if (!FixtureFile(fixtureFolder_, request.path, &file))
        return false;
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        if (file.back() != '/')
            file += '/';
        for (const char* index : {"index.htm", "index.html"}) {
            if (std::filesystem::is_regular_file(file + index, error) &&
                ReadWholeFile(file + index, &response->body)) {
                response->contentType = "text/html";
                return true;
            }
        }
        return false;
    }
    if (!std::filesystem::is_regular_file(file, error) || !ReadWholeFile(file, &response->body)) {
        return false;
    }
    response->contentType = ContentTypeOf(file);
    return true;
}
