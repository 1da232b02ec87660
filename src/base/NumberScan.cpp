#include "base/NumberScan.h"

#include <charconv>
#include <limits>

#include "base/TextUtil.h"

namespace hwc {
namespace {

// The digit's value, or a value too large for any base for a character that is no digit.
int DigitValue(char c) {
    const int value = HexDigitValue(c);
    return value < 0 ? 99 : value;
}

} // namespace

std::optional<ScannedInteger> ScanInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '0') {
        base = 8;
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    const std::size_t firstDigit = i;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    while (i < text.size() && DigitValue(text[i]) < base) {
        const auto digit = static_cast<std::uint64_t>(DigitValue(text[i]));
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
            overflow = true;
        else
            magnitude = magnitude * base + digit;
        ++i;
    }
    if (i == firstDigit)
        return std::nullopt;

    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    ScannedInteger result;
    result.end = i;
    if (negative) {
        overflow = overflow || magnitude > kMax + 1;
        result.value = overflow ? std::numeric_limits<std::int64_t>::min()
                                : static_cast<std::int64_t>(0 - magnitude);
    } else {
        overflow = overflow || magnitude > kMax;
        result.value = overflow ? std::numeric_limits<std::int64_t>::max()
                                : static_cast<std::int64_t>(magnitude);
    }
    result.overflow = overflow;
    return result;
}

std::optional<std::uint32_t> ToRegisterValue(const ScannedInteger& number) {
    if (number.overflow || number.value < std::numeric_limits<std::int32_t>::min() ||
        number.value > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
        return std::nullopt;
    return static_cast<std::uint32_t>(number.value);
}

std::optional<std::uint32_t> ReadLeadingU32(std::string_view text) {
    const auto number = ScanInteger(text);
    if (!number)
        return std::nullopt;
    return ToRegisterValue(*number);
}

std::optional<std::uint32_t> ReadExactU32(std::string_view text) {
    const auto number = ScanInteger(text);
    if (!number || number->end != text.size())
        return std::nullopt;
    return ToRegisterValue(*number);
}

std::optional<std::uint32_t> ReadIntegerConstant(std::string_view text) {
    const auto number = ScanInteger(text);
    if (!number)
        return std::nullopt;
    for (std::size_t i = number->end; i < text.size(); ++i) {
        const char c = text[i];
        if (c != 'u' && c != 'U' && c != 'l' && c != 'L' && !IsSpace(c))
            return std::nullopt;
    }
    return ToRegisterValue(*number);
}

std::optional<double> ReadLeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-')
        ++i;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

std::optional<double> ReadExactDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    // from_chars takes no leading '+', "%lf" does.
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-')
        ++i;
    double value = 0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace hwc
