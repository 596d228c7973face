#include "platform/trace/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/text/Text.h"

namespace {

std::mutex& TraceMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& Channels() {
    static std::string channels = [] {
        const char* env = std::getenv("MORVELLE_TRACE");
        return std::string(env ? env : "");
    }();
    return channels;
}

bool ListHas(std::string_view list, std::string_view channel) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string_view::npos)
            end = list.size();
        const std::string_view item = list.substr(start, end - start);
        if (EqualsNoCase(item, "all") || EqualsNoCase(item, channel))
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool TraceEnabled(std::string_view channel) {
    std::lock_guard<std::mutex> guard(TraceMutex());
    return !Channels().empty() && ListHas(Channels(), channel);
}

void SetTraceChannels(std::string_view channels) {
    std::lock_guard<std::mutex> guard(TraceMutex());
    Channels() = std::string(channels);
}

void Trace(std::string_view channel, const char* format, ...) {
    if (!TraceEnabled(channel))
        return;
    va_list args;
    va_start(args, format);
    const std::string text = FormatTextV(format, args);
    va_end(args);
    std::lock_guard<std::mutex> guard(TraceMutex());
    std::fprintf(stderr, "[%.*s] %s\n", static_cast<int>(channel.size()), channel.data(),
                 text.c_str());
}
