#include "modules/communication/LscanTiming.h"

#include <algorithm>

#include "base/TextUtil.h"
#include "modules/communication/CanBitTiming.h"

namespace hwc {

int LscanTotalQuanta(const tLscanTiming& timing) {
    return 1 + timing.tseg1 + timing.tseg2;
}

std::vector<tLscanRuleBreak> CheckLscanTiming(const tLscanTiming& timing) {
    std::vector<tLscanRuleBreak> broken;
    const int quanta = LscanTotalQuanta(timing);
    if (quanta < kLscanMinQuanta || quanta > kLscanMaxQuanta)
        broken.push_back({ELscanRule::Quanta,
                          Format("A bit must have between %d and %d time quanta "
                                 "(1 + TSEG1 + TSEG2); this one has %d.",
                                 kLscanMinQuanta, kLscanMaxQuanta, quanta)});
    if (timing.tseg1 < kLscanMinTseg1 || timing.tseg1 > kLscanMaxTseg1)
        broken.push_back({ELscanRule::Tseg1, Format("TSEG1 must be between %d and %d.",
                                                    kLscanMinTseg1, kLscanMaxTseg1)});
    if (timing.tseg2 < kLscanMinTseg2 || timing.tseg2 > kLscanMaxTseg2)
        broken.push_back({ELscanRule::Tseg2, Format("TSEG2 must be between %d and %d.",
                                                    kLscanMinTseg2, kLscanMaxTseg2)});
    if (timing.sjw < 1 || timing.sjw > kLscanMaxSjw)
        broken.push_back({ELscanRule::Sjw, Format("SJW must be between 1 and %d.", kLscanMaxSjw)});
    else if (timing.sjw > timing.tseg2)
        broken.push_back({ELscanRule::Sjw, "SJW must be less than or equal to TSEG2."});
    return broken;
}

std::vector<tLscanCandidate> LscanCandidates(double clockHz, double rate) {
    std::vector<tLscanCandidate> rows;
    if (!(clockHz > 0.0) || !(rate > 0.0))
        return rows;
    for (const tCanQuantaSplit& split :
         CanQuantaSplits(clockHz, rate, kLscanMaxQuanta, kLscanMaxPrescaler)) {
        if (split.prescaler < 1 || split.prescaler > kLscanMaxPrescaler ||
            split.quanta < kLscanMinQuanta || split.quanta > kLscanMaxQuanta)
            continue;
        for (int tseg1 = kLscanMinTseg1; tseg1 <= kLscanMaxTseg1; ++tseg1) {
            const int tseg2 = split.quanta - 1 - tseg1;
            if (tseg2 < kLscanMinTseg2 || tseg2 > kLscanMaxTseg2)
                continue;
            for (int sjw = 1; sjw <= std::min(kLscanMaxSjw, tseg2); ++sjw)
                rows.push_back({split.prescaler, split.quanta, tseg1, tseg2, sjw});
        }
    }
    return rows;
}

std::string LscanCandidateRow(const tLscanCandidate& c) {
    return Format("%d\t%d\t%d\t%d\t%d", c.prescaler, c.quanta, c.tseg1, c.tseg2, c.sjw);
}

tLscanCandidate ParseLscanCandidateRow(const std::string& row) {
    const std::vector<std::string> columns = Split(row, '\t');
    if (columns.size() != 5)
        return {};
    int values[5] = {};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string& text = columns[i];
        if (text.empty() || text.size() > 4 ||
            !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        values[i] = std::stoi(text);
    }
    return {values[0], values[1], values[2], values[3], values[4]};
}

tBitGraph LscanBitGraph(const tLscanTiming& timing) {
    tBitGraph graph;
    graph.quanta = LscanTotalQuanta(timing);
    graph.segments = {{"sync", 1}, {"tseg1", timing.tseg1}, {"tseg2", timing.tseg2}};
    graph.sampleAfter = 1 + timing.tseg1;
    graph.jumpWidth = timing.sjw;
    return graph;
}

// --- Acceptance filters ---

int LscanFilterCount(int mode) {
    switch (mode) {
    case kLscanTwo32:
        return 2;
    case kLscanFour16:
        return 4;
    case kLscanEight8:
        return 8;
    default:
        return 0;
    }
}

int LscanFilterBytes(int mode) {
    const int count = LscanFilterCount(mode);
    return count != 0 ? 8 / count : 0;
}

std::uint32_t LscanFilterValue(const std::array<std::uint8_t, 8>& bytes, int mode, int filter) {
    const int width = LscanFilterBytes(mode);
    if (filter < 0 || filter >= LscanFilterCount(mode))
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | bytes[static_cast<std::size_t>(filter * width + i)];
    return value;
}

void SetLscanFilterValue(std::array<std::uint8_t, 8>& bytes, int mode, int filter,
                         std::uint32_t value) {
    const int width = LscanFilterBytes(mode);
    if (filter < 0 || filter >= LscanFilterCount(mode))
        return;
    for (int i = width - 1; i >= 0; --i) {
        bytes[static_cast<std::size_t>(filter * width + i)] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

std::string LscanFilterText(std::uint32_t value, int bytes) {
    const int digits = bytes >= 1 && bytes <= 4 ? 2 * bytes : 8;
    return Format("0x%0*X", digits, value);
}

std::optional<std::uint32_t> ReadLscanFilterText(std::string_view text) {
    text = Trim(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

namespace {

// The identifier bits and the frame-type bit of a 4- or 2-byte filter value.
struct tDecoded {
    std::uint32_t id = 0;
    bool remote = false;
};

tDecoded Decode(std::uint32_t v, int bytes, bool extended) {
    if (bytes == 4) {
        if (extended)
            return {((v >> 21) & 0x7FFu) << 18 | ((v >> 16) & 0x7u) << 15 | ((v >> 1) & 0x7FFFu),
                    (v & 1u) != 0};
        return {(v >> 21) & 0x7FFu, ((v >> 20) & 1u) != 0};
    }
    // Two bytes: a standard identifier with its frame type, or the extended ID28..15.
    if (extended)
        return {(((v >> 5) & 0x7FFu) << 3 | (v & 0x7u)) << 15, false};
    return {(v >> 5) & 0x7FFu, ((v >> 4) & 1u) != 0};
}

} // namespace

bool LscanIsExtended(std::uint32_t value, int bytes) {
    if (bytes == 4)
        return ((value >> 19) & 1u) != 0;
    if (bytes == 2)
        return ((value >> 3) & 1u) != 0;
    return false;
}

std::string LscanIdentifierText(std::uint32_t value, int bytes) {
    if (bytes == 1)
        return Format("standard 0x%03X (ID10..3) or extended 0x%08X (ID28..21)",
                      (value & 0xFFu) << 3, (value & 0xFFu) << 21);
    if (bytes != 2 && bytes != 4)
        return {};
    const bool extended = LscanIsExtended(value, bytes);
    const tDecoded d = Decode(value, bytes, extended);
    if (extended && bytes == 2)
        return Format("extended 0x%08X (ID28..15)", d.id);
    return Format(extended ? "extended 0x%08X, %s" : "standard 0x%03X, %s", d.id,
                  d.remote ? "remote frame" : "data frame");
}

std::string LscanMaskText(std::uint32_t mask, int bytes, bool extended) {
    if (bytes == 1)
        return Format("ignores ID bits 0x%03X (ID10..3) or 0x%08X (ID28..21)",
                      (mask & 0xFFu) << 3, (mask & 0xFFu) << 21);
    if (bytes != 2 && bytes != 4)
        return {};
    const tDecoded d = Decode(mask, bytes, extended);
    if (extended && bytes == 2)
        return Format("ignores ID bits 0x%08X (ID28..15)", d.id);
    return Format(extended ? "ignores ID bits 0x%08X, %s" : "ignores ID bits 0x%03X, %s", d.id,
                  d.remote ? "any frame type" : "frame type compared");
}

} // namespace hwc
