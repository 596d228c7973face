#include "programs/sollet/CommandLine.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::string ReadStartUrl(const StringArray& arguments) {
    std::string url;
    bool expectingUrl = false;
    for (const std::string& argument : arguments) {
        if (!argument.empty() && (argument.front() == '-' || argument.front() == '/')) {
            if (EqualsIgnoringCase(std::string_view(argument).substr(1), "httpvrl"))
                expectingUrl = true;
            continue;
        }
        if (expectingUrl)
            url = argument;
    }
    return url;
}
