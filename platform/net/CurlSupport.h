// What the probe and the download share: libcurl's one-time set-up and the URL text
// they hand to it. For platform/net only.
#pragma once

#include <string>
#include <string_view>

// Initialises libcurl once per process; safe on any thread.
void EnsureCurlReady();

// Which kind of URL the network layer sees in a text (the scheme ignoring case,
// leading and trailing white space ignored).
enum class UrlKind { Http, File, Other };
UrlKind KindOfUrl(std::string_view url);

// The URL as it is sent: white space at both ends trimmed, the fragment cut off, a
// "\" before the query turned into "/" (as browsers read such links), and every byte
// that may not stand in a URL (controls, blank, bytes above 127, and " < > \ ^ ` { | })
// percent-encoded.
std::string RequestUrl(std::string_view url);

// Hosts that are never reached through a proxy: the loopback addresses.
constexpr const char* kNoProxyHosts = "127.0.0.1,localhost,::1";
