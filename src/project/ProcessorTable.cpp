#include "project/ProcessorTable.h"

#include <cassert>

namespace {

constexpr tProcessorEntry Single(int number, const char* partName) {
    return {number, partName, {nullptr, nullptr}, -1, -1};
}

// A single entry whose part name begins two longer part names that must not match it.
constexpr tProcessorEntry SingleExcept(int number, const char* partName, const char* longer1,
                                       const char* longer2) {
    return {number, partName, {longer1, longer2}, -1, -1};
}

constexpr tProcessorEntry Group(int number, int first, int last) {
    return {number, nullptr, {nullptr, nullptr}, first, last};
}

// Indexed by entry number; each row repeats its number so that the table checks itself.
// clang-format off
constexpr std::array<tProcessorEntry, kProcessorEntryCount> kEntries = {
    Single(0, "K7Q1010"),
    Single(1, "K7Q1020"),
    Single(2, "K7Q1030"),
    Single(3, "K7Q1040"),
    Single(4, "K7Q1050"),
    Single(5, "K7Q2010"),
    Single(6, "K7Q2020"),
    Single(7, "K7Q2110"),
    Single(8, "K7Q2120"),
    Single(9, "K7Q2130"),
    Single(10, "K7Q2140"),
    Single(11, "K7Q2150"),
    Single(12, "K7Q2160"),
    Single(13, "K7Q2170"),
    Single(14, "K7Q2180"),
    Single(15, "K7Q2190"),
    Single(16, "K7Q2200L"),
    SingleExcept(17, "K7Q2200", "K7Q2200L", "K7Q2200H"),
    Single(18, "K7Q2200H"),
    Single(19, "K7Q2310"),
    Single(20, "K7Q2320"),
    Single(21, "K7Q2330"),
    Single(22, "K7Q2340"),
    Single(23, "K7Q2410"),
    Single(24, "K7Q2420"),
    Single(25, "K7Q2430"),
    Single(26, "K7Q2440"),
    Single(27, "K7Q2510"),
    Single(28, "K7Q2520"),
    Single(29, "K7Q2530"),
    Single(30, "K7Q2610"),
    Single(31, "K7Q2620"),
    Single(32, "K7Q2630"),
    Single(33, "K7Q2640"),
    Single(34, "K7Q3010"),
    Single(35, "K7Q3020"),
    Single(36, "K7Q3030"),
    Single(37, "K7Q3040"),
    Single(38, "K7Q3050"),
    Single(39, "K7Q3110"),
    Single(40, "K7Q3120"),
    Single(41, "K7Q3210"),
    Single(42, "K7Q3220"),
    Single(43, "K7Q3230"),
    Single(44, "K7Q3240"),
    Single(45, "K7Q3250"),
    Single(46, "K7Q3260"),
    Single(47, "K7Q3310"),
    Single(48, "K7Q3320"),
    Single(49, "K7Q3330"),
    Single(50, "K7Q3340"),
    Single(51, "K7Q3350"),
    Single(52, "K7Q3360"),
    Single(53, "K7Q3370"),
    Single(54, "K7Q4010"),
    Single(55, "K7Q4020"),
    Single(56, "K7Q4110"),
    Single(57, "K7Q4120"),
    Single(58, "K7Q4130"),
    Single(59, "K7Q4140"),
    Single(60, "K7Q4150"),
    Single(61, "K7Q4210"),
    Single(62, "K7Q4220"),
    Single(63, "K7Q4230"),
    Single(64, "K7Q4240"),
    Single(65, "K7Q4250"),
    Single(66, "K7Q4260"),
    Single(67, "K7Q4270"),
    Single(68, "K7Q4280"),
    Single(69, "K7Q4290"),
    Single(70, "K7Q4300"),
    Single(71, "K7Q4310"),
    Single(72, "K7Q4320"),
    Single(73, "K7Q4330"),
    Single(74, "K7Q4340"),
    Single(75, "K7Q4350"),
    Single(76, "K7Q4360"),
    Single(77, "K7Q4370"),
    Single(78, "K7Q4380"),
    Single(79, "K7Q4390"),
    Single(80, "K7Q4400"),
    Single(81, "K7Q5010"),
    Single(82, "K7Q5020"),
    Single(83, "K7Q5030"),
    Single(84, "K7Q5040"),
    Single(85, "K7Q5050"),
    Single(86, "K7Q5110"),
    Single(87, "K7Q5120"),
    Single(88, "K7Q5130"),
    Single(89, "K7Q5140"),
    Single(90, "K7Q5150"),
    Single(91, "K7Q5160"),
    Single(92, "K7Q5170"),
    Single(93, "K7Q5180"),
    Group(94, 0, 4),
    Group(95, 5, 33),
    Group(96, 19, 26),
    Group(97, 19, 22),
    Group(98, 23, 24),
    Group(99, 25, 26),
    Group(100, 23, 26),
    Group(101, 7, 18),
    Group(102, 16, 18),
    Group(103, 104, 105),
    Single(104, "K7Q0810"),
    Single(105, "K7Q0820"),
    Group(106, 27, 33),
    Group(107, 27, 29),
    Group(108, 30, 33),
    Group(109, 34, 53),
    Group(110, 34, 38),
    Group(111, 41, 46),
    Group(112, 47, 53),
    Group(113, 54, 80),
    Group(114, 54, 55),
    Group(115, 61, 80),
    Group(116, 81, 93),
    Group(117, 81, 85),
    Group(118, 86, 93),
};
// clang-format on

// Every row sits at its own number, and every group range holds single entries only.
constexpr bool EntriesAreConsistent() {
    for (int i = 0; i < kProcessorEntryCount; ++i) {
        const tProcessorEntry& entry = kEntries[i];
        if (entry.number != i)
            return false;
        if (!entry.IsGroup())
            continue;
        if (entry.first < 0 || entry.last >= kProcessorEntryCount || entry.first > entry.last)
            return false;
        for (int member = entry.first; member <= entry.last; ++member) {
            if (kEntries[member].IsGroup())
                return false;
        }
    }
    return true;
}
static_assert(EntriesAreConsistent());

// clang-format off
constexpr std::array<tProcessorDefine, kProcessorDefineCount> kDefines = {{
    {"K7Q1010", ""},
    {"K7Q1020", ""},
    {"K7Q1030", ""},
    {"K7Q1040", ""},
    {"K7Q1050", ""},
    {"K7Q2010", ""},
    {"K7Q2020", ""},
    {"K7Q2110", ""},
    {"K7Q2120", ""},
    {"K7Q2130", ""},
    {"K7Q2140", ""},
    {"K7Q2150", ""},
    {"K7Q2160", ""},
    {"K7Q2170", ""},
    {"K7Q2180", ""},
    {"K7Q2190", ""},
    {"K7Q2200L", ""},
    {"K7Q2200", ""},
    {"K7Q2200H", ""},
    {"K7Q2310", ""},
    {"K7Q2320", ""},
    {"K7Q2330", ""},
    {"K7Q2340", ""},
    {"K7Q2410", ""},
    {"K7Q2420", ""},
    {"K7Q2430", ""},
    {"K7Q2440", ""},
    {"K7Q2510", ""},
    {"K7Q2520", ""},
    {"K7Q2530", ""},
    {"K7Q2610", ""},
    {"K7Q2620", ""},
    {"K7Q2630", ""},
    {"K7Q2640", ""},
    {"K7Q3010", ""},
    {"K7Q3020", ""},
    {"K7Q3030", ""},
    {"K7Q3040", ""},
    {"K7Q3050", ""},
    {"K7Q3110", ""},
    {"K7Q3120", ""},
    {"K7Q3210", ""},
    {"K7Q3220", ""},
    {"K7Q3230", ""},
    {"K7Q3240", ""},
    {"K7Q3250", ""},
    {"K7Q3260", ""},
    {"K7Q3310", ""},
    {"K7Q3320", ""},
    {"K7Q3330", ""},
    {"K7Q3340", ""},
    {"K7Q3350", ""},
    {"K7Q3360", ""},
    {"K7Q3370", ""},
    {"K7Q4010", ""},
    {"K7Q4020", ""},
    {"K7Q4110", ""},
    {"K7Q4120", ""},
    {"K7Q4130", ""},
    {"K7Q4140", ""},
    {"K7Q4150", ""},
    {"K7Q4210", ""},
    {"K7Q4220", ""},
    {"K7Q4230", ""},
    {"K7Q4240", ""},
    {"K7Q4250", ""},
    {"K7Q4260", ""},
    {"K7Q4270", ""},
    {"K7Q4280", ""},
    {"K7Q4290", ""},
    {"K7Q4300", ""},
    {"K7Q4310", ""},
    {"K7Q4320", ""},
    {"K7Q4330", ""},
    {"K7Q4340", ""},
    {"K7Q4350", ""},
    {"K7Q4360", ""},
    {"K7Q4370", ""},
    {"K7Q4380", ""},
    {"K7Q4390", ""},
    {"K7Q4400", ""},
    {"K7Q5010", ""},
    {"K7Q5020", ""},
    {"K7Q5030", ""},
    {"K7Q5040", ""},
    {"K7Q5050", ""},
    {"K7Q5110EVK", "K7Q5110"},
    {"K7Q5120", ""},
    {"K7Q5130", ""},
    {"K7Q5140", ""},
    {"K7Q5150", ""},
    {"K7Q5160", ""},
    {"K7Q5170", ""},
    {"K7Q5180", ""},
    {"K7Q0810", ""},
    {"K7Q0820", ""},
    {"K7Q2050", ""},
}};
// clang-format on

constexpr tPartNameAlias kAlias = {"K7Q2050", "K7Q2020"};

} // namespace

const std::array<tProcessorDefine, kProcessorDefineCount>& ProcessorDefines() {
    return kDefines;
}

const std::array<tProcessorEntry, kProcessorEntryCount>& ProcessorEntries() {
    return kEntries;
}

const tPartNameAlias& PartNameAlias() {
    return kAlias;
}

std::string_view ProcessorName(const tProcessorDefine& row) {
    if (row.displayName && *row.displayName)
        return row.displayName;
    return row.macroName;
}

const tProcessorDefine* FindProcessorDefine(std::string_view macroName) {
    for (const tProcessorDefine& row : kDefines) {
        if (macroName == row.macroName)
            return &row;
    }
    return nullptr;
}

bool ApplyPartNameAlias(std::string& processorName, const tProcessorDefine*& row) {
    if (processorName != kAlias.legacyName)
        return false;
    const tProcessorDefine* successor = FindProcessorDefine(kAlias.successorName);
    assert(successor);
    processorName = kAlias.successorName;
    row = successor;
    return true;
}

bool ProcessorEntryMatches(int entry, std::string_view processorName) {
    if (entry < 0 || entry >= kProcessorEntryCount)
        return false;
    const tProcessorEntry& test = kEntries[entry];
    if (test.IsGroup()) {
        for (int member = test.first; member <= test.last; ++member) {
            // Ranges hold single entries only (checked above), so this recurses one level.
            if (ProcessorEntryMatches(member, processorName))
                return true;
        }
        return false;
    }
    if (processorName.find(test.partName) == std::string_view::npos)
        return false;
    for (const char* longer : test.excluded) {
        if (longer && processorName.find(longer) != std::string_view::npos)
            return false;
    }
    return true;
}

tProcessorGroups ComputeProcessorGroups(std::string_view processorName) {
    tProcessorGroups groups{};
    for (int entry = 0; entry < kProcessorEntryCount; ++entry)
        groups[entry] = ProcessorEntryMatches(entry, processorName);
    return groups;
}

std::vector<std::string_view> ArchitectureProcessorNames() {
    std::vector<std::string_view> names;
    for (const tProcessorEntry& entry : kEntries) {
        if (!entry.IsGroup())
            names.emplace_back(entry.partName);
    }
    return names;
}

namespace hwc {

const std::array<tFamilyName, 10>& ProcessorFamilies() {
    static constexpr std::array<tFamilyName, 10> kFamilies = {{
        {"FamG", ProcessorFamily::FamG},
        {"FamH", ProcessorFamily::FamH},
        {"FamJ", ProcessorFamily::FamJ},
        {"FamB", ProcessorFamily::FamB},
        {"FamK", ProcessorFamily::FamK},
        {"FamA", ProcessorFamily::FamA},
        {"FamC", ProcessorFamily::FamC},
        {"FamE", ProcessorFamily::FamE},
        {"FamF", ProcessorFamily::FamF},
        {"FamD", ProcessorFamily::FamD},
    }};
    return kFamilies;
}

std::string ProcessorFamilyNames(const tProcessorGroups& groups) {
    std::string names;
    for (const tFamilyName& family : ProcessorFamilies()) {
        if (!groups[family.entry])
            continue;
        if (!names.empty())
            names += ' ';
        names += family.name;
    }
    return names;
}

std::string ProcessorFamilyNames(std::string_view processorName) {
    return ProcessorFamilyNames(ComputeProcessorGroups(processorName));
}

} // namespace hwc
