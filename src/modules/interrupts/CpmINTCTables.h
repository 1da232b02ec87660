#pragma once
// The interrupt vector tables of the processor variants: per source its description ("21. SCI 0
// Transmitter Empty") and its flag word, and the sources single processors lack. The tables in
// CpmINTCTables.cpp are generated from the vector plans of the architecture files.

#include <cstdint>
#include <span>

namespace hwc {

// Bits of a source's flag word.
namespace VectorFlag {
inline constexpr std::uint16_t FIXED_NAME = 0x1;  // the routine is fixed: not written, not edited
inline constexpr std::uint16_t FIXED_LEVEL = 0x2; // the priority cannot be changed
inline constexpr std::uint16_t NO_LEVEL = 0x4;    // the source has no priority at all
inline constexpr std::uint16_t DISABLED = 0x10;   // "Disabled" is offered
inline constexpr std::uint16_t LEVEL0 = 0x20;     // "Level 0" .. "Level 3" are offered
inline constexpr std::uint16_t LEVEL1 = 0x40;
inline constexpr std::uint16_t LEVEL2 = 0x80;
inline constexpr std::uint16_t LEVEL3 = 0x100;
inline constexpr std::uint16_t HIDDEN = 0x8000; // reserved, or hidden by the architecture file
inline constexpr std::uint16_t RESERVED = 0x8013;
} // namespace VectorFlag

struct tVectorEntry {
    const char* description;
    std::uint16_t flags;
};

enum class EVectorTable {
    FamG,
    Entry5, // processor entry 5
    Entry6, // processor entry 6
    FamK,
    FamK102, // FamK processors of flag 102
    Flag97,  // the small FamJ processors
    FamB,
    FamC,
    FamE,
    FamF,
    FamD,
    FamA,
};

// Single processors whose sources are reserved because they lack the peripheral.
struct tReservedSources {
    int entry;
    std::span<const std::uint8_t> sources;
};

std::span<const tVectorEntry> VectorTable(EVectorTable table);
// The four sources reserved on the FamC processors of flag 107 (they have no second timer).
std::span<const std::uint8_t> FamC107ReservedSources();
// Per processor entry of FamE and FamF, the sources it lacks.
std::span<const tReservedSources> ReservedSourcesByProcessor();

} // namespace hwc
