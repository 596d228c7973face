// Late-bound properties of automation objects: a member found by its name
// (GetIDsOfNames, locale LOCALE_SYSTEM_DEFAULT) and read or written through Invoke.
//
// None throws; each runs on the thread that may use the object, with no lock needed.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

// Reads the property (Invoke with DISPATCH_METHOD | DISPATCH_PROPERTYGET, no
// arguments) into *result. False when object is null, the name is unknown or a call
// fails; *result is then empty.
bool GetProperty(IDispatch* object, std::string_view name, VARIANT* result);

// Writes the property: Invoke with DISPATCH_PROPERTYPUT and one argument named
// DISPID_PROPERTYPUT holding the value. False when object is null or a call fails.
bool PutProperty(IDispatch* object, std::string_view name, const VARIANT& value);
bool PutProperty(IDispatch* object, std::string_view name, int value);
bool PutProperty(IDispatch* object, std::string_view name, std::string_view text);
bool PutProperty(IDispatch* object, std::string_view name, IDispatch* value);

// GetProperty typed: whether it succeeded; a 32-bit integer or a double as a number
// (else 0); a boolean (else false); a string (else "").
bool HasProperty(IDispatch* object, std::string_view name);
double GetNumberProperty(IDispatch* object, std::string_view name);
bool GetBoolProperty(IDispatch* object, std::string_view name);
std::string GetStringProperty(IDispatch* object, std::string_view name);
