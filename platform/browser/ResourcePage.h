// Pages and pictures served from a module's resources: "res://<module>/<resource>".
//
// <module> is the module's file as GetModuleFileName gives it (a system path written
// with "\\", so it holds no "/"): everything between "res://" and the next "/" names
// the module. <resource> is "<id>" for an HTML resource (type 23) or "<type>/<id>"
// for another type, by name ("GIF/320") or number ("2/7"); a query or fragment after
// it is ignored when the resource is read.
//
// Only modules the process has loaded already are read: an address never makes the
// process load a library. All calls are safe on any thread; none throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

// Splits a res: address into its module path and its resource part (query and
// fragment cut off). False when the address is not one.
bool SplitResourceAddress(std::string_view address, std::string* module, std::string* resource);

// href made absolute against base, a res: address: a fragment or query keeps base's
// resource; a path resolves against base's resource part ("GIF/320" on
// "res://M/214" gives "res://M/GIF/320"), never leaving the module. Blanks, double
// quotes and angle brackets in href are percent-encoded; the module part of base is
// kept as it stands.
std::string ResolveResourceReference(std::string_view base, std::string_view href);

// The bytes of the resource an address names. S_OK, or INET_E_INVALID_URL for an
// address that is not a res: address of a resource, INET_E_RESOURCE_NOT_FOUND when no
// loaded module has that path or the module has no such resource. *html tells whether
// it is an HTML resource (type 23).
HRESULT ReadResourcePage(std::string_view address, std::string* bytes, bool* html);
