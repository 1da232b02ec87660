#include "model/DisplayText.h"

#include <cstdio>
#include <locale.h>
#include <string_view>

namespace {

struct tScaledValue {
    double value;
    const char* unit;
};

// Number formatting in the "C" locale for the calling thread, whatever locale the desktop
// program has set for the user, so that a page never shows "0,75 sec" beside "0.75 sec".
class CCLocaleScope {
public:
    CCLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (cLocale != static_cast<locale_t>(0))
            m_previous = uselocale(cLocale);
    }
    ~CCLocaleScope() {
        if (m_previous != static_cast<locale_t>(0))
            uselocale(m_previous);
    }
    CCLocaleScope(const CCLocaleScope&) = delete;
    CCLocaleScope& operator=(const CCLocaleScope&) = delete;

private:
    locale_t m_previous = static_cast<locale_t>(0);
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips the flags, a width and a precision of one conversion (at most three digits each, so
// that no format can ask for megabytes of padding); returns false on anything else.
bool SkipConversionOptions(std::string_view format, std::size_t& i) {
    while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos)
        ++i;
    for (int part = 0; part < 2; ++part) {
        if (part == 1) {
            if (i >= format.size() || format[i] != '.')
                return true;
            ++i;
        }
        int digits = 0;
        while (i < format.size() && IsDigit(format[i])) {
            ++i;
            if (++digits > 3)
                return false;
        }
    }
    return true;
}

// True when printf can safely take the format with the arguments (double, string, string):
// at most one floating-point conversion, first, then at most two string conversions.
bool IsValueFormat(std::string_view format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        if (!SkipConversionOptions(format, i) || i >= format.size())
            return false;
        if (conversions == 0) {
            if (format[i] == 'l')
                ++i;
            if (i >= format.size() ||
                std::string_view("fFeEgGaA").find(format[i]) == std::string_view::npos)
                return false;
        } else if (conversions > 2 || format[i] != 's') {
            return false;
        }
        ++conversions;
    }
    return true;
}

// Cuts to the display length without splitting a multi-byte UTF-8 character.
std::string CutToDisplay(std::string text) {
    if (text.size() <= kDisplayTextMax)
        return text;
    std::size_t end = kDisplayTextMax;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

// "%.5f" without trailing zeros and without a trailing decimal separator.
std::string ShortNumber(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.5f", value);
    std::string number(buffer);
    if (number.find_first_of(".,") == std::string::npos)
        return number;
    while (!number.empty() && number.back() == '0')
        number.pop_back();
    if (!number.empty() && (number.back() == '.' || number.back() == ','))
        number.pop_back();
    return number;
}

std::string ValueText(const tScaledValue& scaled, const char* suffix, const char* zeroText,
                      const char* format, double original) {
    if (original == 0)
        return CutToDisplay(zeroText != nullptr ? zeroText : "OFF");
    CCLocaleScope cLocale;
    if (format != nullptr && IsValueFormat(format)) {
        char buffer[2048];
        std::snprintf(buffer, sizeof buffer, format, scaled.value, scaled.unit, suffix);
        return CutToDisplay(buffer);
    }
    return CutToDisplay(ShortNumber(scaled.value) + scaled.unit + suffix);
}

tScaledValue ScaleFrequency(double hz, bool autoUnit) {
    if (!(hz > 0 && autoUnit))
        return {hz, " "};
    if (hz > 500000)
        return {hz / 1000000, " M"};
    if (hz > 500)
        return {hz / 1000, " k"};
    return {hz, " "};
}

tScaledValue ScaleTime(double seconds, bool autoUnit) {
    if (!(seconds > 0 && autoUnit) || seconds > 0.5)
        return {seconds, " sec"};
    if (seconds > 0.0001)
        return {seconds * 1000, " ms"};
    return {seconds * 1000000, " us"};
}

} // namespace

std::string FrequencyText(double hz, bool autoUnit, const char* zeroText, const char* format) {
    return ValueText(ScaleFrequency(hz, autoUnit), "Hz", zeroText, format, hz);
}

std::string TimeText(double seconds, bool autoUnit, const char* zeroText, const char* format) {
    return ValueText(ScaleTime(seconds, autoUnit), "", zeroText, format, seconds);
}
