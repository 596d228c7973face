// What the probe, the download and the page loader share: libcurl's one-time set-up,
// the process's one connection cache and the URL text they hand to it. For platform/
// only.
#pragma once

#include <string>
#include <string_view>

// Initialises libcurl once per process; safe on any thread.
void EnsureCurlReady();

// Puts a libcurl easy handle (a CURL*) on the process's one connection cache, so that
// the probes, page loads and downloads of a process reuse their connections to a
// server. The cache is shared across threads under its own locks and lives until the
// process ends; a transfer's own options, its time-outs among them, are left alone.
// Call after EnsureCurlReady, before the transfer. Any thread.
void UseSharedConnections(void* easy);

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
