#include "platform/browser/CurlPageLoader.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/browser/CurlTransfer.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlParser.h"
#include "platform/browser/HtmlTree.h"
#include "platform/browser/LinkAddress.h"
#include "platform/image/ImageConversion.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"

namespace {

// One document of a load as the worker builds it. Documents handed to the sink are
// made from these nodes at each event; the trees they share are never changed once
// a node holds them.
struct FrameNode {
    std::string url;
    std::string readyState = "loading";
    std::shared_ptr<HtmlTree> tree;
    std::vector<std::unique_ptr<FrameNode>> frames;  // one per frame of tree; null: not loaded
};

std::shared_ptr<HtmlDocument> BuildDocument(const FrameNode& node) {
    auto document = std::make_shared<HtmlDocument>(node.url, node.tree, node.readyState);
    for (size_t i = 0; i < node.frames.size(); ++i) {
        if (node.frames[i])
            document->SetFrameDocument(i, BuildDocument(*node.frames[i]));
    }
    return document;
}

bool IsFetchable(const std::string& address, bool allowFile) {
    const std::string scheme = SchemeOfAddress(address);
    return scheme == "http" || scheme == "https" || (allowFile && scheme == "file");
}

std::shared_ptr<HtmlTree> MakeTree(const TransferResult& result) {
    const std::string& type = result.contentType;
    if (type.empty() || type == "text/html" || type == "application/xhtml+xml") {
        return ParseHtml(result.body, result.finalUrl);
    }
    if (type.rfind("text/", 0) == 0)
        return MakeTextTree(result.body, result.finalUrl);
    return ParseHtml({}, result.finalUrl);
}

struct Request {
    PageLoadId id = 0;
    std::string url;
    DWORD downloadControl = 0;
};

}  // namespace

struct CurlPageLoader::Worker {
    Worker(PageLoadSink& target, PageLoaderOptions limits)
        : sink(target), options(limits), transfer(options) {
        thread = std::thread([this] { Main(); });
    }

    ~Worker() {
        shutdown = true;
        {
            std::lock_guard<std::recursive_mutex> lock(delivery);
            allowed = 0;
        }
        { std::lock_guard<std::mutex> lock(mutex); }
        wake.notify_all();
        transfer.Wake();
        thread.join();
    }

    // State of the load the worker runs.
    struct Load {
        Request request;
        bool allowFile = false;
        FrameNode top;
        int frameDocuments = 0;
    };

    PageLoadId Navigate(const std::string& url, DWORD downloadControl) {
        std::lock_guard<std::recursive_mutex> lock(delivery);
        const PageLoadId id = ++lastId;
        allowed = id;
        latest = id;
        {
            std::lock_guard<std::mutex> requestLock(mutex);
            pending = Request{id, url, downloadControl};
        }
        wake.notify_one();
        transfer.Wake();
        return id;
    }

    void Stop() {
        stopped = latest.load();
        transfer.Wake();
    }

    void Main() {
        while (true) {
            Request request;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return shutdown.load() || pending.has_value(); });
                if (shutdown)
                    return;
                request = std::move(*pending);
                pending.reset();
            }
            Load load;
            load.request = std::move(request);
            RunLoad(load);
        }
    }

    bool Aborted(const Load& load) const {
        return shutdown || latest != load.request.id || stopped == load.request.id;
    }

    // Calls the sink unless the load was superseded; see PageLoadSink on the lock.
    template <class Call>
    void Deliver(const Load& load, Call call) {
        std::lock_guard<std::recursive_mutex> lock(delivery);
        if (shutdown || allowed != load.request.id)
            return;
        call(sink);
    }

    void RunLoad(Load& load) {
        const Request& request = load.request;
        Deliver(load, [&](PageLoadSink& s) { s.OnBeforeNavigate(request.id, request.url); });
        if (EqualsNoCase(request.url, "about:blank")) {
            load.top.url = request.url;
            load.top.tree = ParseHtml({}, request.url);
            load.top.readyState = "interactive";
            const auto started = BuildDocument(load.top);
            Deliver(load, [&](PageLoadSink& s) {
                s.OnNavigateComplete(request.id, request.url, started);
            });
            load.top.readyState = "complete";
            const auto done = BuildDocument(load.top);
            Deliver(load,
                    [&](PageLoadSink& s) { s.OnDocumentComplete(request.id, request.url, done); });
            return;
        }
        const std::string scheme = SchemeOfAddress(request.url);
        HRESULT result = INET_E_INVALID_URL;
        if (scheme == "http" || scheme == "https" || scheme == "file") {
            load.allowFile = scheme == "file";
            std::vector<std::string> ancestors;
            result = LoadDocument(load, load.top, request.url, 0, ancestors);
        }
        if (result == E_ABORT && (shutdown || latest != request.id))
            return;
        if (FAILED(result)) {
            Trace("browser", "load of %s failed: 0x%08X", request.url.c_str(),
                  static_cast<unsigned>(result));
            Deliver(load,
                    [&](PageLoadSink& s) { s.OnLoadFailed(request.id, request.url, result); });
        }
    }

    // Loads one document into node and then its frames. Returns S_OK, E_ABORT, or for
    // the top document the failure of its transfer.
    HRESULT LoadDocument(Load& load, FrameNode& node, const std::string& url, int depth,
                         std::vector<std::string>& ancestors) {
        const PageLoadId id = load.request.id;
        const bool top = depth == 0;
        node.url = url;
        node.readyState = "loading";
        node.tree = ParseHtml({}, url);
        const auto onResponse = [&](const std::string& finalUrl) {
            node.url = finalUrl;
            node.tree = ParseHtml({}, finalUrl);
            const auto document = BuildDocument(load.top);
            Deliver(load, [&](PageLoadSink& s) { s.OnNavigateComplete(id, finalUrl, document); });
        };
        const TransferRequest request{url, load.allowFile ? "http,https,file" : "http,https", true};
        const TransferResult result = transfer.Run(
            request, [&] { return Aborted(load); }, onResponse);
        if (result.error == E_ABORT || Aborted(load))
            return E_ABORT;
        if (FAILED(result.error)) {
            if (top)
                return result.error;
            Trace("browser", "frame %s failed: 0x%08X", url.c_str(),
                  static_cast<unsigned>(result.error));
            node.url = url;
            node.tree = ParseHtml({}, url);
            node.readyState = "complete";
            const auto document = BuildDocument(load.top);
            Deliver(load, [&](PageLoadSink& s) { s.OnDocumentComplete(id, url, document); });
            return S_OK;
        }

        std::shared_ptr<HtmlTree> tree = MakeTree(result);
        if ((load.request.downloadControl & DLCTL_DLIMAGES) != 0 && !FetchImages(load, *tree)) {
            return E_ABORT;
        }
        node.tree = tree;
        node.readyState = "interactive";
        node.frames.resize(tree->Frames().size());
        const size_t ancestorCount = ancestors.size();
        ancestors.push_back(url);
        ancestors.push_back(node.url);
        for (size_t i = 0; i < tree->Frames().size() && depth < options.frameDepthLimit; ++i) {
            const std::string& src = tree->Frames()[i].src;
            if (!IsFetchable(src, load.allowFile))
                continue;
            if (std::find(ancestors.begin(), ancestors.end(), src) != ancestors.end())
                continue;
            if (load.frameDocuments >= options.frameDocumentLimit)
                break;
            ++load.frameDocuments;
            node.frames[i] = std::make_unique<FrameNode>();
            Deliver(load, [&](PageLoadSink& s) { s.OnBeforeNavigate(id, src); });
            if (LoadDocument(load, *node.frames[i], src, depth + 1, ancestors) == E_ABORT) {
                return E_ABORT;
            }
        }
        ancestors.resize(ancestorCount);
        node.readyState = "complete";
        const std::string finalUrl = node.url;
        const auto document = BuildDocument(load.top);
        Deliver(load, [&](PageLoadSink& s) { s.OnDocumentComplete(id, finalUrl, document); });
        return S_OK;
    }

    // Fetches the images of a tree not yet handed out and records their sizes in bytes
    // and, read from the picture itself, in pixels. False when the load was aborted
    // meanwhile.
    bool FetchImages(Load& load, HtmlTree& tree) {
        struct Fetched {
            std::string bytes;
            int width = 0;
            int height = 0;
        };
        std::map<std::string, Fetched> fetchedImages;
        int fetched = 0;
        for (HtmlElement* image :
             tree.FindElements([](const HtmlElement& e) { return e.Tag() == "img"; })) {
            const std::string* src = image->FindAttribute("src");
            if (src == nullptr)
                continue;
            const std::string address = tree.Resolve(*src);
            if (!IsFetchable(address, load.allowFile))
                continue;
            auto known = fetchedImages.find(address);
            if (known == fetchedImages.end()) {
                if (fetched >= options.imageLimit)
                    continue;
                ++fetched;
                const TransferRequest request{
                    address, load.allowFile ? "http,https,file" : "http,https", true, true};
                const TransferResult result = transfer.Run(
                    request, [&] { return Aborted(load); }, [](const std::string&) {});
                if (result.error == E_ABORT || Aborted(load))
                    return false;
                Fetched entry;
                entry.bytes = SUCCEEDED(result.error) ? std::to_string(result.bytes) : "-1";
                if (SUCCEEDED(result.error))
                    ReadImageSize(result.body, &entry.width, &entry.height);
                known = fetchedImages.emplace(address, entry).first;
            }
            image->SetFileSize(known->second.bytes);
            image->SetNaturalSize(known->second.width, known->second.height);
        }
        return true;
    }

    PageLoadSink& sink;
    PageLoaderOptions options;
    CurlTransfer transfer;

    std::mutex mutex;  // guards pending
    std::condition_variable wake;
    std::optional<Request> pending;
    std::atomic<PageLoadId> latest{0};
    std::atomic<PageLoadId> stopped{0};
    std::atomic<bool> shutdown{false};

    // Held while the sink is called and while Navigate starts a load, so that no event
    // of a superseded load starts after Navigate returned. Re-entrant: a sink call may
    // call Navigate or Stop.
    std::recursive_mutex delivery;
    PageLoadId allowed = 0;  // guarded by delivery
    PageLoadId lastId = 0;   // guarded by delivery

    std::thread thread;  // started last, joined by the destructor
};

CurlPageLoader::CurlPageLoader(PageLoadSink& sink, PageLoaderOptions options)
    : worker_(std::make_unique<Worker>(sink, options)) {}

CurlPageLoader::~CurlPageLoader() = default;

PageLoadId CurlPageLoader::Navigate(const std::string& url, DWORD downloadControl) {
    return worker_->Navigate(url, downloadControl);
}

void CurlPageLoader::Stop() {
    worker_->Stop();
}
