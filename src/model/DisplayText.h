#pragma once
// The texts module pages show for derived frequencies and times: a number with a unit prefix
// chosen to keep it short, or a placeholder when the value is 0.

#include <cstddef>
#include <string>

// The longest text a page shows for a frequency or a time.
inline constexpr std::size_t kDisplayTextMax = 29;

// A frequency in Hz as text. With autoUnit, a positive value above 500000 is shown in MHz and
// one above 500 in kHz. Without a format the number has at most five decimals, trailing zeros
// and a trailing point removed ("8 MHz"); a format gets the value as a double, then the unit
// prefix (" M", " k" or " ") and "Hz" as two strings ("%.3f%s%s"). A format that asks for
// anything else is not used. 0 gives zeroText, or "OFF" when it is null. Numbers are written
// in the "C" locale and the result is cut to kDisplayTextMax characters.
std::string FrequencyText(double hz, bool autoUnit, const char* zeroText = nullptr,
                          const char* format = nullptr);

// A time in seconds as text, as FrequencyText does with the units " sec" (above 0.5 s),
// " ms" (above 0.0001 s) and " us", and no suffix; the format gets the value and the unit.
std::string TimeText(double seconds, bool autoUnit, const char* zeroText = nullptr,
                     const char* format = nullptr);
