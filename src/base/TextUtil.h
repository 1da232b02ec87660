#pragma once
// Small text helpers shared by every layer: trimming, case-free comparison, printf-style formatting.

#include <string>
#include <string_view>
#include <vector>

namespace hwc {

// White space as the C library's isspace() sees it in the "C" locale.
inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of a hexadecimal digit (either case), or -1 for any other character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Replaces every occurrence of `from` (which must not be empty) by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Splits at every occurrence of the separator; an empty text gives one empty part.
std::vector<std::string> Split(std::string_view text, char separator);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace hwc
