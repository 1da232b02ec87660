#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "modules/memory/CpmCRC.h"
#include "support/ModuleDefines.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"
#include "support/ShownValue.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using R = CpmCRC;

// A selected generator of the given processor groups with its page open.
struct CCrcFixture {
    explicit CCrcFixture(std::set<int> groups) {
        host.groups = std::move(groups);
        crc = &host.Add<R>("CRC", "CRC");
        host.BindAll();
        crc->SetSelected(true);
        crc->CreatePage();
        crc->OnInitialUpdate();
        crc->UpdateControlStates();
    }
    CPageControl* Find(int id) { return crc->Page()->FindControl(id); }
    CPageControl& Control(int id) { return *Find(id); }
    std::string Shown(int id) { return hwc::test::ShownValue(Control(id)); }
    void Load(std::uint32_t first, std::uint32_t second) {
        crc->Item(0).dwValue = first;
        crc->Item(1).dwValue = second;
        crc->RefreshControls();
        crc->UpdateControlStates();
    }
    std::vector<std::string> Names() { return hwc::test::DefineNames(*crc); }
    // The written defines: name -> value text.
    std::map<std::string, std::string> Defines() { return hwc::test::WrittenDefines(*crc); }

    CHost host;
    R* crc = nullptr;
};

} // namespace

TEST(CpmCRC, RegisterSetFollowsTheProcessorGroup) {
    for (int group : {CModule::kFamE, CModule::kFamD}) {
        CCrcFixture f({group});
        EXPECT_EQ(f.crc->TemplateId(), R::kTemplateId) << group;
        EXPECT_EQ(f.Names(), (std::vector<std::string>{"CRC_GPOLY_INIT", "CRC_CTRL_INIT"}));
        EXPECT_NE(f.Find(R::kWidthId), nullptr);
    }
    for (int group : {CModule::kFamF, CModule::kFamA, CModule::kFamG}) {
        CCrcFixture f({group});
        EXPECT_EQ(f.crc->TemplateId(), R::kOlderTemplateId) << group;
        EXPECT_EQ(f.Names(), (std::vector<std::string>{"CRC_CRCH_INIT", "CRC_CRCL_INIT"}));
        // Only the two polynomial edits.
        for (int id : {R::kWidthId, R::kComplementId, R::kTransposeReadId, R::kTransposeWriteId})
            EXPECT_EQ(f.Find(id), nullptr) << id;
        EXPECT_TRUE(f.Control(R::kHighId).IsEnabled());
    }
}

TEST(CpmCRC, ThirtyTwoBitPolynomialIsWrittenWhole) {
    CCrcFixture f({CModule::kFamE});
    CPage& page = *f.crc->Page();
    // Out of reset the protocol is 16-bit and only the low half-word can be edited.
    EXPECT_EQ(f.Shown(R::kWidthId), "16-bit");
    EXPECT_FALSE(f.Control(R::kHighId).IsEnabled());
    EXPECT_TRUE(f.Control(R::kLowId).IsEnabled());
    page.UserSelect(f.Control(R::kWidthId), 1);
    f.crc->UpdateControlStates();
    EXPECT_TRUE(f.Control(R::kHighId).IsEnabled());
    EXPECT_EQ(f.crc->Item(R::kControlItem).dwValue, 1u << 24);
    page.UserEdit(f.Control(R::kHighId), "0x04C1");
    page.UserEdit(f.Control(R::kLowId), "0x1DB7");
    EXPECT_EQ(f.crc->Item(R::kPolynomialItem).dwValue, 0x04C11DB7u);
    page.UserSelect(f.Control(R::kTransposeReadId), 3);
    EXPECT_EQ((f.crc->Item(R::kControlItem).dwValue >> 28) & 3u, 3u);
    page.UserSelect(f.Control(R::kTransposeWriteId), 2);
    page.UserClick(f.Control(R::kComplementId));
    EXPECT_EQ(f.crc->Item(R::kControlItem).dwValue, 0xB5000000u);
    const auto defines = f.Defines();
    EXPECT_EQ(defines.at("CRC_GPOLY_INIT"), "0x04C11DB7U");
    EXPECT_EQ(defines.at("CRC_CTRL_INIT"), "0xB5000000U");
}

TEST(CpmCRC, LoadedValuesShowTheirMeaning) {
    CCrcFixture f({CModule::kFamD});
    struct tCase {
        std::uint32_t gpoly, ctrl;
        const char *width, *complement, *read, *write, *high, *low;
        bool highEnabled;
    };
    const tCase cases[] = {
        {0, 0, "16-bit", "[ ]", "No transposition", "No transposition", "0x0", "0x0", false},
        {0x04C11DB7, 0x01000000, "32-bit", "[ ]", "No transposition", "No transposition", "0x4C1",
         "0x1DB7", true},
        {0xFFFF1021, 0x54000000, "16-bit", "[x]", "Bits transposed, bytes not",
         "Bits transposed, bytes not", "0xFFFF", "0x1021", false},
        {0x00008005, 0xE0000000, "16-bit", "[ ]", "Both bits and bytes", "Only bytes, bits not",
         "0x0", "0x8005", false},
        // Reserved bits of a hand-edited value are kept and change nothing shown.
        {0x12345678, 0x0100FFFF, "32-bit", "[ ]", "No transposition", "No transposition", "0x1234",
         "0x5678", true},
    };
    for (const tCase& c : cases) {
        f.Load(c.gpoly, c.ctrl);
        EXPECT_EQ(f.Shown(R::kWidthId), c.width) << std::hex << c.ctrl;
        EXPECT_EQ(f.Shown(R::kComplementId), c.complement) << std::hex << c.ctrl;
        EXPECT_EQ(f.Shown(R::kTransposeReadId), c.read) << std::hex << c.ctrl;
        EXPECT_EQ(f.Shown(R::kTransposeWriteId), c.write) << std::hex << c.ctrl;
        EXPECT_EQ(f.Shown(R::kHighId), c.high) << std::hex << c.gpoly;
        EXPECT_EQ(f.Shown(R::kLowId), c.low) << std::hex << c.gpoly;
        EXPECT_EQ(f.Control(R::kHighId).IsEnabled(), c.highEnabled) << std::hex << c.ctrl;
    }
    // Editing one field keeps the reserved bits that were loaded.
    f.crc->Page()->UserClick(f.Control(R::kComplementId));
    EXPECT_EQ(f.crc->Item(R::kControlItem).dwValue, 0x0500FFFFu);
}

TEST(CpmCRC, HalfWordsAreRangeChecked) {
    CCrcFixture f({CModule::kFamF});
    CPage& page = *f.crc->Page();
    page.UserEdit(f.Control(R::kHighId), "0xFFFF");
    page.UserEdit(f.Control(R::kLowId), "65535");
    EXPECT_EQ(f.crc->Item(R::kHighItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.crc->Item(R::kLowItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.crc->ValidationProblem(), "");
    struct tCase {
        int id;
        const char* text;
        const char* problem;
    };
    const tCase cases[] = {
        {R::kLowId, "0x10000", "Low: Entered value must be lower than 0x10000"},
        {R::kLowId, "65536", "Low: Entered value must be lower than 0x10000"},
        {R::kHighId, "0x12G4", "High: Invalid value entered!"},
        {R::kHighId, "-1", "High: Entered value must not be negative."},
        {R::kHighId, "", "High: Invalid value entered!"},
    };
    for (const tCase& c : cases) {
        page.UserEdit(f.Control(c.id), c.text);
        EXPECT_EQ(f.crc->ValidationProblem(), c.problem) << c.text;
        // A refused text leaves the registers alone.
        EXPECT_EQ(f.crc->Item(R::kHighItem).dwValue, 0xFFFFu) << c.text;
        EXPECT_EQ(f.crc->Item(R::kLowItem).dwValue, 0xFFFFu) << c.text;
        f.crc->RefreshControls();
    }
    page.UserEdit(f.Control(R::kHighId), "0");
    EXPECT_EQ(f.crc->Item(R::kHighItem).dwValue, 0u);
    const auto defines = f.Defines();
    EXPECT_EQ(defines.count("CRC_CRCH_INIT"), 0u); // at its default
    EXPECT_EQ(defines.at("CRC_CRCL_INIT"), "0xFFFFU");

    // On FamE the high half-word of a 16-bit protocol is not edited, so not checked either.
    CCrcFixture famE({CModule::kFamE});
    famE.crc->Page()->UserEdit(famE.Control(R::kLowId), "0x10000");
    EXPECT_EQ(famE.crc->ValidationProblem(), "Low: Entered value must be lower than 0x10000");
}
