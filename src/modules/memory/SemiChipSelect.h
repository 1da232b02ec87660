#pragma once
// What the external memory interface's registers mean for one chip select: the address block
// it decodes (base and block-size code of its base register), whether and how it is enabled
// (option register), and the checks between chip selects. Free of pages, so the module, its
// summary and the tests share one reading of the bits.

#include <cstdint>
#include <optional>
#include <string>

namespace hwc::semi {

inline constexpr int kChipSelectCount = 8;

// Bus control register: default wait states outside the chip selects, bus driven while idle.
inline constexpr int kBcrReadWaitLow = 0, kBcrReadWaitHigh = 4;
inline constexpr int kBcrWriteWaitLow = 5, kBcrWriteWaitHigh = 9;
inline constexpr int kBcrDriveIdleBit = 15;

// Base register: block-size code, then address bits 23..12 of the base.
inline constexpr int kSizeCodeLow = 0, kSizeCodeHigh = 3;
inline constexpr int kBaseLow = 4, kBaseHigh = 15;
inline constexpr int kBaseShift = 12; // the base field holds the address from bit 12 up

// Option register: access enable, byte enables, space, read and write wait states.
inline constexpr int kAccessLow = 0, kAccessHigh = 1;
inline constexpr int kLowerByteBit = 2, kUpperByteBit = 3;
inline constexpr int kDataSpaceBit = 4;
inline constexpr int kReadWaitLow = 5, kReadWaitHigh = 9;
inline constexpr int kWriteWaitLow = 10, kWriteWaitHigh = 14;

// Timing register: setup and hold cycles of reads and writes.
inline constexpr int kReadSetupLow = 0, kReadSetupHigh = 1;
inline constexpr int kReadHoldLow = 2, kReadHoldHigh = 3;
inline constexpr int kWriteSetupLow = 4, kWriteSetupHigh = 5;
inline constexpr int kWriteHoldLow = 6, kWriteHoldHigh = 7;

inline constexpr std::uint32_t kWaitStateMax = 31;
// The smallest block is 4 K words; each code doubles it up to the whole 16 M-word space.
inline constexpr std::uint32_t kSmallestBlockWords = 0x1000;
inline constexpr std::uint32_t kLargestSizeCode = 12;
inline constexpr std::uint32_t kAddressSpaceEnd = 0xFFFFFF;

enum EAccess { kAccessOff = 0, kAccessRead = 1, kAccessWrite = 2, kAccessReadWrite = 3 };

std::uint32_t Field(std::uint32_t value, int low, int high);

// The block size in words of a size code; nothing for the reserved codes above 12.
std::optional<std::uint32_t> BlockSizeWords(std::uint32_t code);

// One chip select as its base and option registers set it.
struct tChipSelect {
    int access = kAccessOff;
    bool dataSpace = false;
    std::uint32_t base = 0;                 // first word address
    std::optional<std::uint32_t> sizeWords; // nothing for a reserved size code
    bool Enabled() const { return access != kAccessOff; }
    // The last word address; a block that would run past the 24-bit space ends with it.
    std::optional<std::uint32_t> End() const;
    // The base is a multiple of the block size (a reserved size counts as aligned: there is
    // nothing to compare with).
    bool Aligned() const;
};

tChipSelect DecodeChipSelect(std::uint32_t baseRegister, std::uint32_t optionRegister);

// "0x010000 - 0x017FFF", or "??" for a reserved size code.
std::string RangeText(const tChipSelect& chipSelect);

// Two enabled chip selects of the same space share at least one address.
bool Overlap(const tChipSelect& a, const tChipSelect& b);

// Bus cycles of one access: the cycle itself, its wait states and the setup and hold cycles.
std::uint32_t AccessCycles(std::uint32_t waitStates, std::uint32_t setup, std::uint32_t hold);

} // namespace hwc::semi
