#include "engine/util/PageText.h"

#include "platform/text/Text.h"

namespace {

bool NeedsPercentEncoding(unsigned char c) {
    return c <= 0x20 || c == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '`';
}

void AppendPercentEncoded(std::string& out, unsigned char c) {
    static const char kHexDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

enum class UrlPlace { Attribute, ScriptString };

std::string EncodeUrl(std::string_view url, UrlPlace place) {
    std::string out;
    out.reserve(url.size());
    for (char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsPercentEncoding(byte)) {
            AppendPercentEncoded(out, byte);
        } else if (c == '&' && place == UrlPlace::Attribute) {
            out += "&amp;";
        } else if (c == '\\' && place == UrlPlace::ScriptString) {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool WriteText(FileWriter& file, std::string_view text) {
    return file.Write(text);
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string EscapeAttributeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string EncodeUrlForAttribute(std::string_view url) {
    return EncodeUrl(url, UrlPlace::Attribute);
}

std::string EncodeUrlForScriptString(std::string_view url) {
    return EncodeUrl(url, UrlPlace::ScriptString);
}

std::string FilePathToAddress(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsPercentEncoding(byte) || byte >= 0x80 || c == '%' || c == '#' || c == '?')
            AppendPercentEncoded(out, byte);
        else
            out += c;
    }
    return out;
}

bool IsScriptUrl(std::string_view url) {
    size_t start = 0;
    while (start < url.size() && static_cast<unsigned char>(url[start]) <= 0x20)
        ++start;
    std::string scheme;
    for (size_t i = start; i < url.size() && scheme.size() < 11; ++i) {
        const char c = url[i];
        if (c == '\t' || c == '\n' || c == '\r')
            continue;
        scheme += ToLowerAscii(c);
    }
    return scheme.starts_with("javascript:") || scheme.starts_with("vbscript:");
}
