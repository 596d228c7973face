#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/text/Text.h"

namespace {

// The block: the byte length (4 bytes), the characters, a NUL character.
constexpr size_t kPrefixBytes = sizeof(DWORD);
// The byte length must fit the prefix.
constexpr UINT kMaximumLength = 0xFFFFFFFFu / sizeof(OLECHAR);

DWORD* PrefixOf(BSTR text) {
    return reinterpret_cast<DWORD*>(reinterpret_cast<char*>(text) - kPrefixBytes);
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > kMaximumLength)
        return nullptr;
    const size_t bytes = size_t{length} * sizeof(OLECHAR);
    void* block = std::malloc(kPrefixBytes + bytes + sizeof(OLECHAR));
    if (!block)
        return nullptr;
    *static_cast<DWORD*>(block) = static_cast<DWORD>(bytes);
    auto* characters = reinterpret_cast<BSTR>(static_cast<char*>(block) + kPrefixBytes);
    if (text)
        std::memcpy(characters, text, bytes);
    else
        std::memset(characters, 0, bytes);
    characters[length] = 0;
    return characters;
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(PrefixOf(text));
}

UINT SysStringLen(BSTR text) {
    return text ? *PrefixOf(text) / sizeof(OLECHAR) : 0;
}

BSTR Utf8ToBstr(std::string_view text) {
    try {
        const std::u16string wide = Utf8ToUtf16(text);
        if (wide.size() > kMaximumLength)
            return nullptr;
        return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::string BstrToUtf8(BSTR text) {
    return Utf16ToUtf8(std::u16string_view(text ? text : u"", SysStringLen(text)));
}

ScopedBstr::ScopedBstr(std::string_view text) : text_(Utf8ToBstr(text)) {
    if (!text_)
        throw std::bad_alloc();
}

ScopedBstr::ScopedBstr(ScopedBstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}

ScopedBstr& ScopedBstr::operator=(ScopedBstr&& other) noexcept {
    if (this != &other) {
        SysFreeString(text_);
        text_ = std::exchange(other.text_, nullptr);
    }
    return *this;
}

BSTR* ScopedBstr::receive() {
    SysFreeString(std::exchange(text_, nullptr));
    return &text_;
}
