#include "engine/util/Conversions.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "engine/util/StringArrays.h"
#include "platform/text/Text.h"

namespace {

// Reads a decimal number at text[pos] the way "%d" does: white space, a sign, digits.
// On success pos moves behind the digits. Values are held to the range of int.
bool ScanDecimal(std::string_view text, size_t& pos, int* value) {
    size_t i = pos;
    while (i < text.size() && IsAsciiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const size_t firstDigit = i;
    long long magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (text[i] - '0');
        ++i;
    }
    if (i == firstDigit)
        return false;
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX)
        signedValue = INT_MAX;
    if (signedValue < INT_MIN)
        signedValue = INT_MIN;
    *value = static_cast<int>(signedValue);
    pos = i;
    return true;
}

// Reads a hexadecimal number the way "%x" does into 32 bits; false when no digit.
bool ScanHex(std::string_view text, std::uint32_t* value) {
    size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    bool readDigit = false;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        readDigit = true;  // the "0" of the prefix counts as read
        i += 2;
    }
    std::uint64_t magnitude = 0;
    for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
        readDigit = true;
        if (magnitude <= 0xFFFFFFFFu)
            magnitude = magnitude * 16 + static_cast<unsigned>(HexDigitValue(text[i]));
    }
    if (!readDigit)
        return false;
    auto bits = static_cast<std::uint32_t>(magnitude > 0xFFFFFFFFu ? 0xFFFFFFFFu : magnitude);
    if (negative)
        bits = static_cast<std::uint32_t>(0u - bits);
    *value = bits;
    return true;
}

// Matches a literal character of a scan format; a blank in the format matches any
// run of white space, none included.
bool ScanLiteral(std::string_view text, size_t& pos, char literal) {
    if (literal == ' ') {
        while (pos < text.size() && IsAsciiSpace(text[pos]))
            ++pos;
        return true;
    }
    if (pos < text.size() && text[pos] == literal) {
        ++pos;
        return true;
    }
    return false;
}

int ClampToInt(long long value) {
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

bool IsTrueString(std::string_view text) {
    return EqualsNoCase(text, "true");
}

std::string BoolToString(bool b) {
    return b ? "true" : "false";
}

bool ToBool(int n) {
    return n != 0;
}

std::string IntToString(int n) {
    return FormatText("%d", n);
}

std::string FloatToString(double x) {
    return FormatText("%g", x);
}

int StringToInt(std::string_view text) {
    size_t pos = 0;
    int value = 0;
    return ScanDecimal(text, pos, &value) ? value : 0;
}

int HexStringToInt(std::string_view text) {
    std::uint32_t value = 0;
    return ScanHex(text, &value) ? static_cast<int>(value) : 0;
}

#if defined(MORVELLE_CORVANE_UTILITIES)
double StringToFloat(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}
#else
float StringToFloat(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const float value = std::strtof(copy.c_str(), &end);
    return end == copy.c_str() ? 0.0f : value;
}
#endif

std::string HexBytesToText(std::string_view text) {
    StringArray pieces;
    SplitText(text, pieces, 0);
    std::string out;
    for (const std::string& piece : pieces) {
        std::uint32_t value = 0;
        const bool read = ScanHex(piece, &value);
        out.push_back(read && value >= 32 && value <= 255 ? static_cast<char>(value) : '.');
    }
    return out;
}

std::time_t ParseDate(std::string_view text) {
    // month/day/year hour:minute:second
    constexpr char kSeparators[] = {'/', '/', ' ', ':', ':'};
    int numbers[6] = {0, 0, 0, 0, 0, 0};
    int read = 0;
    size_t pos = 0;
    while (read < 6) {
        if (!ScanDecimal(text, pos, &numbers[read]))
            break;
        ++read;
        if (read < 6 && !ScanLiteral(text, pos, kSeparators[read - 1]))
            break;
    }
    if (read < 3)
        return static_cast<std::time_t>(-1);
    std::tm when{};
    when.tm_mon = ClampToInt(static_cast<long long>(numbers[0]) - 1);
    when.tm_mday = numbers[1];
    when.tm_year = ClampToInt(static_cast<long long>(numbers[2]) + 2000 - 1900);
    when.tm_hour = numbers[3];
    when.tm_min = numbers[4];
    when.tm_sec = numbers[5];
    when.tm_isdst = -1;
    return std::mktime(&when);
}
