#include "platform/net/UrlDownload.h"

#include <curl/curl.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "platform/lock/ProcessLock.h"
#include "platform/net/CurlSupport.h"
#include "platform/trace/Trace.h"

namespace {

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    FileWriter* writer = static_cast<FileWriter*>(user);
    const size_t length = size * count;
    return writer->Write(std::string_view(data, length)) ? length : 0;
}

HRESULT CopyFileUrl(const std::string& target, std::string_view path) {
    std::string source;
    std::string contents;
    if (!FileUrlToPath(target, &source) || !ReadFileBytes(source, &contents)) {
        Trace("net", "download of %s: no such file", target.c_str());
        return E_FAIL;
    }
    if (!WriteFileBytes(path, contents)) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    return S_OK;
}

}  // namespace

HRESULT URLDownloadToFile(std::string_view url, std::string_view path,
                          const DownloadOptions& options) {
    const std::string target = RequestUrl(url);
    switch (KindOfUrl(url)) {
        case UrlKind::File:
            return CopyFileUrl(target, path);
        case UrlKind::Other:
            Trace("net", "download of %s: not an http, https or file URL", target.c_str());
            return E_FAIL;
        case UrlKind::Http:
            break;
    }
    AssertProcessLockNotHeld();
    FileWriter writer;
    if (!writer.Open(path)) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    EnsureCurlReady();
    CURL* curl = curl_easy_init();
    if (!curl)
        return E_FAIL;
    UseSharedConnections(curl);
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, kNoProxyHosts);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMilliseconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.transferTimeoutMilliseconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &writer);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (result != CURLE_OK) {
        Trace("net", "download of %s: %s", target.c_str(), curl_easy_strerror(result));
        return E_FAIL;  // the writer removes its temporary file
    }
    if (!writer.Close()) {
        Trace("net", "download of %s: cannot write %.*s", target.c_str(),
              static_cast<int>(path.size()), path.data());
        return E_FAIL;
    }
    return S_OK;
}
