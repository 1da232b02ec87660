#include "project/ProcessorTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace hwc;

namespace {

// The entry numbers that hold for a processor name.
std::vector<int> MatchingEntries(std::string_view processorName) {
    const tProcessorGroups groups = ComputeProcessorGroups(processorName);
    std::vector<int> entries;
    for (int i = 0; i < kProcessorEntryCount; ++i) {
        if (groups[i])
            entries.push_back(i);
    }
    return entries;
}

} // namespace

TEST(ProcessorTable, PartNamesMatchTheirEntryAndEveryGroupAroundIt) {
    EXPECT_EQ(MatchingEntries("K7Q1030"), (std::vector<int>{2, 94}));
    EXPECT_EQ(MatchingEntries("K7Q2410"), (std::vector<int>{23, 95, 96, 98, 100}));
    EXPECT_EQ(MatchingEntries("K7Q2530"), (std::vector<int>{29, 95, 106, 107}));
    EXPECT_EQ(MatchingEntries("K7Q4300"), (std::vector<int>{70, 113, 115}));
    EXPECT_EQ(MatchingEntries("K7Q5180"), (std::vector<int>{93, 116, 118}));
    // The only group whose range lies after it.
    EXPECT_EQ(MatchingEntries("K7Q0820"), (std::vector<int>{103, 105}));

    // A package suffix still matches the part and its groups.
    EXPECT_EQ(MatchingEntries("K7Q3010VLF"), (std::vector<int>{34, 109, 110}));
    EXPECT_EQ(ProcessorFamilyNames("K7Q3010VLF"), "FamE");

    // Matching is case-sensitive, and an unknown name is in no group.
    EXPECT_TRUE(MatchingEntries("k7q3010").empty());
    EXPECT_TRUE(MatchingEntries("").empty());
    EXPECT_EQ(ProcessorFamilyNames("K7Q9999"), "");
    EXPECT_FALSE(ProcessorEntryMatches(-1, "K7Q1010"));
    EXPECT_FALSE(ProcessorEntryMatches(kProcessorEntryCount, "K7Q1010"));
}

TEST(ProcessorTable, TheMiddlePartExcludesTheTwoLongerNamesThatBeginWithIt) {
    EXPECT_EQ(MatchingEntries("K7Q2200"), (std::vector<int>{17, 95, 101, 102}));
    EXPECT_EQ(MatchingEntries("K7Q2200L"), (std::vector<int>{16, 95, 101, 102}));
    EXPECT_EQ(MatchingEntries("K7Q2200HVLH"), (std::vector<int>{18, 95, 101, 102}));
    EXPECT_TRUE(ProcessorEntryMatches(17, "K7Q2200VLF"));
}

TEST(ProcessorTable, FamilyNamesFollowTheTableOrder) {
    EXPECT_EQ(ProcessorFamilyNames("K7Q2420"), "FamH FamJ FamB");
    EXPECT_EQ(ProcessorFamilyNames("K7Q2150"), "FamH FamK");
    EXPECT_EQ(ProcessorFamilyNames("K7Q2620"), "FamH FamC");
    EXPECT_EQ(ProcessorFamilyNames("K7Q0810"), "FamA");
    EXPECT_EQ(ProcessorFamilyNames("K7Q4020"), "FamF");
    EXPECT_EQ(ProcessorFamilyNames("K7Q5110"), "FamD");
    EXPECT_TRUE(ComputeProcessorGroups("K7Q1050")[ProcessorFamily::FamG]);
}

TEST(ProcessorTable, EvaluationBoardRowIsNamedAfterItsProcessor) {
    const tProcessorDefine* board = FindProcessorDefine("K7Q5110EVK");
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board - ProcessorDefines().data(), 86);
    EXPECT_EQ(ProcessorName(*board), "K7Q5110");
    EXPECT_EQ(FindProcessorDefine("K7Q5110"), nullptr);
    EXPECT_EQ(ProcessorName(*FindProcessorDefine("K7Q5120")), "K7Q5120");
    EXPECT_EQ(MatchingEntries(ProcessorName(*board)), (std::vector<int>{86, 116, 118}));
}

TEST(ProcessorTable, LegacyPartIsSwitchedToItsSuccessor) {
    std::string name = "K7Q2050";
    const tProcessorDefine* row = FindProcessorDefine(name);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(ApplyPartNameAlias(name, row));
    EXPECT_EQ(name, "K7Q2020");
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->macroName, "K7Q2020");
    EXPECT_EQ(MatchingEntries(name), (std::vector<int>{6, 95}));

    // Only the exact legacy name is renamed.
    name = "K7Q2050VLF";
    row = nullptr;
    EXPECT_FALSE(ApplyPartNameAlias(name, row));
    EXPECT_EQ(name, "K7Q2050VLF");
    EXPECT_EQ(row, nullptr);
}

TEST(ProcessorTable, EveryIdentifiableProcessorHasAnArchitectureFile) {
    const std::vector<std::string_view> files = ArchitectureProcessorNames();
    const std::set<std::string_view> fileSet(files.begin(), files.end());
    EXPECT_EQ(files.size(), 96u);
    EXPECT_EQ(fileSet.size(), 96u);

    std::set<std::string> identified;
    for (const tProcessorDefine& row : ProcessorDefines()) {
        std::string name(ProcessorName(row));
        const tProcessorDefine* current = &row;
        ApplyPartNameAlias(name, current);
        EXPECT_EQ(FindProcessorDefine(current->macroName), current);
        EXPECT_TRUE(fileSet.count(name)) << name;
        identified.insert(name);
    }
    EXPECT_EQ(identified.size(), 96u);
    EXPECT_EQ(std::set<std::string_view>(identified.begin(), identified.end()), fileSet);
}
