#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "header/AppcfgFile.h"
#include "model/ModelTestSupport.h"
#include "modules/system/CpmPMC.h"
#include "modules/system/PowerTestSupport.h"
#include "modules/system/SystemQueries.h"

namespace {

using P = CpmPMC;

// A FamA document with the power management module (interrupt 12 unless told otherwise) and,
// when asked, the interrupt controller; the page open.
struct CPmcFixture {
    explicit CPmcFixture(const std::string& interrupts = "INT:12:", bool withController = false) {
        host.groups = {CModule::kFamA};
        if (withController)
            controller = &host.Add<CpmUserVectorsTest>("WINTC", "INTC");
        pmc = &host.Add<CpmPMC>("PMC", "PMC", "", interrupts);
        host.BindAll();
        pmc->CreatePage();
        pmc->OnInitialUpdate();
        pmc->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *pmc->Page()->FindControl(id); }
    bool Enabled(int id) { return Control(id).IsEnabled(); }
    bool Shown(int id) { return Control(id).IsVisible(); }
    void Click(int id) { pmc->Page()->UserClick(Control(id)); }
    void Select(int id, int index) { pmc->Page()->UserSelect(Control(id), index); }
    std::uint32_t Reg(int item) { return pmc->Item(item).dwValue; }

    CPowerTestHost host;
    CpmUserVectorsTest* controller = nullptr;
    CpmPMC* pmc = nullptr;
};

} // namespace

TEST(CpmPMC, ControlRegistersAreWrittenWithoutPrefixAndToolParametersWithIt) {
    CPowerTestHost host;
    CpmPMC& pmc = host.Add<CpmPMC>("PMC", "PMC");
    EXPECT_EQ(pmc.GetDefineName(pmc.Item(P::kCr2Item)), "PMC_CR2_INIT");
    EXPECT_EQ(pmc.GetDefineName(pmc.Item(P::kOscillatorFactoryTrimItem)),
              "PMC_USE_FACTORY_1KHZ_TRIM");
    EXPECT_EQ(pmc.Item(P::kScrItem).dwValue, 0x208u);
    EXPECT_EQ(pmc.Item(P::kCr2Item).dwValue, 0xFFu);

    // Read back from a header: the prefix-less names are claimed, a prefixed control register
    // name is not.
    CAppcfgFile header;
    Define(header, "PMC_SCR_INIT", "0x0E08U");
    Define(header, "PMC_CR2_INIT", "0x01FFU");
    Define(header, "PMC_USE_FACTORY_LVD_TRIM", "1");
    Define(header, "PMC_PMC_SCR_INIT", "0x0001U");
    ASSERT_TRUE(pmc.LoadFromHeader(&header));
    EXPECT_EQ(pmc.Item(P::kScrItem).dwValue, 0xE08u);
    EXPECT_EQ(pmc.Item(P::kCr2Item).dwValue, 0x1FFu);
    EXPECT_EQ(pmc.Item(P::kLvdFactoryTrimItem).dwValue, 1u);
    EXPECT_EQ(pmc.Item(P::kOscillatorFactoryTrimItem).dwValue, 0u);
    EXPECT_FALSE(header.GetEntry("PMC_PMC_SCR_INIT")->IsClaimed());

    std::string text;
    pmc.GetHeaderText(text);
    EXPECT_NE(text.find("#define PMC_SCR_INIT "), std::string::npos) << text;
    EXPECT_NE(text.find("0x0E08U"), std::string::npos) << text;
    EXPECT_NE(text.find("#define PMC_USE_FACTORY_LVD_TRIM"), std::string::npos) << text;
    // The factory-trim parameter is a decimal number, not a register value.
    EXPECT_EQ(text.find("0x01U"), std::string::npos) << text;
    // Unchanged from its default, the 1 kHz trim choice is not written.
    EXPECT_EQ(text.find("1KHZ"), std::string::npos) << text;
}

TEST(CpmPMC, CheckBoxesAndListsEditTheirFields) {
    CPmcFixture f;
    struct tBit {
        int id;
        int item;
        std::uint32_t mask;
    };
    const tBit bits[] = {
        {P::kLvdEnableId, P::kScrItem, 1u << 3},
        {P::kLvdResetId, P::kScrItem, 1u << 9},
        {P::kPartialPowerDownId, P::kScrItem, 1u << 8},
        {P::kWakeUpOnInterruptId, P::kScrItem, 1u << 5},
        {P::kBandgapBufferId, P::kScrItem, 1u << 4},
        {P::kLvdInterruptId, P::kScrItem, 1u << 10},
        {P::kOutOfRegulationInterruptId, P::kScrItem, 1u << 11},
        {P::kOscillatorEnableId, P::kCr2Item, 1u << 8},
        {P::kLvdFactoryTrimId, P::kLvdFactoryTrimItem, 1u},
        {P::kOscillatorFactoryTrimId, P::kOscillatorFactoryTrimItem, 1u},
    };
    for (const tBit& bit : bits) {
        const std::uint32_t before = f.Reg(bit.item);
        f.Click(bit.id);
        EXPECT_EQ(f.Reg(bit.item), before ^ bit.mask) << bit.id;
    }
    // Enabling LVD was a click on a set bit: it is clear now, and clicking again restores it.
    EXPECT_EQ(f.Reg(P::kScrItem), 0x208u ^ 0xF38u);
    f.Click(P::kLvdEnableId);

    f.Select(P::kLvdLevelId, 1);
    f.Select(P::kProtectionId, 3);
    EXPECT_EQ(f.Reg(P::kScrItem) & 0x7u, 0x7u);
    f.Select(P::kProtectionId, 2);
    EXPECT_EQ(f.Reg(P::kScrItem) & 0x7u, 0x6u);

    const std::vector<std::string>& trims = f.Control(P::kRegulatorTrimId).Items();
    ASSERT_EQ(trims.size(), 32u);
    EXPECT_EQ(trims[16], "-16");
    EXPECT_EQ(trims[17], "14");
    EXPECT_EQ(trims[31], "Untrimmed (Erased IFR)");
    // The default CR2 stands at the erased values of both trims.
    EXPECT_EQ(f.Control(P::kRegulatorTrimId).Selection(), 31);
    EXPECT_EQ(f.Control(P::kOscillatorTrimId).Selection(), 7);
    f.Select(P::kRegulatorTrimId, 17);
    f.Select(P::kOscillatorTrimId, 3);
    EXPECT_EQ(f.Reg(P::kCr2Item), (1u << 8) | (3u << 5) | 17u);
    EXPECT_EQ(f.Control(P::kLvdLevelId).Items().back(), "LVDH (2.33 V) ");
}

TEST(CpmPMC, DetectionOffDisablesItsSettingsAndHidesTheRow) {
    CPmcFixture f;
    const std::vector<int> lvdControls = {P::kLvdLevelId,
                                          P::kLvdResetId,
                                          P::kPartialPowerDownId,
                                          P::kWakeUpOnInterruptId,
                                          P::kBandgapBufferId,
                                          P::kLvdInterruptId,
                                          P::kOutOfRegulationInterruptId,
                                          P::kLvdFactoryTrimId,
                                          P::kRegulatorTrimId,
                                          P::kIsrNameLabelId};
    // LVD is on by default.
    for (int id : lvdControls)
        EXPECT_TRUE(f.Enabled(id)) << id;
    EXPECT_TRUE(f.Shown(CModule::kFirstRowPlaceholderId));

    f.Click(P::kLvdEnableId); // the page command updates the states
    for (int id : lvdControls)
        EXPECT_FALSE(f.Enabled(id)) << id;
    EXPECT_FALSE(f.Shown(CModule::kFirstRowPlaceholderId));
    // The oscillator settings do not depend on detection.
    EXPECT_TRUE(f.Enabled(P::kOscillatorEnableId));
    EXPECT_TRUE(f.Enabled(P::kProtectionId));

    f.Click(P::kLvdEnableId);
    EXPECT_TRUE(f.Shown(CModule::kFirstRowPlaceholderId));
    EXPECT_TRUE(f.Enabled(P::kRegulatorTrimId));
    // The factory trim replaces the regulator trim.
    f.Click(P::kLvdFactoryTrimId);
    EXPECT_FALSE(f.Enabled(P::kRegulatorTrimId));
    EXPECT_TRUE(f.Enabled(P::kLvdFactoryTrimId));
    f.Click(P::kLvdFactoryTrimId);
    EXPECT_TRUE(f.Enabled(P::kRegulatorTrimId));
}

TEST(CpmPMC, OscillatorSettingsFollowItsEnable) {
    CPmcFixture f;
    // Off by default (CR2 bit 8 clear).
    EXPECT_FALSE(f.Enabled(P::kOscillatorFactoryTrimId));
    EXPECT_FALSE(f.Enabled(P::kOscillatorTrimId));
    f.Click(P::kOscillatorEnableId);
    EXPECT_TRUE(f.Enabled(P::kOscillatorFactoryTrimId));
    EXPECT_TRUE(f.Enabled(P::kOscillatorTrimId));
    f.Click(P::kOscillatorFactoryTrimId);
    EXPECT_TRUE(f.Enabled(P::kOscillatorFactoryTrimId));
    EXPECT_FALSE(f.Enabled(P::kOscillatorTrimId));
    // Turning detection off leaves the oscillator alone.
    f.Click(P::kLvdEnableId);
    EXPECT_TRUE(f.Enabled(P::kOscillatorFactoryTrimId));
}

TEST(CpmPMC, OscillatorAnswerComesFromThePageWhileItExists) {
    CPowerTestHost host;
    CpmPMC& pmc = host.Add<CpmPMC>("PMC", "PMC");
    CpmPMC& asker = host.Add<CpmPMC>("OTHER", "PMC");
    // Before binding and without a page the register answers.
    EXPECT_FALSE(hwc::PowerLowPowerOscillatorEnabled(asker, true));
    pmc.Item(P::kCr2Item).dwValue = 0x100;
    EXPECT_TRUE(hwc::PowerLowPowerOscillatorEnabled(asker, false));
    host.BindAll();
    EXPECT_TRUE(pmc.LowPowerOscillatorEnabled());
    pmc.Item(P::kCr2Item).dwValue = 0xFF;
    EXPECT_FALSE(pmc.LowPowerOscillatorEnabled());

    pmc.CreatePage();
    pmc.OnInitialUpdate();
    // A check not yet taken into the register already counts.
    pmc.Page()->FindControl(P::kOscillatorEnableId)->SetCheck(1);
    EXPECT_TRUE(pmc.LowPowerOscillatorEnabled());
    EXPECT_EQ(pmc.Item(P::kCr2Item).dwValue, 0xFFu);
}

TEST(CpmPMC, FoundByInstanceNameOnlyWhenItIsAPowerManagementModule) {
    CPowerTestHost host;
    CpmPlainTest& asker = host.Add<CpmPlainTest>("RTC", "RTC");
    EXPECT_EQ(hwc::FindPowerManagement(asker), nullptr);
    EXPECT_TRUE(hwc::PowerLowPowerOscillatorEnabled(asker, true));
    EXPECT_FALSE(hwc::PowerLowPowerOscillatorEnabled(asker, false));

    // A module named "PMC" of another class cannot answer, whatever its registers hold.
    host.Add<CpmPlainTest>("PMC", "PMC");
    EXPECT_EQ(hwc::FindPowerManagement(asker), nullptr);
    EXPECT_FALSE(hwc::PowerLowPowerOscillatorEnabled(asker, false));

    // The power management class is found by its name under any type key.
    CPowerTestHost other;
    CpmPlainTest& otherAsker = other.Add<CpmPlainTest>("RTC", "RTC");
    CpmPMC& pmc = other.Add<CpmPMC>("PMC", "PMC_V2");
    EXPECT_EQ(hwc::FindPowerManagement(otherAsker), &pmc);
    EXPECT_FALSE(hwc::PowerLowPowerOscillatorEnabled(otherAsker, true));
    // Another name is not it.
    CPowerTestHost renamed;
    CpmPlainTest& renamedAsker = renamed.Add<CpmPlainTest>("RTC", "RTC");
    renamed.Add<CpmPMC>("PMC0", "PMC");
    EXPECT_EQ(hwc::FindPowerManagement(renamedAsker), nullptr);
}

TEST(CpmPMC, InterruptRowAndUserVectorNote) {
    CPmcFixture f("INT:12:", true);
    ASSERT_EQ(f.pmc->InterruptRows().size(), 1u);
    CPage* row = f.pmc->InterruptRows().front().page;
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->FindControl(CModule::kRowPriorityId)->IsVisible());
    EXPECT_TRUE(row->FindControl(CModule::kRowIsrNameId)->IsVisible());
    // Not a user vector: no note.
    EXPECT_FALSE(f.Shown(P::kUserVectorNoteId));

    f.controller->userVectors[12] = {3, "LowVoltageISR"};
    f.pmc->UpdateControlStates();
    EXPECT_TRUE(f.Shown(P::kUserVectorNoteId));
    EXPECT_NE(f.Control(P::kUserVectorNoteId)
                  .Text()
                  .find("NOTE: defined as USER3 (LowVoltageISR) in WINTC module."),
              std::string::npos)
        << f.Control(P::kUserVectorNoteId).Text();
    // Another source's user vector is not this one's.
    f.controller->userVectors.clear();
    f.controller->userVectors[13] = {1, "SecondTickISR"};
    f.pmc->UpdateControlStates();
    EXPECT_FALSE(f.Shown(P::kUserVectorNoteId));

    // Without an interrupt in the architecture file there is no row, label or note.
    CPmcFixture none("0", true);
    EXPECT_TRUE(none.pmc->InterruptRows().empty());
    EXPECT_FALSE(none.Shown(P::kIsrNameLabelId));
    EXPECT_FALSE(none.Shown(P::kUserVectorNoteId));
    EXPECT_FALSE(none.Shown(CModule::kFirstRowPlaceholderId));
    none.Click(P::kLvdEnableId);
    EXPECT_FALSE(none.Shown(P::kIsrNameLabelId));
}

TEST(CpmPMC, SummaryListsTheSettingsInOrder) {
    CPmcFixture f;
    ASSERT_EQ(f.pmc->CommentItems().size(), 13u);
    // The 1 kHz trim is listed while it applies.
    f.Click(P::kOscillatorEnableId);
    std::string summary;
    f.pmc->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    const std::vector<const char*> order = {"Low-Voltage Detect",
                                            "Write protection for SCR and TRIM registers",
                                            "Regulator trim bits",
                                            "Out of Regulation Interrupt",
                                            "Low-Voltage Detect Interrupt",
                                            "Low-Voltage Detect Reset",
                                            "Partial Power Down",
                                            "Low Power Wake-Up on Interrupt",
                                            "Bandgap Buffer",
                                            "PMC 1 KHz oscilator trim",
                                            "PMC 1KHz Oscillator",
                                            "Use LVD Factory Trim Value"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_NE(at(order[i]), std::string::npos) << order[i] << "\n" << summary;
        if (i > 0) {
            EXPECT_LT(at(order[i - 1]), at(order[i])) << order[i] << "\n" << summary;
        }
    }
    EXPECT_EQ(at("Use 1KHz Oscilator Factory Trim Value"), std::string::npos) << summary;
    EXPECT_LT(at("LVDL (1.86 V)"), at("Write protection")) << summary;
}
