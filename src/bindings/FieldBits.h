#pragma once
// The bit field a binding edits: its mask and shift from the lowest and highest bit, and shifts
// that stay defined for any distance.

#include <cstdint>

namespace hwc {

struct FieldBits {
    std::uint32_t mask = 0; // after shifting the field down
    int shift = 0;          // lowest bit; fields of 32 bits or more start at bit 0
};

inline FieldBits FieldFromBits(int lowBit, int highBit) {
    const long width = static_cast<long>(highBit) - lowBit + 1;
    if (width >= 32)
        return {0xFFFFFFFFu, 0};
    if (width <= 0)
        return {0, lowBit};
    return {(std::uint32_t{1} << width) - 1, lowBit};
}

// Shifts by any distance; bits shifted past either end are lost.
inline std::uint32_t ShiftRight(std::uint32_t value, int distance) {
    if (distance < 0)
        return distance <= -32 ? 0 : value << -distance;
    return distance >= 32 ? 0 : value >> distance;
}

inline std::uint32_t ShiftLeft(std::uint32_t value, int distance) {
    if (distance < 0)
        return distance <= -32 ? 0 : value >> -distance;
    return distance >= 32 ? 0 : value << distance;
}

} // namespace hwc
