#pragma once
// The arithmetic of the older CAN controller: the rules its bit timing must keep, every exact
// split of a bit rate into its prescaler and segments, the bit graph, and how the acceptance
// filters' identifier and mask bytes read as CAN identifiers in each filter mode.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/BitGraph.h"

namespace hwc {

// Limits of the controller's timing, in the values a user sees (field + 1).
inline constexpr int kLscanMinQuanta = 8;
inline constexpr int kLscanMaxQuanta = 25;
inline constexpr int kLscanMaxPrescaler = 64;
inline constexpr int kLscanMinTseg1 = 4;
inline constexpr int kLscanMaxTseg1 = 16;
inline constexpr int kLscanMinTseg2 = 2;
inline constexpr int kLscanMaxTseg2 = 8;
inline constexpr int kLscanMaxSjw = 4;

// One bit timing in the values a user sees.
struct tLscanTiming {
    int prescaler = 1;
    int tseg1 = 1;
    int tseg2 = 1;
    int sjw = 1;
};

// 1 (sync) + TSEG1 + TSEG2.
int LscanTotalQuanta(const tLscanTiming& timing);

// The rules, each reported on the field it concerns.
enum class ELscanRule { Quanta, Tseg1, Tseg2, Sjw };
struct tLscanRuleBreak {
    ELscanRule rule = ELscanRule::Quanta;
    std::string message;
};
// Every rule the timing breaks, in rule order (quanta, TSEG1, TSEG2, SJW); empty when it keeps
// them all.
std::vector<tLscanRuleBreak> CheckLscanTiming(const tLscanTiming& timing);

// One exact split of a bit: a row of the candidate list.
struct tLscanCandidate {
    int prescaler = 0;
    int quanta = 0;
    int tseg1 = 0;
    int tseg2 = 0;
    int sjw = 0;
    bool operator==(const tLscanCandidate&) const = default;
};
// Every split of the clock (Hz) into the rate (bit/s) that keeps the rules, ordered by quanta,
// then TSEG1, then SJW ascending. Empty for a rate or clock that is not positive.
std::vector<tLscanCandidate> LscanCandidates(double clockHz, double rate);
// The five "%d" columns of a row, joined with tabs.
std::string LscanCandidateRow(const tLscanCandidate& candidate);
// Reads a row back; all zero when it is not such a row.
tLscanCandidate ParseLscanCandidateRow(const std::string& row);

// One bit: sync 1, tseg1, tseg2; sampled after 1 + TSEG1; moved by SJW.
tBitGraph LscanBitGraph(const tLscanTiming& timing);

// --- Acceptance filters ---

enum ELscanFilterMode : int { kLscanTwo32 = 0, kLscanFour16 = 1, kLscanEight8 = 2, kLscanClosed = 3 };

// Filters of the mode (2, 4, 8; none while closed) and the bytes each takes (4, 2, 1).
int LscanFilterCount(int mode);
int LscanFilterBytes(int mode);
// A filter's bytes as one number (its first byte most significant), and the reverse; a filter
// the mode lacks reads 0 and is not written.
std::uint32_t LscanFilterValue(const std::array<std::uint8_t, 8>& bytes, int mode, int filter);
void SetLscanFilterValue(std::array<std::uint8_t, 8>& bytes, int mode, int filter,
                         std::uint32_t value);

// A filter value as hex digits of the filter's width ("0x2460" for two bytes), and the reverse:
// "0x" and hex digits, or decimal digits, at most 32 bits; none for anything else.
std::string LscanFilterText(std::uint32_t value, int bytes);
std::optional<std::uint32_t> ReadLscanFilterText(std::string_view text);

// Whether an identifier of the filter's width is laid out as an extended frame (IDE set); the
// 8-bit filters do not say.
bool LscanIsExtended(std::uint32_t value, int bytes);
// The identifier bits a filter value holds, decoded: "standard 0x123, data frame",
// "extended 0x1ABCDEF0, remote frame", "extended 0x12340000 (ID28..15)", or for one byte
// "standard 0x120 (ID10..3) or extended 0x02400000 (ID28..21)".
std::string LscanIdentifierText(std::uint32_t value, int bytes);
// A mask decoded in the layout of its filter's identifier: which identifier bits it ignores
// (1 = ignored) and whether the frame type is compared.
std::string LscanMaskText(std::uint32_t mask, int bytes, bool extended);

} // namespace hwc
