#include "engine/util/ShellHelpers.h"

#include "platform/file/FileLayer.h"
#include "platform/shell/Shell.h"
#include "platform/text/Text.h"

namespace {

bool IsUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// A header value of a mail URL: unreserved bytes as they are, every other byte as %XX,
// every line end as %0D%0A.
std::string EncodeMailText(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "%0D%0A";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (IsUnreserved(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        }
    }
    return out;
}

bool OpenMail(std::string_view to, std::string_view subject, std::string_view body) {
    std::string url = "mailto:";
    url += to;
    url += "?subject=";
    url += EncodeMailText(subject);
    url += "&body=";
    url += EncodeMailText(body);
    return ShellOpen(url);
}

bool BreaksLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

bool ExploreFolder(std::string_view path) {
    std::string folder = MapToLinuxPath(path);
    if (!folder.empty() && folder.front() == '-')
        folder.insert(0, "./");
    return ShellOpen(folder);
}

bool OpenUrlInBrowser(std::string_view url) {
    return ShellOpen(url);
}

bool SendMailTo(std::string_view to, std::string_view subject, std::string_view body) {
    return OpenMail(to, subject, body);
}

bool SendHtmlMailTo(std::string_view to, std::string_view subject, std::string_view body) {
    std::string html = "<!DOCTYPE HTML PUBLIC\"-//IETF//DTD HTML//EN\">";
    html += body;
    return OpenMail(to, subject, html);
}

HRESULT CreateInternetShortcut(std::string_view url, std::string_view path,
                               std::string_view iconFile, int iconIndex) {
    if (path.empty() || BreaksLine(url) || BreaksLine(iconFile))
        return E_FAIL;
    CrLfWriter text;
    text.Line("[InternetShortcut]");
    text.Text("URL=").Line(url);
    text.Text("IconFile=").Line(iconFile);
    text.Line(FormatText("IconIndex=%d", iconIndex));
    return WriteFileBytes(path, text.str()) ? S_OK : E_FAIL;
}
