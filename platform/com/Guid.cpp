#include "platform/com/Guid.h"

#include "platform/text/Text.h"

#include <cstdio>
#include <exception>
#include <random>

namespace {

// Reads count hexadecimal digits at text[pos]; false when one is not a digit.
bool ReadHex(std::string_view text, size_t pos, size_t count, unsigned long long* value) {
    *value = 0;
    for (size_t i = 0; i < count; ++i) {
        const int digit = HexDigitValue(text[pos + i]);
        if (digit < 0)
            return false;
        *value = (*value << 4) | static_cast<unsigned>(digit);
    }
    return true;
}

bool ParseRegistryForm(std::string_view text, GUID* guid) {
    constexpr size_t kLength = 38;
    if (text.size() != kLength || text[0] != '{' || text[37] != '}')
        return false;
    if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-')
        return false;
    unsigned long long value = 0;
    if (!ReadHex(text, 1, 8, &value))
        return false;
    guid->Data1 = static_cast<DWORD>(value);
    if (!ReadHex(text, 10, 4, &value))
        return false;
    guid->Data2 = static_cast<WORD>(value);
    if (!ReadHex(text, 15, 4, &value))
        return false;
    guid->Data3 = static_cast<WORD>(value);
    // Data4: two bytes before the last dash, six after it.
    constexpr size_t kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        if (!ReadHex(text, kBytePositions[i], 2, &value))
            return false;
        guid->Data4[i] = static_cast<BYTE>(value);
    }
    return true;
}

}  // namespace

HRESULT CoCreateGuid(GUID* guid) {
    if (guid == nullptr)
        return E_POINTER;
    try {
        std::random_device source;
        BYTE bytes[16];
        for (size_t i = 0; i < sizeof bytes; i += 4) {
            const unsigned value = source();
            for (size_t k = 0; k < 4; ++k)
                bytes[i + k] = static_cast<BYTE>(value >> (8 * k));
        }
        guid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
                      static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
        guid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
        // Version 4 in the top nibble of Data3, variant bits 10 in the top of Data4[0].
        guid->Data3 = static_cast<WORD>(((bytes[6] & 0x0F) | 0x40) << 8 | bytes[7]);
        guid->Data4[0] = static_cast<BYTE>((bytes[8] & 0x3F) | 0x80);
        for (size_t i = 1; i < 8; ++i)
            guid->Data4[i] = bytes[8 + i];
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

std::string GuidToString(REFGUID guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

HRESULT CLSIDFromString(std::string_view text, CLSID* clsid) {
    if (clsid == nullptr)
        return E_INVALIDARG;
    GUID parsed{};
    if (!ParseRegistryForm(text, &parsed)) {
        *clsid = GUID_NULL;
        return CO_E_CLASSSTRING;
    }
    *clsid = parsed;
    return S_OK;
}
