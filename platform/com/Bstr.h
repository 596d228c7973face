// Strings of the COM boundary in the platform's shape: a BSTR points at UTF-16
// characters that follow a 4-byte length prefix (the length in bytes) and are
// followed by a NUL character. The length, not the NUL, ends the text, so a BSTR may
// hold NUL characters. A null BSTR is the empty text everywhere.
//
// BSTRs are allocated with the C library's malloc, so one made in one module may be
// freed in another. Ownership: the caller frees what it passes (an [in] BSTR stays
// the caller's) and what it receives (an [out] BSTR becomes the caller's).
//
// All functions are safe on any thread; none throws unless it says so.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

// A copy of a NUL-terminated text; null for a null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A BSTR of length characters copied from text (NULs included); with a null text the
// characters are zero. Null when memory runs out.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// Frees a BSTR of any module; a null BSTR is ignored.
void SysFreeString(BSTR text);
// The length in characters; 0 for a null BSTR.
UINT SysStringLen(BSTR text);

// A new BSTR holding text (converted as Utf8ToUtf16 of platform/text/Text.h does:
// malformed bytes become U+FFFD, NULs are kept); null only when memory runs out.
BSTR Utf8ToBstr(std::string_view text);
// The whole text of a BSTR (to its length, NULs included; an unpaired surrogate
// becomes U+FFFD); "" for a null BSTR.
std::string BstrToUtf8(BSTR text);

// Owns one BSTR and frees it on destruction.
class ScopedBstr {
public:
    ScopedBstr() = default;
    // Throws std::bad_alloc when memory runs out.
    explicit ScopedBstr(std::string_view text);
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ScopedBstr(ScopedBstr&& other) noexcept;
    ScopedBstr& operator=(ScopedBstr&& other) noexcept;
    ~ScopedBstr() { SysFreeString(text_); }

    BSTR get() const { return text_; }
    // For an [out] BSTR: frees the current text first, then owns what the call gives.
    BSTR* receive();
    std::string utf8() const { return BstrToUtf8(text_); }

private:
    BSTR text_ = nullptr;
};
