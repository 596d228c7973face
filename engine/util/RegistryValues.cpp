#include "engine/util/RegistryValues.h"

#include <cstring>

#include "engine/util/Conversions.h"

std::string RegReadString(HKEY key, std::string_view name) {
    DWORD type = REG_NONE;
    std::string data;
    if (RegQueryValueBytes(key, name, &type, &data) != ERROR_SUCCESS)
        return {};
    const size_t nul = data.find('\0');
    if (nul != std::string::npos)
        data.resize(nul);
    return data;
}

bool RegReadBool(HKEY key, std::string_view name) {
    return IsTrueString(RegReadString(key, name));
}

int RegReadInt(HKEY key, std::string_view name) {
    return StringToInt(RegReadString(key, name));
}

bool RegReadBinary(HKEY key, std::string_view name, BYTE* buffer, DWORD size) {
    DWORD type = REG_NONE;
    std::string data;
    if (RegQueryValueBytes(key, name, &type, &data) != ERROR_SUCCESS || data.size() > size)
        return false;
    if (!data.empty())
        std::memcpy(buffer, data.data(), data.size());
    return true;
}

bool RegWriteString(HKEY key, std::string_view name, std::string_view text) {
    std::string stored(text);
    stored.push_back('\0');
    return RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                         static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
}

bool RegWriteBool(HKEY key, std::string_view name, bool b) {
    return RegWriteString(key, name, BoolToString(b));
}

bool RegWriteInt(HKEY key, std::string_view name, int n) {
    return RegWriteString(key, name, IntToString(n));
}

bool RegWriteBinary(HKEY key, std::string_view name, const BYTE* data, DWORD size) {
    return RegSetValueEx(key, name, REG_BINARY, data, size) == ERROR_SUCCESS;
}

#if defined(MORVELLE_CORVANE_UTILITIES)
double RegReadNumber(HKEY key, std::string_view name) {
    return StringToFloat(RegReadString(key, name));
}

bool RegWriteNumber(HKEY key, std::string_view name, double x) {
    return RegWriteString(key, name, FloatToString(x));
}
#endif
