#pragma once
// Number reading with the C library's "%i" and "%lf" rules, on text that need not be
// zero-terminated and independent of the process locale.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hwc {

struct ScannedInteger {
    std::int64_t value = 0;  // saturated when `overflow` is set
    bool overflow = false;   // the digits do not fit in 64 bits
    std::size_t end = 0;     // characters consumed, leading white space included
};

// Reads an integer the way "%i" does: leading white space, an optional sign, then "0x"
// hexadecimal, leading-zero octal or decimal digits. Reading stops at the first character that
// cannot continue the number. No digits: no result.
std::optional<ScannedInteger> ScanInteger(std::string_view text);

// The 32-bit register value of a scanned integer: values from -2^31 to 2^32-1 are taken
// (negative ones in two's complement); anything larger does not fit.
std::optional<std::uint32_t> ToRegisterValue(const ScannedInteger& number);

// "%i" at the start of the text, the rest ignored (a trailing "U" or "L" ends the number).
std::optional<std::uint32_t> ReadLeadingU32(std::string_view text);

// " %i%c" with exactly one conversion: a number and nothing at all after it.
std::optional<std::uint32_t> ReadExactU32(std::string_view text);

// A whole C integer constant as a register value: "%i", then nothing but the suffix letters
// u, U, l and L and blanks ("0x5005U", "8000000L", "-5"). An expression such as "4 * X" or
// "(X - 1)" is no constant, so no value.
std::optional<std::uint32_t> ReadIntegerConstant(std::string_view text);

// The leading decimal floating-point number of the text, as atof() reads it: white space, then
// the longest prefix that is a number; the rest (for example a trailing "L") is ignored.
std::optional<double> ReadLeadingDouble(std::string_view text);

// " %lf%c" with exactly one conversion: a floating-point number and nothing after it.
std::optional<double> ReadExactDouble(std::string_view text);

} // namespace hwc
