#pragma once
// Copies into the fixed-size, zero-terminated text fields of plain records, cut to fit.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace hwc {

// Copies at most N-1 characters of src into dst and zero-terminates it; never overflows.
template <std::size_t N> void CopyCut(char (&dst)[N], std::string_view src) {
    static_assert(N > 0);
    const std::size_t n = src.size() < N - 1 ? src.size() : N - 1;
    if (n > 0)
        std::memmove(dst, src.data(), n);
    dst[n] = '\0';
}

// The text of a fixed field up to its terminator (or its full size when it has none).
template <std::size_t N> std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

} // namespace hwc
