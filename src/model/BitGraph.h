#pragma once
// The description of a one-bit timing graph: a bit cut into equal time quanta, its segments in
// order, the sample point and how far resynchronisation may move it. Modules compute it, the
// graph control carries it as text (which is what text-only runs print), and the desktop draws
// it from that text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hwc {

struct tBitGraphSegment {
    std::string label;
    int quanta = 0;
    bool operator==(const tBitGraphSegment&) const = default;
};

struct tBitGraph {
    int quanta = 0;                        // the whole bit
    std::vector<tBitGraphSegment> segments; // in order, from the start of the bit
    int sampleAfter = 0;                   // quanta before the sample point
    int jumpWidth = 0;                     // quanta the sample point may move either way
    std::uint32_t colour = 0x800000;       // 0x00BBGGRR
    bool operator==(const tBitGraph&) const = default;
};

// "10 quanta: sync 1, prop 3, pseg1 3, pseg2 3; sample after 7; jump 1; colour 0x800000".
std::string FormatBitGraph(const tBitGraph& graph);
// Reads the text back; none when it is not such a description or its numbers disagree.
std::optional<tBitGraph> ParseBitGraph(std::string_view text);

} // namespace hwc
