#pragma once
// Regular expressions with ECMAScript syntax, built so that matching long input cannot exhaust
// the stack: the library's default matcher recurses once per character consumed, which a line of
// a few hundred kilobytes already overflows; the polynomial (breadth-first) matcher does not.

#include <regex>

namespace hwc {

inline std::regex MakeRegex(const char* pattern, bool multiline) {
    auto flags = std::regex::ECMAScript | std::regex_constants::__polynomial;
    if (multiline)
        flags |= std::regex::multiline;
    return std::regex(pattern, flags);
}

} // namespace hwc
