#include "model/UpDown.h"

#include <algorithm>
#include <cstdlib>

#include "base/NumberScan.h"
#include "base/TextUtil.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The number of hex digits after a leading "0x", or -1 when the text is not hex.
int HexDigitCount(std::string_view text) {
    if (text.size() < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return -1;
    int digits = 0;
    for (std::size_t i = 2; i < text.size() && IsHexDigit(text[i]); ++i)
        ++digits;
    return digits;
}

} // namespace

std::string UpDownBuddyText(std::string_view buddyText, int delta, std::int32_t low,
                            std::int32_t high) {
    // The arithmetic runs in 64 bits so that a step past the top of the 32-bit range stops at
    // the top instead of wrapping round to 0.
    const std::int64_t first = static_cast<std::uint32_t>(low);
    const std::int64_t last = static_cast<std::uint32_t>(high);
    std::int64_t change = delta;
    if (last < first)
        change = -change;

    const std::int64_t minimum = std::min(first, last);
    const std::int64_t maximum = std::max(first, last);
    const std::int64_t value = hwc::ReadLeadingU32(buddyText).value_or(first);
    const std::int64_t step = change == 0 ? 1 : std::llabs(change);
    std::int64_t next = value + change;
    if (next < 0)
        next = minimum;
    next = std::clamp(step * (next / step), minimum, maximum);

    const int hexDigits = HexDigitCount(buddyText);
    if (hexDigits < 0)
        return hwc::Format("%u", static_cast<unsigned>(next));
    return hwc::Format("0x%0*X", hexDigits, static_cast<unsigned>(next));
}
