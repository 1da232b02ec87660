#include "modules/memory/SemiChipSelect.h"

#include <algorithm>

#include "base/TextUtil.h"

namespace hwc::semi {

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u;
    return (value >> low) & mask;
}

std::optional<std::uint32_t> BlockSizeWords(std::uint32_t code) {
    if (code > kLargestSizeCode)
        return std::nullopt;
    return kSmallestBlockWords << code;
}

std::optional<std::uint32_t> tChipSelect::End() const {
    if (!sizeWords)
        return std::nullopt;
    // Computed in 64 bits: a misaligned 16 M-word block would wrap in 32.
    const std::uint64_t end = static_cast<std::uint64_t>(base) + *sizeWords - 1u;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, kAddressSpaceEnd));
}

bool tChipSelect::Aligned() const {
    return !sizeWords || base % *sizeWords == 0;
}

tChipSelect DecodeChipSelect(std::uint32_t baseRegister, std::uint32_t optionRegister) {
    tChipSelect chipSelect;
    chipSelect.access = static_cast<int>(Field(optionRegister, kAccessLow, kAccessHigh));
    chipSelect.dataSpace = Field(optionRegister, kDataSpaceBit, kDataSpaceBit) != 0;
    chipSelect.base = Field(baseRegister, kBaseLow, kBaseHigh) << kBaseShift;
    chipSelect.sizeWords = BlockSizeWords(Field(baseRegister, kSizeCodeLow, kSizeCodeHigh));
    return chipSelect;
}

std::string RangeText(const tChipSelect& chipSelect) {
    const std::optional<std::uint32_t> end = chipSelect.End();
    if (!end)
        return "??";
    return Format("0x%06X - 0x%06X", chipSelect.base, *end);
}

bool Overlap(const tChipSelect& a, const tChipSelect& b) {
    if (!a.Enabled() || !b.Enabled() || a.dataSpace != b.dataSpace)
        return false;
    const std::optional<std::uint32_t> endA = a.End();
    const std::optional<std::uint32_t> endB = b.End();
    if (!endA || !endB)
        return false;
    return a.base <= *endB && b.base <= *endA;
}

std::uint32_t AccessCycles(std::uint32_t waitStates, std::uint32_t setup, std::uint32_t hold) {
    return 1u + waitStates + setup + hold;
}

} // namespace hwc::semi
