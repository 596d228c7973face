#include "engine/util/UrlClassification.h"

#include "engine/util/PathHelpers.h"
#include "engine/util/StringArrays.h"
#include "engine/util/StringUtilities.h"
#include "platform/net/UrlProbe.h"
#include "platform/net/UrlText.h"
#include "platform/timing/Timing.h"

namespace {

constexpr size_t kMaximumPageUrlLength = 500;

constexpr std::string_view kImageExtensions[] = {".jpg", ".jpeg", ".gif", ".mov", ".gz",
                                                 ".bmp", ".png",  ".tif", ".tiff"};

constexpr std::string_view kNonPageExtensions[] = {".tar", ".gz",   ".exe", ".pdf", ".doc",
                                                   ".txt", ".zip",  ".pqa", ".pdb", ".prc",
                                                   ".reg", ".wsdl", ".pd",  ".xml", ".ram"};

constexpr std::string_view kPageExtensions[] = {
    ".dhtml", ".jhtml", ".html", ".htm",  ".asp", ".aspx", ".jsp",     ".cgi",  ".acgi",  ".cfm",
    ".cfml",  ".php",   ".php3", ".php4", ".ssf", ".shtm", ".xhtml",   ".xhtm", ".shtml", ".shml",
    ".phtml", ".stm",   ".pl",   ".py",   ".pyw", ".tcl",  ".story",   ".sto",  ".bc",    ".adp",
    ".fadp",  ".nsf",   ".edu",  ".hwz",  ".hrb", ".do",   ".servlet", ".ctx",  ".vue",   ".faq"};
static_assert(std::size(kPageExtensions) == 40);

bool Contains(std::string_view text, std::string_view piece) {
    return text.find(piece) != std::string_view::npos;
}

template <size_t N>
bool ContainsAny(std::string_view text, const std::string_view (&pieces)[N]) {
    for (std::string_view piece : pieces) {
        if (Contains(text, piece))
            return true;
    }
    return false;
}

// The copy cut before its last "*", then before its last "?".
std::string CutStarAndQuery(std::string_view text) {
    return StripQuery(TruncateAtLast(text, '*'));
}

// The position of c when it lies beyond position 0, else npos.
size_t FindBeyondStart(std::string_view text, char c) {
    const size_t hit = text.find(c);
    return hit == 0 ? std::string_view::npos : hit;
}

}  // namespace

std::string UnescapeUrl(std::string_view text) {
    // The decoded text ends at an escaped NUL, as the platform's text buffer does; it is
    // never cut for its length.
    std::string out = UrlUnescape(text);
    const size_t nul = out.find('\0');
    if (nul != std::string::npos)
        out.resize(nul);
    return out;
}

bool UrlExists(std::string_view text) {
    if (!PathIsURL(text))
        return false;
    return ProbeUrl(text, Timing().reachabilityProbeTimeoutMs) != FALSE;
}

bool IsHttpUrl(std::string_view text) {
    const std::string lower = ToLowerAscii(text);
    return Contains(lower, "http:") || Contains(lower, "https:");
}

bool IsImageExtension(std::string_view url) {
    const std::string lower = ToLowerAscii(url);
    if (Contains(lower, "?"))
        return false;
    return ContainsAny(lower, kImageExtensions);
}

bool IsNonPageFile(std::string_view url) {
    return ContainsAny(ToLowerAscii(StripQuery(url)), kNonPageExtensions);
}

bool IsFollowableLink(std::string_view url, bool allowFiles) {
    if (url.empty())
        return false;
    const std::string copy = CutStarAndQuery(TrimString(ToLowerAscii(url)));
    if (!allowFiles && IsNonPageFile(copy))
        return false;
    if (Contains(copy, "javascript:") || Contains(copy, "mailto:") || Contains(copy, "news:")) {
        return false;
    }
    if (Contains(copy, "http:") || Contains(copy, "https:"))
        return true;
    return PathIsURL(url);
}

bool IsPageExtension(std::string_view url, bool allowFiles) {
    std::string copy = ToLowerAscii(url);
    if (copy.size() > kMaximumPageUrlLength)
        return false;
    if (!IsFollowableLink(copy, allowFiles))
        return false;
    if (!copy.empty() && (copy.back() == '/' || copy.back() == '\\'))
        return true;
    if (Contains(copy, "#"))
        return false;
    copy = CutStarAndQuery(copy);
    if (ContainsAny(copy, kPageExtensions))
        return true;
    return !Contains(FileNameOfPath(copy), ".");
}

void FilterPageUrls(const StringArray& list, StringArray& out) {
    for (const std::string& url : list) {
        if (IsPageExtension(url))
            out.push_back(url);
    }
}

void FilterImageUrls(const StringArray& list, StringArray& out) {
    for (const std::string& url : list) {
        if (IsImageExtension(url))
            out.push_back(url);
    }
}

std::string HostOfUrl(std::string_view url) {
    // Drop the scheme, its ":" and the two characters after it (normally "//").
    std::string_view working = url;
    const size_t colon = FindBeyondStart(url, ':');
    if (colon != std::string_view::npos) {
        working = colon + 3 < url.size() ? url.substr(colon + 3) : std::string_view();
    }
    // The "/" cut wins over the "\" cut, even when the "\" comes first.
    std::string_view host = working;
    const size_t backslash = FindBeyondStart(working, '\\');
    if (backslash != std::string_view::npos)
        host = working.substr(0, backslash);
    const size_t slash = FindBeyondStart(working, '/');
    if (slash != std::string_view::npos)
        host = working.substr(0, slash);

    // User information ("user:pw@") is no part of the host; its ":" would otherwise be
    // taken for a port below.
    const size_t at = host.rfind('@');
    if (at != std::string_view::npos)
        host = host.substr(at + 1);
    // The port stays part of the host: another port is another site. A "\" left in
    // the host is flattened on both sides of the port's ":", which stays.
    std::string result(host);
    if (FindBeyondStart(result, '\\') == std::string::npos)
        return result;
    const size_t port = FindBeyondStart(result, ':');
    if (port == std::string::npos)
        return FileNameFromUrl(result, false);
    return FileNameFromUrl(std::string_view(result).substr(0, port), false) + ":" +
           FileNameFromUrl(std::string_view(result).substr(port + 1), false);
}

#if defined(MORVELLE_CORVANE_UTILITIES)
std::string DomainOfHost(std::string_view host) {
    StringArray labels;
    SplitText(host, labels, 7);
    if (labels.size() < 2)
        return std::string(host);
    return labels[labels.size() - 2] + "." + labels.back();
}
#endif
