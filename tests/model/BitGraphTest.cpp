#include <gtest/gtest.h>

#include "model/BitGraph.h"

using hwc::FormatBitGraph;
using hwc::ParseBitGraph;
using hwc::tBitGraph;

namespace {

tBitGraph TenQuanta() {
    return {10, {{"sync", 1}, {"prop", 3}, {"pseg1", 3}, {"pseg2", 3}}, 7, 1, 0x800000};
}

} // namespace

TEST(BitGraphTest, FormatsWhatABatchRunPrints) {
    EXPECT_EQ(FormatBitGraph(TenQuanta()),
              "10 quanta: sync 1, prop 3, pseg1 3, pseg2 3; sample after 7; jump 1; "
              "colour 0x800000");
}

TEST(BitGraphTest, ReadsItsOwnTextBack) {
    const tBitGraph graph = TenQuanta();
    EXPECT_EQ(ParseBitGraph(FormatBitGraph(graph)), graph);
    const tBitGraph threeSegments{25, {{"sync", 1}, {"tseg1", 16}, {"tseg2", 8}}, 17, 4, 0xFF};
    EXPECT_EQ(ParseBitGraph(FormatBitGraph(threeSegments)), threeSegments);
}

TEST(BitGraphTest, RefusesTextThatIsNotAConsistentDescription) {
    EXPECT_FALSE(ParseBitGraph(""));
    EXPECT_FALSE(ParseBitGraph("???"));
    EXPECT_FALSE(ParseBitGraph("10 quanta:"));
    EXPECT_FALSE(ParseBitGraph("10 quanta: sync 1; sample after 1; jump 0; colour 0x0"))
        << "segments must add up to the bit";
    EXPECT_FALSE(ParseBitGraph("4 quanta: sync 1, prop 3; sample after 5; jump 0; colour 0x0"))
        << "the sample point lies inside the bit";
    EXPECT_FALSE(ParseBitGraph("4 quanta: sync 1, prop -3; sample after 1; jump 0; colour 0x0"));
    EXPECT_FALSE(ParseBitGraph("4 quanta: sync 1, prop 3; sample after 1; jump 0; colour 0x0 x"));
    EXPECT_FALSE(ParseBitGraph("2147483647 quanta: a 2147483647, b 2147483647; sample after 1; "
                               "jump 0; colour 0x0"))
        << "segment sums do not wrap around";
    EXPECT_FALSE(ParseBitGraph("99999999999 quanta: a 1; sample after 1; jump 0; colour 0x0"));
    EXPECT_TRUE(ParseBitGraph("4 quanta: sync 1, prop 3; sample after 1; jump 0; colour 0x0"));
}
