#include "platform/browser/CurlPageLoader.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/browser/HtmlDocument.h"
#include "platform/text/Text.h"
#include "tests/support/RecordingPageLoadSink.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"
#include "tests/support/Wait.h"

using namespace std::chrono_literals;
using Kind = RecordingPageLoadSink::Kind;

namespace {

constexpr DWORD kNoImages = 0x40008F80;  // what the hidden browsers answer
constexpr DWORD kWithImages = 0x40008F90;

std::string ReadFixture(const std::string& name) {
    std::ifstream in(FixturePath("browser/" + name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A small web site on 127.0.0.1 for these tests: the fixture pages under /, and a few
// paths that misbehave. (Stands in until the shared local test server exists.)
class TestSite {
public:
    TestSite() {
        server_.set_pre_routing_handler(
            [this](const httplib::Request& request, httplib::Response&) {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request.path);
                return httplib::Server::HandlerResponse::Unhandled;
            });
        server_.Get(R"(/.*\.(jpg|gif|png))",
                    [](const httplib::Request&, httplib::Response& response) {
                        response.set_content(std::string(1234, 'i'), "image/jpeg");
                    });
        server_.Get("/sized.bmp", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(TestBitmapBytes(120, 80, 24), "image/bmp");
        });
        server_.Get("/sized.html", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<img src='sized.bmp'><img src='sized.bmp' width='30'>"
                "<img src='nothing.gif'>",
                "text/html");
        });
        server_.Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/moved/final.html");
        });
        server_.Get("/moved/final.html", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<title>Final</title><a href='next.html'>n</a>", "text/html");
        });
        server_.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<title>Not here</title><a href='/home.html'>home</a>",
                                 "text/html");
        });
        server_.Get("/empty-error", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
        });
        server_.Get("/text", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("plain <a href='x'>text</a>", "text/plain");
        });
        server_.Get(
            R"(/chain/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
                const int n = std::stoi(request.matches[1]);
                response.set_content(
                    FormatText("<title>%d</title><iframe src='/chain/%d'></iframe>", n, n + 1),
                    "text/html");
            });
        server_.Get("/loop.html", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<frameset><frame src='/loop.html'><frame src='/frame-a.html'></frameset>",
                "text/html");
        });
        server_.Get("/local-frame", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<iframe src='file:///etc/hostname'></iframe><img src='file:///etc/hostname'>",
                "text/html");
        });
        // Answers only when released: nothing at all, or the start of a page.
        server_.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
            WaitForRelease();
            response.set_content("<title>late</title>", "text/html");
        });
        server_.Get("/trickle", [this](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/html",
                                                  [this](size_t offset, httplib::DataSink& sink) {
                                                      if (offset == 0) {
                                                          sink.write("<html><title>", 13);
                                                          return true;
                                                      }
                                                      WaitForRelease();
                                                      sink.done();
                                                      return true;
                                                  });
        });
        // The fixture pages; asked last, after the paths above.
        server_.Get(R"(/(.*\.html))",
                    [](const httplib::Request& request, httplib::Response& response) {
                        const std::string page = ReadFixture(request.matches[1]);
                        if (page.empty()) {
                            response.status = 404;
                            return;
                        }
                        response.set_content(page, "text/html; charset=utf-8");
                    });
        // One request per connection: the process keeps the connections of its transfers
        // open for reuse, and the server's stop would wait for an idle one to time out.
        server_.set_keep_alive_max_count(1);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the server listens would not reach it, and the join would wait
        // for good.
        EXPECT_TRUE(WaitUntil([this] { return server_.is_running(); }));
    }

    ~TestSite() {
        Release();
        server_.stop();
        thread_.join();
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    StringArray Requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    bool Requested(const std::string& path) const {
        const StringArray all = Requests();
        return std::find(all.begin(), all.end(), path) != all.end();
    }
    int Waiting() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return waiting_;
    }

    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    void WaitForRelease() {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        changed_.wait_for(lock, 30s, [this] { return released_; });
        --waiting_;
    }

    httplib::Server server_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    StringArray requests_;
    int waiting_ = 0;
    bool released_ = false;
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

struct Step {
    Kind kind;
    std::string url;
    std::string readyState;
};

std::vector<Step> StepsOf(const std::vector<RecordingPageLoadSink::Event>& events) {
    std::vector<Step> steps;
    for (const auto& event : events)
        steps.push_back({event.kind, event.url, event.readyState});
    return steps;
}

bool operator==(const Step& a, const Step& b) {
    return a.kind == b.kind && a.url == b.url && a.readyState == b.readyState;
}

std::ostream& operator<<(std::ostream& out, const Step& step) {
    static const char* const names[] = {"BeforeNavigate", "NavigateComplete", "DocumentComplete",
                                        "LoadFailed"};
    return out << names[static_cast<int>(step.kind)] << "(" << step.url << ", " << step.readyState
               << ")";
}

class BrowserPageLoaderTest : public ::testing::Test {
protected:
    // Loads url to its end and returns its events.
    std::vector<RecordingPageLoadSink::Event> Load(const std::string& url,
                                                   DWORD flags = kNoImages) {
        const PageLoadId id = loader_->Navigate(url, flags);
        EXPECT_TRUE(WaitUntil([&] { return sink_.Ended(id); }, 20s))
            << "load of " << url << " never ended";
        std::vector<RecordingPageLoadSink::Event> events;
        for (const auto& event : sink_.Events()) {
            if (event.load == id)
                events.push_back(event);
        }
        return events;
    }

    void MakeLoader(PageLoaderOptions options) {
        loader_.reset();
        loader_ = std::make_unique<CurlPageLoader>(sink_, options);
    }

    TestSite site_;
    RecordingPageLoadSink sink_;
    std::unique_ptr<CurlPageLoader> loader_ = std::make_unique<CurlPageLoader>(sink_);
};

}  // namespace

TEST_F(BrowserPageLoaderTest, FramesCompleteBeforeTheTopDocument) {
    const std::string top = site_.Url("/two-iframes.html");
    const std::string a = site_.Url("/frame-a.html");
    const std::string b = site_.Url("/frame-b.html");
    const auto events = Load(top);
    const std::vector<Step> expected = {
        {Kind::BeforeNavigate, top, ""},
        {Kind::NavigateComplete, top, "loading"},
        {Kind::BeforeNavigate, a, ""},
        {Kind::NavigateComplete, a, "interactive"},
        {Kind::DocumentComplete, a, "interactive"},
        {Kind::BeforeNavigate, b, ""},
        {Kind::NavigateComplete, b, "interactive"},
        {Kind::DocumentComplete, b, "interactive"},
        {Kind::DocumentComplete, top, "complete"},
    };
    EXPECT_EQ(StepsOf(events), expected);

    const auto document = events.back().document;
    EXPECT_EQ(document->Url(), top);
    EXPECT_EQ(document->Title(), "Two frames");
    ASSERT_EQ(document->Links().Length(), 1);
    EXPECT_EQ(document->Links().Item(0)->Href(), site_.Url("/top-link.html"));
    const HtmlFramesCollection frames = document->Frames();
    ASSERT_EQ(frames.Length(), 2);
    EXPECT_EQ(frames.Item(0)->Name(), "left");
    EXPECT_EQ(frames.Item(0)->Document()->Url(), a);
    EXPECT_EQ(frames.Item(0)->Document()->Title(), "Frame A");
    EXPECT_EQ(frames.Item(0)->Document()->ReadyState(), "complete");
    EXPECT_EQ(frames.Item(1)->Document()->Links().Item(0)->Href(), site_.Url("/b-link.html"));

    // The document of the first frame's event shows that frame loaded, not yet the second.
    const auto early = events[4].document;
    EXPECT_EQ(early->Frames().Item(0)->Document()->Title(), "Frame A");
    EXPECT_EQ(early->Frames().Item(1)->Document()->Url(), "about:blank");
}

TEST_F(BrowserPageLoaderTest, RedirectEndsOnTheFinalAddress) {
    const auto events = Load(site_.Url("/redirect"));
    const std::string final = site_.Url("/moved/final.html");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].url, site_.Url("/redirect"));
    EXPECT_EQ(events[1].kind, Kind::NavigateComplete);
    EXPECT_EQ(events[1].url, final);
    EXPECT_EQ(events[2].kind, Kind::DocumentComplete);
    EXPECT_EQ(events[2].url, final);
    EXPECT_EQ(events[2].document->Url(), final);
    EXPECT_EQ(events[2].document->Links().Item(0)->Href(), site_.Url("/moved/next.html"));
}

TEST_F(BrowserPageLoaderTest, ImagesAreFetchedOnlyWhenAllowed) {
    auto events = Load(site_.Url("/two-iframes.html"));
    EXPECT_FALSE(site_.Requested("/top.jpg"));
    EXPECT_FALSE(site_.Requested("/a.jpg"));
    EXPECT_EQ(events.back().document->Images().Item(0)->FileSize(), "-1");
    EXPECT_EQ(events.back().document->Images().Item(0)->Width(), 10);

    events = Load(site_.Url("/two-iframes.html"), kWithImages);
    EXPECT_TRUE(site_.Requested("/top.jpg"));
    EXPECT_TRUE(site_.Requested("/a.jpg"));
    EXPECT_EQ(events.back().document->Images().Item(0)->FileSize(), "1234");
}

TEST_F(BrowserPageLoaderTest, FetchedPicturesGiveTheirOwnSizeWhereThePageDeclaresNone) {
    auto events = Load(site_.Url("/sized.html"));
    EXPECT_EQ(events.back().document->Images().Item(0)->Width(), 0);

    events = Load(site_.Url("/sized.html"), kWithImages);
    const auto images = events.back().document->Images();
    struct Case {
        LONG width, height;
    };
    const Case expected[] = {{120, 80}, {30, 80}, {0, 0}};  // the last is no picture
    ASSERT_EQ(images.Length(), 3);
    for (LONG i = 0; i < 3; ++i) {
        EXPECT_EQ(images.Item(i)->Width(), expected[i].width) << i;
        EXPECT_EQ(images.Item(i)->Height(), expected[i].height) << i;
    }

    // The same page as a screen serialises it back (attributes as written, the pictures
    // in another order, one new): the fetched sizes stay with the pictures' addresses.
    std::string html = "<html><body>";
    for (LONG i = 2; i >= 0; --i)
        html += "<img src=\"" + images.Item(i)->Src() + "\">";
    html += "<img src=\"/new.jpg\"></body></html>";
    const std::string firstSize = images.Item(0)->FileSize();
    events.back().document->ReplaceFromHtml(html);
    const auto replaced = events.back().document->Images();
    ASSERT_EQ(replaced.Length(), 4);
    EXPECT_EQ(replaced.Item(2)->Width(), 120);
    EXPECT_EQ(replaced.Item(2)->Height(), 80);
    EXPECT_EQ(replaced.Item(2)->FileSize(), firstSize);
    EXPECT_EQ(replaced.Item(1)->Width(), 120);  // its declared width is not written back
    EXPECT_EQ(replaced.Item(0)->Width(), 0);    // no picture
    EXPECT_EQ(replaced.Item(3)->Width(), 0);
    EXPECT_EQ(replaced.Item(3)->FileSize(), "-1");
}

TEST_F(BrowserPageLoaderTest, HttpErrorsShowAsDocuments) {
    auto events = Load(site_.Url("/missing"));
    ASSERT_EQ(events.back().kind, Kind::DocumentComplete);
    EXPECT_EQ(events.back().document->Title(), "Not here");
    EXPECT_EQ(events.back().document->Links().Length(), 1);

    events = Load(site_.Url("/empty-error"));
    ASSERT_EQ(events.back().kind, Kind::DocumentComplete);
    EXPECT_EQ(events.back().document->Links().Length(), 0);

    events = Load(site_.Url("/text"));
    ASSERT_EQ(events.back().kind, Kind::DocumentComplete);
    EXPECT_EQ(events.back().document->Links().Length(), 0);
    EXPECT_EQ(events.back().document->Body()->InnerText(), "plain <a href='x'>text</a>");

    events = Load(site_.Url("/picture.jpg"));
    ASSERT_EQ(events.back().kind, Kind::DocumentComplete);
    EXPECT_EQ(events.back().document->Body()->InnerText(), "");
}

TEST_F(BrowserPageLoaderTest, FailuresEndTheLoad) {
    struct Case {
        std::string url;
        HRESULT error;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/page.html", INET_E_CANNOT_CONNECT},
        {"file:///no/such/file.html", INET_E_OBJECT_NOT_FOUND},
        {"ftp://127.0.0.1/x", INET_E_INVALID_URL},
        {"javascript:alert(1)", INET_E_INVALID_URL},
        {"not a url", INET_E_INVALID_URL},
    };
    for (const Case& c : cases) {
        const auto events = Load(c.url);
        ASSERT_EQ(events.size(), 2u) << c.url;
        EXPECT_EQ(events[0].kind, Kind::BeforeNavigate) << c.url;
        EXPECT_EQ(events[1].kind, Kind::LoadFailed) << c.url;
        EXPECT_EQ(events[1].error, c.error) << c.url;
    }
}

TEST_F(BrowserPageLoaderTest, StopEndsAStalledFetchWithAFailure) {
    PageLoaderOptions patient;
    patient.lowSpeedTime = 60s;
    MakeLoader(patient);
    const PageLoadId id = loader_->Navigate(site_.Url("/stall"), kNoImages);
    ASSERT_TRUE(WaitUntil([&] { return site_.Waiting() == 1; }, 10s))
        << "the request never arrived";
    std::thread([&] { loader_->Stop(); }).join();  // from another thread
    ASSERT_TRUE(WaitUntil([&] { return sink_.Ended(id); }, 5s)) << "stop did not end the load";
    EXPECT_EQ(sink_.Last(id).kind, Kind::LoadFailed);
    EXPECT_EQ(sink_.Last(id).error, E_ABORT);

    // A stop with nothing loading does nothing; the loader still loads.
    loader_->Stop();
    const auto events = Load(site_.Url("/frame-b.html"));
    EXPECT_EQ(events.back().kind, Kind::DocumentComplete);
}

TEST_F(BrowserPageLoaderTest, SlowServersTimeOut) {
    PageLoaderOptions impatient;
    impatient.lowSpeedTime = 300ms;
    MakeLoader(impatient);
    for (const char* path : {"/stall", "/trickle"}) {
        const auto events = Load(site_.Url(path));
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, Kind::LoadFailed) << path;
        EXPECT_EQ(events.back().error, INET_E_CONNECTION_TIMEOUT) << path;
    }
}

TEST_F(BrowserPageLoaderTest, ANewNavigateSupersedesTheOldLoad) {
    const PageLoadId first = loader_->Navigate(site_.Url("/stall"), kNoImages);
    ASSERT_TRUE(WaitUntil([&] { return site_.Waiting() == 1; }, 10s));
    const PageLoadId second = loader_->Navigate(site_.Url("/frame-a.html"), kNoImages);
    const size_t seen = sink_.Count();
    EXPECT_NE(first, second);
    ASSERT_TRUE(WaitUntil([&] { return sink_.Ended(second); }, 10s));
    site_.Release();
    const auto events = sink_.Events();
    for (size_t i = seen; i < events.size(); ++i)
        EXPECT_EQ(events[i].load, second) << i;
    EXPECT_FALSE(sink_.Ended(first));
}

TEST_F(BrowserPageLoaderTest, FramesStopAtLoopsAndDepth) {
    auto events = Load(site_.Url("/loop.html"));
    auto document = events.back().document;
    ASSERT_EQ(document->Frames().Length(), 2);
    EXPECT_EQ(document->Frames().Item(0)->Document()->Url(), "about:blank");
    EXPECT_EQ(document->Frames().Item(1)->Document()->Title(), "Frame A");

    events = Load(site_.Url("/chain/0"));
    int depth = 0;
    for (auto frames = events.back().document->Frames();;) {
        const auto inner = frames.Item(0)->Document();
        if (inner->Url() == "about:blank")
            break;
        EXPECT_EQ(inner->Title(), std::to_string(++depth));
        frames = inner->Frames();
    }
    EXPECT_EQ(depth, 4);
    EXPECT_FALSE(site_.Requested("/chain/5"));
}

TEST_F(BrowserPageLoaderTest, WebPagesNeverLoadLocalFiles) {
    const auto events = Load(site_.Url("/local-frame"), kWithImages);
    ASSERT_EQ(events.size(), 3u);
    const auto document = events.back().document;
    EXPECT_EQ(document->Frames().Item(0)->Document()->Url(), "about:blank");
    EXPECT_EQ(document->Images().Item(0)->FileSize(), "-1");
}

TEST_F(BrowserPageLoaderTest, FileAddressesLoadWithTheirFrames) {
    const std::string top = "file://" + FixturePath("browser/two-iframes.html");
    const auto events = Load(top);
    ASSERT_EQ(events.size(), 9u);
    const auto document = events.back().document;
    EXPECT_EQ(document->Url(), top);
    EXPECT_EQ(document->Frames().Item(1)->Document()->Title(), "Frame B");

    const auto blank = Load("about:blank");
    ASSERT_EQ(blank.size(), 3u);
    EXPECT_EQ(blank.back().document->ReadyState(), "complete");
}
