#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "modules/system/CpmMCM.h"
#include "support/ModuleDefines.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"
#include "support/ShownValue.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using M = CpmMCM;

// A selected platform control module of the given group with its page open.
struct CMcmFixture {
    explicit CMcmFixture(int group) {
        host.groups = {group};
        mcm = &host.Add<M>("MCM", "MCM", "", "INT:21:");
        host.BindAll();
        mcm->SetSelected(true);
        mcm->CreatePage();
        mcm->OnInitialUpdate();
        mcm->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *mcm->Page()->FindControl(id); }
    std::string Shown(int id) { return hwc::test::ShownValue(Control(id)); }
    void Load(int item, std::uint32_t value) {
        mcm->Item(item).dwValue = value;
        mcm->RefreshControls();
        mcm->UpdateControlStates();
    }
    void Click(int id) {
        mcm->Page()->UserClick(Control(id));
        mcm->UpdateControlStates();
    }
    void Edit(int id, const std::string& text) { mcm->Page()->UserEdit(Control(id), text); }
    std::uint32_t Value(int item) { return mcm->Item(item).dwValue; }
    std::vector<std::string> Names() { return hwc::test::DefineNames(*mcm); }
    std::map<std::string, std::string> Defines() { return hwc::test::WrittenDefines(*mcm); }

    CHost host;
    M* mcm = nullptr;
};

} // namespace

TEST(CpmMCM, RegisterSetPerGroup) {
    const std::vector<std::string> common = {"MCM_CPCR_INIT",  "MCM_CFIER_INIT",
                                             "MCM_RPCR_INIT",  "MCM_UFLASHBAR_INIT",
                                             "MCM_CPCR2_INIT", "MCM_SRPOSP_INIT"};
    for (int group : {CModule::kFamE, CModule::kFamF}) {
        CMcmFixture f(group);
        EXPECT_EQ(f.Names(), common) << group;
        EXPECT_FALSE(f.Control(M::kBootRomBaseId).IsVisible());
        EXPECT_FALSE(f.Control(M::kBootRomBaseLabelId).IsVisible());
    }
    CMcmFixture f(CModule::kFamD);
    std::vector<std::string> expected = common;
    expected.push_back("MCM_UBROMBAR_INIT");
    EXPECT_EQ(f.Names(), expected);
    EXPECT_TRUE(f.Control(M::kBootRomBaseId).IsVisible());
    EXPECT_EQ(f.mcm->InterruptRows().size(), 1u);
    // Defaults: everything 0 but the instruction buffer depth of CPCR2; a register at its
    // default is not written.
    for (int i = 0; i < f.mcm->ItemCount(); ++i)
        EXPECT_EQ(f.Value(i), i == M::kCpcr2Item ? 0xF00u : 0u) << i;
    EXPECT_TRUE(f.Defines().empty());
    f.Edit(M::kBufferDepthId, "14");
    EXPECT_EQ(f.Defines(), (std::map<std::string, std::string>{{"MCM_CPCR2_INIT", "0x00000E00U"}}));
    f.Edit(M::kBufferDepthId, "15");
    EXPECT_EQ(f.Shown(M::kBufferDepthId), "15");
    EXPECT_EQ(f.Shown(M::kStopRetentionId), "[x]");
    EXPECT_EQ(f.Shown(M::kLowPowerStopRetentionId), "[x]");
    EXPECT_EQ(f.Shown(M::kFlashBaseId), "0x000000");
}

TEST(CpmMCM, LoadedValuesShowTheirMeaning) {
    CMcmFixture f(CModule::kFamD);
    f.Load(M::kCpcrItem, 0x00000100);
    EXPECT_EQ(f.Shown(M::kCrossbarArbitrationId), "Round robin");
    EXPECT_EQ(f.Shown(M::kRamArbitrationId), "Round robin");
    f.Load(M::kCpcrItem, 0x00020000);
    EXPECT_EQ(f.Shown(M::kCrossbarArbitrationId), "Fixed priority");
    EXPECT_EQ(f.Shown(M::kRamArbitrationId), "Fixed priority, DMA first");
    // Codes without an entry show no selection and are written back unchanged.
    f.Load(M::kCpcrItem, 0x80030300);
    EXPECT_EQ(f.Shown(M::kCrossbarArbitrationId), "");
    EXPECT_EQ(f.Shown(M::kRamArbitrationId), "");
    EXPECT_EQ(f.mcm->ValidationProblem(), "");
    f.Click(M::kBufferDisableId);
    EXPECT_EQ(f.Value(M::kCpcrItem), 0x80030300u);
    EXPECT_EQ(f.Defines().at("MCM_CPCR_INIT"), "0x80030300U");
    f.Click(M::kBufferDisableId);
    // Picking an entry replaces the code.
    f.mcm->Page()->UserSelect(f.Control(M::kRamArbitrationId), 1);
    EXPECT_EQ(f.Value(M::kCpcrItem), 0x80010300u);

    f.Load(M::kCfierItem, 0x5);
    EXPECT_EQ(f.Shown(M::kCoreDataErrorId), "[x]");
    EXPECT_EQ(f.Shown(M::kCoreInstructionErrorId), "[ ]");
    EXPECT_EQ(f.Shown(M::kDmaErrorId), "[x]");
    f.Load(M::kRpcrItem, 0x1);
    EXPECT_EQ(f.Shown(M::kRamWriteProtectId), "[x]");
    f.Load(M::kStopPowerItem, 0x2);
    EXPECT_EQ(f.Shown(M::kStopRetentionId), "[x]");
    EXPECT_EQ(f.Shown(M::kLowPowerStopRetentionId), "[ ]");
    f.Load(M::kCpcr2Item, 0x00000301);
    EXPECT_EQ(f.Shown(M::kBufferDisableId), "[x]");
    EXPECT_EQ(f.Shown(M::kNewerInstructionsDisableId), "[ ]");
    EXPECT_EQ(f.Shown(M::kBufferDepthId), "3");
    EXPECT_FALSE(f.Control(M::kBufferDepthId).IsEnabled());
    // Addresses: the address bits only; the others are kept but not shown.
    f.Load(M::kFlashBaseItem, 0x00010ABC);
    EXPECT_EQ(f.Shown(M::kFlashBaseId), "0x010000");
    f.Load(M::kBootRomBaseItem, 0xFFFFF000);
    EXPECT_EQ(f.Shown(M::kBootRomBaseId), "0xFFF000");
    f.Edit(M::kBootRomBaseId, "0x20000");
    EXPECT_EQ(f.Value(M::kBootRomBaseItem), 0xFF020000u);
    f.Edit(M::kFlashBaseId, "4096");
    EXPECT_EQ(f.Value(M::kFlashBaseItem), 0x00001ABCu);
}

TEST(CpmMCM, ClicksSetTheirBits) {
    CMcmFixture f(CModule::kFamE);
    CPage& page = *f.mcm->Page();
    page.UserSelect(f.Control(M::kCrossbarArbitrationId), 1);
    page.UserSelect(f.Control(M::kRamArbitrationId), 1);
    EXPECT_EQ(f.Value(M::kCpcrItem), 0x00010100u);
    f.Click(M::kNewerInstructionsDisableId);
    EXPECT_EQ(f.Value(M::kCpcr2Item), 0x00000F02u);
    EXPECT_TRUE(f.Control(M::kBufferDepthId).IsEnabled());
    f.Click(M::kBufferDisableId);
    EXPECT_EQ(f.Value(M::kCpcr2Item), 0x00000F03u);
    EXPECT_FALSE(f.Control(M::kBufferDepthId).IsEnabled());
    f.Click(M::kBufferDisableId);
    f.Edit(M::kBufferDepthId, "0");
    EXPECT_EQ(f.Value(M::kCpcr2Item), 0x00000002u);
    f.Click(M::kCoreDataErrorId);
    f.Click(M::kCoreInstructionErrorId);
    f.Click(M::kDmaErrorId);
    EXPECT_EQ(f.Value(M::kCfierItem), 0x7u);
    f.Click(M::kRamWriteProtectId);
    EXPECT_EQ(f.Value(M::kRpcrItem), 0x1u);
    f.Click(M::kStopRetentionId);
    EXPECT_EQ(f.Value(M::kStopPowerItem), 0x1u);
    f.Click(M::kLowPowerStopRetentionId);
    EXPECT_EQ(f.Value(M::kStopPowerItem), 0x3u);
}

TEST(CpmMCM, TypedValuesAreChecked) {
    CMcmFixture f(CModule::kFamD);
    struct tCase {
        int id;
        const char* text;
        const char* problem; // empty when taken
        int item;
        std::uint32_t value; // the register afterwards
    };
    const tCase cases[] = {
        {M::kBufferDepthId, "15", "", M::kCpcr2Item, 0xF00},
        {M::kBufferDepthId, "16", "Instruction buffer depth: Entered value must be lower than 16",
         M::kCpcr2Item, 0xF00},
        {M::kBufferDepthId, "-1", "Instruction buffer depth: Entered value must not be negative.",
         M::kCpcr2Item, 0xF00},
        {M::kFlashBaseId, "0xFFF000", "", M::kFlashBaseItem, 0xFFF000},
        {M::kFlashBaseId, "0x0", "", M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "0x1000000",
         "Program flash base address: Entered value must be lower than 0xfff001", M::kFlashBaseItem,
         0},
        {M::kFlashBaseId, "0x10G000", "Program flash base address: Invalid value entered!",
         M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "-4096", "Program flash base address: Invalid value entered!",
         M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "", "Program flash base address: Invalid value entered!",
         M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "0x", "Program flash base address: Invalid value entered!",
         M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "0x100000000", "Program flash base address: Invalid value entered!",
         M::kFlashBaseItem, 0},
        {M::kFlashBaseId, "8192", "", M::kFlashBaseItem, 0x2000},
        // A leading zero is no octal marker: 10000 decimal is 0x2710, off a boundary, which a
        // save that asks nothing refuses.
        {M::kFlashBaseId, "010000",
         "Program flash base address: The value of 'Program flash base address' (0x002710) is "
         "not valid and should be rounded.The nearest acceptable value is '0x002000'.\n\n"
         "Accept?",
         M::kFlashBaseItem, 0x2000},
        {M::kBootRomBaseId, "0X8000", "", M::kBootRomBaseItem, 0x8000},
    };
    for (const tCase& c : cases) {
        f.Edit(c.id, c.text);
        EXPECT_EQ(f.Value(c.item), c.value) << c.text;
        if (*c.problem) {
            EXPECT_EQ(f.mcm->ValidationProblem(), c.problem) << c.text;
            f.mcm->RefreshControls();
        }
        EXPECT_EQ(f.mcm->ValidationProblem(), "") << c.text;
    }
    // An address off a 4 K-word boundary is offered rounded down to one.
    CScriptedMessages messages;
    messages.Answer(hwc::EAnswer::Yes);
    f.Edit(M::kFlashBaseId, "0x12345");
    EXPECT_TRUE(f.mcm->Validate(true));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("'0x012000'"), std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(f.Value(M::kFlashBaseItem), 0x12000u);
    EXPECT_EQ(f.Shown(M::kFlashBaseId), "0x012000");
}
