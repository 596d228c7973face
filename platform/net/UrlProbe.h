// The reachability probe that stands in for the platform's open of a URL.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

// TRUE when a response to the URL arrives: for http and https, the head of any
// response (any status; a redirect is not followed) within the time-outs; for file
// URLs, an existing readable file or folder. The connection must be made within
// timeoutMilliseconds and the response head must then arrive within as long again;
// the body is never read. FALSE for every other URL and every failure.
// Any thread; blocks for at most twice the time-out; never called with the process
// lock held.
BOOL ProbeUrl(std::string_view url, DWORD timeoutMilliseconds);
