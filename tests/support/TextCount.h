#pragma once
// Counting a text's occurrences in another, for tests that check how often a line was written.

#include <cstddef>
#include <string_view>

// How often `part` stands in `text`, overlapping occurrences counted; 0 for an empty part.
inline std::size_t CountOf(std::string_view text, std::string_view part) {
    if (part.empty())
        return 0;
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}
