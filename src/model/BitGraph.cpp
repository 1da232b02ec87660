#include "model/BitGraph.h"

#include <charconv>
#include <cstdio>

namespace hwc {

std::string FormatBitGraph(const tBitGraph& graph) {
    std::string text = std::to_string(graph.quanta) + " quanta:";
    const char* separator = " ";
    for (const tBitGraphSegment& segment : graph.segments) {
        text += separator + segment.label + ' ' + std::to_string(segment.quanta);
        separator = ", ";
    }
    char tail[96];
    std::snprintf(tail, sizeof tail, "; sample after %d; jump %d; colour 0x%06X", graph.sampleAfter,
                  graph.jumpWidth, static_cast<unsigned>(graph.colour));
    return text + tail;
}

namespace {

// A small cursor over the description text; every reader fails softly.
struct tReader {
    std::string_view rest;

    bool Literal(std::string_view word) {
        if (rest.substr(0, word.size()) != word)
            return false;
        rest.remove_prefix(word.size());
        return true;
    }
    bool Number(int& value, int base = 10) {
        const auto [end, error] =
            std::from_chars(rest.data(), rest.data() + rest.size(), value, base);
        if (error != std::errc() || value < 0)
            return false;
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
        return true;
    }
    bool Label(std::string& label) {
        const std::size_t blank = rest.find(' ');
        if (blank == 0 || blank == std::string_view::npos)
            return false;
        label.assign(rest.substr(0, blank));
        rest.remove_prefix(blank + 1);
        return true;
    }
};

} // namespace

std::optional<tBitGraph> ParseBitGraph(std::string_view text) {
    tReader reader{text};
    tBitGraph graph;
    if (!reader.Number(graph.quanta) || !reader.Literal(" quanta:"))
        return std::nullopt;
    long long sum = 0; // wide enough for any count of int segments read here
    do {
        tBitGraphSegment segment;
        if (!reader.Literal(" ") || !reader.Label(segment.label) || !reader.Number(segment.quanta))
            return std::nullopt;
        sum += segment.quanta;
        graph.segments.push_back(std::move(segment));
    } while (reader.Literal(","));
    int colour = 0;
    if (!reader.Literal("; sample after ") || !reader.Number(graph.sampleAfter) ||
        !reader.Literal("; jump ") || !reader.Number(graph.jumpWidth) ||
        !reader.Literal("; colour 0x") || !reader.Number(colour, 16) || !reader.rest.empty())
        return std::nullopt;
    graph.colour = static_cast<std::uint32_t>(colour);
    if (sum != graph.quanta || graph.sampleAfter > graph.quanta)
        return std::nullopt;
    return graph;
}

} // namespace hwc
