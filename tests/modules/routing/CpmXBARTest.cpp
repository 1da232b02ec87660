#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/ModuleLink.h"
#include "model/ModuleSubDlg.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/communication/CommunicationQueries.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/PwmQueries.h"
#include "modules/routing/CpmXBAR.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/timers/CpmPIT.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
namespace grp = hwc::test;
using Out = CpmXBAR_OutDlg;

// A source module that answers every question the crossbar asks of its inputs' modules.
class CpmSourceFake : public CModule,
                      public hwc::IModuleEnable,
                      public hwc::IPwmTriggers,
                      public hwc::ISerialTransmitter,
                      public hwc::IAdcConverters {
    HWC_DECLARE_MODULE_CLASS(CpmSourceFake, CModule)
public:
    CpmSourceFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsModuleEnabled() const override { return enabled; }
    bool IsTriggerSelected(int trigger) const override { return triggers[trigger & 1]; }
    bool IsTransmitterEnabled() const override { return enabled; }
    bool IsConverterPowered(char converter) const override { return converter == powered; }
    bool enabled = false;
    bool triggers[2] = {false, false};
    char powered = '\0';
};

// A module that answers nothing.
class CpmMuteFake : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmMuteFake, CModule)
public:
    CpmMuteFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Module information with `outputs` outputs "O0".. and the given inputs.
std::string Info(int outputs, const std::vector<std::string>& inputs, const std::string& cfg = {}) {
    std::vector<std::string> lines;
    if (!cfg.empty())
        lines.push_back(cfg);
    for (int n = 0; n < outputs; ++n)
        lines.push_back("out, " + std::to_string(n) + ", O" + std::to_string(n));
    for (const std::string& input : inputs)
        lines.push_back("in, " + input);
    return Lines(lines);
}

std::vector<std::string> Numbered(const char* stem, int count) {
    std::vector<std::string> names;
    for (int n = 0; n < count; ++n)
        names.push_back(stem + std::to_string(n));
    return names;
}

// The FamC crossbar inputs in the architecture file's order.
std::vector<std::string> FamCInputs() {
    std::vector<std::string> inputs = {"VSS", "VDD"};
    for (int n = 2; n < 8; ++n)
        inputs.push_back("XB_IN" + std::to_string(n));
    for (const char* name :
         {"PIT0_SYNC", "CMPA_OUT", "CMPB_OUT", "CMPC_OUT", "TB0_OUT", "TB1_OUT", "TB2_OUT",
          "TB3_OUT", "PWM0_TRG", "PWM1_TRG", "PWM2_TRG", "PWM012_TRG", "PWM3_TRG0", "PWM3_TRG1",
          "PIT1_SYNC", "ADCA_SCAN_END", "ADCB_SCAN_END"})
        inputs.push_back(name);
    return inputs;
}

struct CXbarFixture {
    CXbarFixture(std::set<int> groups, const std::string& info,
                 const std::string& instance = "XBAR_A") {
        host.groups = std::move(groups);
        xbar = &host.Add<CpmXBAR>(instance, "XBAR", info);
    }
    template <class T> T& Source(const std::string& instance) {
        return host.Add<T>(instance, "SRC");
    }
    void Open() {
        host.BindAll();
        host.OpenAll();
    }
    CPageControl* Control(int id) { return xbar->Page()->FindControl(id); }
    CPageControl& List(int output) {
        return *Control(CpmXBAR::OutputControlId(output, Out::kSelectionId));
    }
    void Pick(int output, int entry) { xbar->Page()->UserSelect(List(output), entry); }
    std::string OutputWarning(int output) {
        return host.Warning(*xbar, CpmXBAR::OutputControlId(output, Out::kWarningId));
    }
    std::vector<std::string> RegisterNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < xbar->ItemCount(); ++i)
            names.push_back(xbar->Item(i).szName);
        return names;
    }

    CHost host;
    CpmXBAR* xbar = nullptr;
};

} // namespace

TEST(CpmXBAR, RegistersFollowTheOutputsAndTheCfgLine) {
    CXbarFixture five({}, Info(5, {"VSS", "VDD"}));
    five.Open();
    EXPECT_EQ(five.RegisterNames(),
              (std::vector<std::string>{"XBC0_INIT", "XBC1_INIT", "XBC2_INIT"}));
    const auto fifth = five.xbar->OutputField(4);
    ASSERT_TRUE(fifth.has_value());
    EXPECT_EQ(fifth->registerName, "XBC2_INIT");
    EXPECT_EQ(fifth->lowBit, 0);
    EXPECT_EQ(fifth->width, 5);
    EXPECT_EQ(five.xbar->Item(0).dwFlags & hwc::RegFlag::WIDTH_MASK, hwc::RegFlag::DW16);
    EXPECT_FALSE(five.xbar->OutputField(5).has_value());
    EXPECT_FALSE(five.xbar->OutputField(-1).has_value());

    CXbarFixture sel({}, Info(4, {"VSS"}, "cfg, showSel"));
    sel.Open();
    EXPECT_EQ(sel.RegisterNames(), (std::vector<std::string>{"SEL0_INIT", "SEL1_INIT"}));
    EXPECT_FALSE(sel.xbar->DmaEnable(0).IsBound());
    EXPECT_EQ(sel.Control(CpmXBAR::kDmaEnableId), nullptr);
    EXPECT_EQ(sel.Control(CpmXBAR::kEdgeId + 3), nullptr);

    CXbarFixture both({}, Info(4, {"VSS"}, "cfg, showSel, showCfg"));
    both.Open();
    EXPECT_EQ(both.RegisterNames(),
              (std::vector<std::string>{"SEL0_INIT", "SEL1_INIT", "CTRL0_INIT", "CTRL1_INIT"}));
}

TEST(CpmXBAR, ParameterLinesAreCleanedAndBadOnesSkipped) {
    const std::string longName(140, 'N');
    CXbarFixture f({}, Lines({
                           "out, 3, \"PWM_A0_EXTA\"",
                           "\tout ,0x10, HEX , 7",
                           "out, 010, OCTAL",
                           "out, -1, NEGATIVE",
                           "out, 100, TOO_LARGE",
                           "out, 99, LAST",
                           "out, abc, NO_NUMBER",
                           "out, 3x, TRAILING",
                           "out, 5",
                           "out, 6, ",
                           "out, 7, " + longName,
                           "in, \"VSS\"\r",
                           "in, " + longName + ", 4",
                           "in,",
                           "input, X",
                           "cfg, other",
                           "garbage",
                           "",
                       }));
    f.Open();
    const auto& outputs = f.xbar->Outputs();
    ASSERT_EQ(outputs.size(), 5u);
    EXPECT_EQ(outputs[0].label, "3. PWM_A0_EXTA");
    EXPECT_EQ(outputs[1].label, "16. HEX");
    EXPECT_EQ(outputs[1].number, 7);
    EXPECT_EQ(outputs[2].label, "8. OCTAL");
    EXPECT_EQ(outputs[3].label, "99. LAST");
    EXPECT_EQ(outputs[4].label.size(), CpmXBAR::kMaxNameLength);
    EXPECT_EQ(outputs[4].label.substr(0, 6), "7. NNN");
    ASSERT_EQ(f.xbar->Inputs().size(), 2u);
    EXPECT_EQ(f.xbar->Inputs()[0].name, "VSS");
    EXPECT_EQ(f.xbar->Inputs()[1].name, longName.substr(0, CpmXBAR::kMaxNameLength));
    EXPECT_EQ(f.xbar->Inputs()[1].number, 4);
    EXPECT_FALSE(f.xbar->HasControlBlock());
    EXPECT_FALSE(f.xbar->UsesSelNames());
    EXPECT_EQ(f.xbar->ItemCount(), 3);
    EXPECT_EQ(f.xbar->OutputLabel(0), "3. PWM_A0_EXTA.");
    EXPECT_EQ(f.xbar->OutputLabel(5), "Crossbar output 5.");
    EXPECT_EQ(f.xbar->OutputLabel(-2), "Crossbar output -2.");
}

TEST(CpmXBAR, ListsStopAtOneHundredEntries) {
    CXbarFixture f({grp::kFamD}, Info(105, Numbered("IN", 105)));
    f.Open();
    EXPECT_EQ(f.xbar->OutputCount(), CpmXBAR::kMaxOutputs);
    EXPECT_EQ(f.xbar->Inputs().size(), 100u);
    EXPECT_EQ(f.xbar->ItemCount(), 50);
    EXPECT_EQ(f.xbar->Outputs().back().label, "99. O99");
    ASSERT_NE(f.Control(CpmXBAR::kOutputPageBase + 99), nullptr);
    EXPECT_EQ(f.Control(CpmXBAR::kOutputPageBase + 100), nullptr);
    // A six-bit field encodes inputs 0 to 63 only.
    EXPECT_EQ(f.List(99).Items().size(), 64u);
}

TEST(CpmXBAR, NoOutputsMeansNoRegistersAndAPageThatSaysSo) {
    CXbarFixture f({grp::kFamE}, Lines({"cfg, showCfg", "in, VSS", "out, 100, X"}));
    f.Open();
    EXPECT_EQ(f.xbar->OutputCount(), 0);
    // The control block has no outputs to serve either.
    EXPECT_EQ(f.xbar->ItemCount(), 0);
    EXPECT_FALSE(f.xbar->HasControlBlock());
    EXPECT_EQ(f.Control(CpmXBAR::kDmaEnableId), nullptr);
    CXbarFixture empty({grp::kFamE}, "");
    empty.Open();
    EXPECT_EQ(empty.xbar->ItemCount(), 0);
    ASSERT_NE(empty.Control(CpmXBAR::kNoOutputsId), nullptr);
    EXPECT_TRUE(empty.Control(CpmXBAR::kNoOutputsId)->IsVisible());
    EXPECT_EQ(empty.Control(CpmXBAR::kOutputPageBase), nullptr);
    EXPECT_EQ(empty.xbar->OutputMode(0), -1);
    EXPECT_TRUE(empty.xbar->CheckOutputSource(0).passes);
    EXPECT_FALSE(empty.xbar->IsSignalInUse("XB_OUT0"));
    empty.xbar->CheckWarnings();
    std::string summary;
    empty.xbar->GetSummary(summary);
    EXPECT_TRUE(empty.host.warnings.empty());
}

TEST(CpmXBAR, FieldWidthFollowsGroupAndInstance) {
    struct tCase {
        std::set<int> groups;
        const char* instance;
        int width;
    };
    const tCase cases[] = {
        {{grp::kFamD}, "XBAR_A", 6}, {{grp::kFamD}, "XBAR_B", 6}, {{grp::kFamE}, "XBAR_A", 6},
        {{grp::kFamF}, "XBAR_A", 6}, {{grp::kFamE}, "XBAR_B", 5}, {{grp::kFamF}, "XBAR_B", 5},
        {{grp::kFamC}, "XBAR", 5},   {{}, "XBAR_A", 5},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.instance);
        CXbarFixture f(c.groups, Info(2, Numbered("IN", 70)), c.instance);
        f.Open();
        const auto odd = f.xbar->OutputField(1);
        ASSERT_TRUE(odd.has_value());
        EXPECT_EQ(odd->lowBit, 8);
        EXPECT_EQ(odd->width, c.width);
        EXPECT_EQ(f.List(1).Items().size(), std::size_t{1} << c.width);
        // Every output offers the same names, held once.
        EXPECT_EQ(&f.List(0).Items(), &f.List(1).Items());
        EXPECT_EQ(f.xbar->InputNames().size(), std::size_t{1} << c.width);
        // The last input that fits fills the field; the bits beyond it stay as they were.
        f.xbar->Item(0).dwValue = 0x8080;
        f.Pick(1, (1 << c.width) - 1);
        EXPECT_EQ(f.xbar->Item(0).dwValue, 0x8080u | (((1u << c.width) - 1u) << 8));
        EXPECT_EQ(f.xbar->OutputMode(1), (1 << c.width) - 1);
    }
}

TEST(CpmXBAR, SelectionBeyondTheListIsKeptUntilTheUserPicksOne) {
    CXbarFixture f({}, Info(2, {"VSS", "VDD", "XB_IN2"}));
    f.host.BindAll();
    // Output 0 selects input 7 of three; bits 5..7 and 13..15 belong to no field.
    f.xbar->Item(0).dwValue = 0xE0E7 | (1u << 8);
    f.host.OpenAll();
    EXPECT_EQ(f.List(0).Items().back(), "(input 7)");
    EXPECT_EQ(f.List(0).Selection(), 3);
    EXPECT_EQ(f.List(0).Text(), "(input 7)");
    EXPECT_EQ(f.List(1).Items().size(), 3u);
    EXPECT_EQ(f.List(1).Text(), "VDD");
    EXPECT_EQ(f.xbar->ValidationProblem(), "");
    f.xbar->ApplyControls();
    f.xbar->RefreshControls();
    EXPECT_EQ(f.xbar->Item(0).dwValue, 0xE1E7u);
    std::string summary;
    f.xbar->GetSummary(summary);
    EXPECT_NE(summary.find("0. O0: (input 7)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("1. O1: VDD"), std::string::npos) << summary;
    // The user's choice is written, the other bits stay; the kept entry can still be chosen.
    f.Pick(0, 2);
    EXPECT_EQ(f.xbar->Item(0).dwValue, 0xE1E2u);
    f.Pick(0, 3);
    EXPECT_EQ(f.xbar->Item(0).dwValue, 0xE1E7u);
    // The self-test walks every entry and leaves the register as it found it.
    f.xbar->SelfTest();
    EXPECT_EQ(f.xbar->Item(0).dwValue, 0xE1E7u);
    EXPECT_EQ(f.List(0).Selection(), 3);
}

TEST(CpmXBAR, OutputPagesStackWithLabelLinksAndInputNames) {
    CXbarFixture f({grp::kFamE}, Info(3, {"VSS", "VDD"}), "XBAR_B");
    f.Open();
    EXPECT_FALSE(f.Control(CpmXBAR::kTablePlaceholderId)->IsVisible());
    const std::vector<CModuleSubDlg*> pages = f.xbar->Page()->SubPages();
    std::vector<int> ids;
    for (CModuleSubDlg* page : pages) {
        if (page->SubPageId() >= CpmXBAR::kOutputPageBase)
            ids.push_back(page->SubPageId());
    }
    EXPECT_EQ(ids, (std::vector<int>{0xE900, 0xE901, 0xE902}));
    const CPageControl* label = f.Control(CpmXBAR::OutputControlId(2, Out::kLabelId));
    ASSERT_NE(label, nullptr);
    const tAnchor anchor = SplitAnchor(label->Text());
    EXPECT_EQ(anchor.text, "2. O2");
    const tModuleLink link = ParseModuleLink(anchor.link);
    EXPECT_EQ(link.instanceName, "XBAR_B");
    EXPECT_EQ(ControlIdOfReference(link.controlReference),
              CpmXBAR::OutputControlId(2, Out::kSelectionId));
    EXPECT_EQ(f.List(0).Items(), (std::vector<std::string>{"VSS", "VDD"}));
    EXPECT_EQ(f.List(0).Selection(), 0);
    // No interrupt of its own: no heading for interrupt rows.
    EXPECT_FALSE(f.Control(CpmXBAR::kHeadingPlaceholderId)->IsVisible());
}

TEST(CpmXBAR, ControlBlockBitsOfTheFirstFourOutputs) {
    CXbarFixture f({grp::kFamE}, Info(3, {"VSS"}, "cfg, showCfg"));
    f.Open();
    ASSERT_EQ(f.xbar->ItemCount(), 4);
    CPage& page = *f.xbar->Page();
    page.UserClick(*f.Control(CpmXBAR::kDmaEnableId + 1));
    page.UserClick(*f.Control(CpmXBAR::kInterruptEnableId + 0));
    page.UserSelect(*f.Control(CpmXBAR::kEdgeId + 1), 2);
    page.UserSelect(*f.Control(CpmXBAR::kEdgeId + 2), 3);
    EXPECT_EQ(f.xbar->Item(2).dwValue, (1u << 8) | (2u << 10) | (1u << 1));
    EXPECT_EQ(f.xbar->Item(3).dwValue, 3u << 2);
    EXPECT_EQ(f.Control(CpmXBAR::kControlLabelId + 2)->Text(), "2. O2:");
    EXPECT_EQ(f.Control(CpmXBAR::kInterruptEnableId + 3)->Text(), "Enable Interrupt Out3");
    // The fourth output does not exist: its row is hidden, its bits still bound.
    EXPECT_FALSE(f.Control(CpmXBAR::kEdgeId + 3)->IsVisible());
    f.xbar->Edge(3).SetIndex(1);
    EXPECT_EQ(f.xbar->Item(3).dwValue, (3u << 2) | (1u << 10));
    std::string summary;
    f.xbar->GetSummary(summary);
    EXPECT_NE(summary.find("Edge Detection Out1: Falling Edge"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Enable Interrupt Out0: Enable"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Enable DMA Out2: Disable"), std::string::npos) << summary;
    // Outputs whose requests are all off, and outputs that select the first input, are left
    // out.
    CXbarFixture quiet({grp::kFamE}, Info(3, {"VSS"}, "cfg, showCfg"));
    quiet.Open();
    summary.clear();
    quiet.xbar->GetSummary(summary);
    EXPECT_EQ(summary.find("Out"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("O0"), std::string::npos) << summary;
}

TEST(CpmXBAR, RebindingKeepsTheValuesByName) {
    CXbarFixture f({grp::kFamF}, Info(4, {"VSS", "VDD"}, "cfg, showCfg"));
    f.Open();
    f.xbar->Item(1).dwValue = 0x0101;
    f.xbar->Item(2).dwValue = 0x0303;
    f.xbar->BindControls(&f.host);
    EXPECT_EQ(f.xbar->Item(1).dwValue, 0x0101u);
    EXPECT_EQ(f.xbar->Item(2).dwValue, 0x0303u);
    EXPECT_EQ(f.xbar->OutputMode(3), 1);
}

TEST(CpmXBAR, FamCSourceTableWordForWord) {
    CXbarFixture f({grp::kFamC}, Info(2, FamCInputs()), "XBAR");
    auto& cmpA = f.Source<CpmSourceFake>("HSCMP_A");
    auto& tb2 = f.Source<CpmSourceFake>("QT_B2");
    auto& pwm0 = f.Source<CpmSourceFake>("PWM_0");
    auto& pwm1 = f.Source<CpmSourceFake>("PWM_1");
    f.Source<CpmSourceFake>("PWM_2");
    auto& pwm3 = f.Source<CpmSourceFake>("PWM_3");
    f.Open();
    const auto check = [&](int input) {
        f.Pick(0, input);
        f.xbar->CheckWarnings();
        return f.OutputWarning(0);
    };
    EXPECT_EQ(check(9), "Cross Bar output \"0. O0\" has selected HSCMP_A module as input, but "
                        "HSCMP_A is not enabled");
    EXPECT_FALSE(f.xbar->IsOutputConfigured(0));
    EXPECT_FALSE(hwc::CrossbarSourceCheck(*f.xbar, "XBAR", 0).passes);
    cmpA.enabled = true;
    EXPECT_EQ(check(9), "");
    EXPECT_TRUE(f.xbar->IsOutputConfigured(0));
    // HSCMP_B and QT_B0 are absent from the project: valid.
    EXPECT_EQ(check(10), "");
    EXPECT_EQ(check(12), "");
    EXPECT_EQ(check(14), "Cross Bar output \"0. O0\" has selected QT_B2 module as input, but "
                         "QT_B2 is in stop mode");
    tb2.enabled = true;
    EXPECT_EQ(check(14), "");
    EXPECT_EQ(check(16), "Cross Bar output \"0. O0\" has selected PWM0 module trigger as input, "
                         "but PWM_0 triggers are not selected");
    pwm0.triggers[1] = true;
    EXPECT_EQ(check(16), "");
    EXPECT_EQ(check(17), "Cross Bar output \"0. O0\" has selected PWM1 module trigger as input, "
                         "but PWM_1 triggers are not selected");
    pwm0.triggers[1] = false;
    EXPECT_EQ(check(19), "Cross Bar output \"0. O0\" has selected PWM0, PWM1 or PWM2 modules "
                         "trigger as input, but PWM triggers are not selected");
    pwm1.triggers[0] = true;
    EXPECT_EQ(check(19), "");
    pwm3.triggers[1] = true;
    EXPECT_EQ(check(20), "Cross Bar output \"0. O0\" has selected PWM3 module trigger0 as input, "
                         "but PWM_3 trigger0 is not selected");
    EXPECT_EQ(check(21), "");
    pwm3.triggers[1] = false;
    EXPECT_EQ(check(21), "Cross Bar output \"0. O0\" has selected PWM3 module trigger1 as input, "
                         "but PWM_3 trigger1 is not selected");
    // Positions outside the table are always valid, whatever their names.
    EXPECT_EQ(check(8), "");
    EXPECT_EQ(check(22), "");
    EXPECT_EQ(check(23), "");
    // A kept selection beyond the inputs has no source to check.
    f.xbar->Item(0).dwValue = 31;
    f.xbar->CheckWarnings();
    EXPECT_EQ(f.OutputWarning(0), "");
}

TEST(CpmXBAR, NewerGroupsCheckTheSourceTheInputNames) {
    const std::vector<std::string> inputs = {
        "VSS",         "CMPB_OUT",   "TA1_OUT",    "TB3_OUT",  "PWM_A0_TRG1",
        "PWM_B2_TRG0", "PIT1_SYNC",  "PDB0_PULSE", "SCI1_TXD", "ADCB_SCAN_END",
        "AOI_OUT0",    "PWM_A3_TRG", "PWM_C0_TRG0"};
    CXbarFixture f({grp::kFamE}, Info(2, inputs));
    auto& cmp = f.Source<CpmSourceFake>("HSCMP_B");
    auto& ta1 = f.Source<CpmSourceFake>("QT_A1");
    f.Source<CpmSourceFake>("QT_B3").enabled = true;
    auto& pwm = f.Source<CpmSourceFake>("PWM_A_0");
    f.Source<CpmMuteFake>("PWM_A_3");
    f.Source<CpmMuteFake>("PWM_B_0");
    auto& pit = f.host.Add<CpmPIT>("PIT1", "PIT");
    auto& pdb = f.Source<CpmSourceFake>("PDB_0");
    auto& sci = f.Source<CpmSourceFake>("SCI_1");
    auto& adc = f.Source<CpmSourceFake>("ADC_A");
    f.Open();
    const auto check = [&](int input) {
        f.Pick(1, input);
        f.xbar->CheckWarnings();
        return f.OutputWarning(1);
    };
    const std::string head = "Cross Bar output \"1. O1\" has selected ";
    EXPECT_EQ(check(1), head + "HSCMP_B module as input, but HSCMP_B is not enabled");
    cmp.enabled = true;
    EXPECT_EQ(check(1), "");
    EXPECT_EQ(check(2), head + "QT_A1 module as input, but QT_A1 is in stop mode");
    ta1.enabled = true;
    EXPECT_EQ(check(2), "");
    EXPECT_EQ(check(3), "");
    EXPECT_EQ(check(4), head + "PWM_A_0 module Trigger 1 as input, but its trigger 1 is not "
                               "selected");
    pwm.triggers[0] = true;
    EXPECT_NE(check(4), "");
    pwm.triggers[1] = true;
    EXPECT_EQ(check(4), "");
    // A PWM sub-module the processor lacks cannot feed the crossbar.
    EXPECT_EQ(check(5), head + "PWM_B_2 module as input, but the module is not available");
    EXPECT_EQ(check(6), head + "PIT1 module as input, but the PIT1 counter is not enabled");
    pit.Page()->UserClick(*pit.Page()->FindControl(CpmPIT::kCounterEnableId));
    EXPECT_EQ(check(6), "");
    EXPECT_EQ(check(7), head + "PDB_0 module as input, but the module is not enabled");
    pdb.enabled = true;
    EXPECT_EQ(check(7), "");
    EXPECT_EQ(check(8), head + "SCI_1 Tx as input, but the transmitter is not enabled");
    sci.enabled = true;
    EXPECT_EQ(check(8), "");
    adc.powered = 'A';
    EXPECT_EQ(check(9), head + "ADC B scan end in ADC_A module as input is used, but converter "
                               "B is not powered");
    adc.powered = 'B';
    EXPECT_EQ(check(9), "");
    EXPECT_EQ(check(10), "");
    // A sub-module that does not answer counts as set up, and so does one whose siblings are
    // all absent too (their kind of module is not known to the project).
    EXPECT_EQ(check(11), "");
    EXPECT_EQ(check(12), "");
    // The other output's page was never warned about.
    EXPECT_EQ(f.OutputWarning(0), "");
}

TEST(CpmXBAR, InputNamesAreReadWholeOrNotAtAll) {
    using hwc::xbar::ESourceKind;
    using hwc::xbar::ESourceTable;
    using hwc::xbar::SourceOf;
    struct tCase {
        const char* name;
        ESourceKind kind;
        const char* instance;
        int detail;
    };
    for (const tCase& c : {tCase{"CMPC_OUT", ESourceKind::ModuleEnabled, "HSCMP_C", 0},
                           tCase{"TB12_OUT", ESourceKind::ChannelRunning, "QT_B12", 0},
                           tCase{"PWM_A3_TRG", ESourceKind::PwmTrigger, "PWM_A_3", -1},
                           tCase{"PWM_B0_TRG1", ESourceKind::PwmTrigger, "PWM_B_0", 1},
                           tCase{"PIT1_SYNC", ESourceKind::ModuleEnabled, "PIT1", 0},
                           tCase{"PDB10_PULSE", ESourceKind::ModuleEnabled, "PDB_10", 0},
                           tCase{"SCI2_TXD", ESourceKind::SerialTransmitter, "SCI_2", 0},
                           tCase{"ADCB_SCAN_END", ESourceKind::ConverterPowered, "ADC_A", 'B'}}) {
        const auto entry = SourceOf(ESourceTable::ByName, 0, c.name);
        ASSERT_TRUE(entry) << c.name;
        EXPECT_EQ(entry->kind, c.kind) << c.name;
        EXPECT_EQ(entry->instances[0], c.instance) << c.name;
        if (c.kind != ESourceKind::ChannelRunning && c.kind != ESourceKind::ModuleEnabled) {
            EXPECT_EQ(entry->detail, c.detail) << c.name;
        }
    }
    // A piece too long, too short, lower case or followed by more text is no source.
    for (const char* name : {"TB123_OUT", "T_OUT", "CMPc_OUT", "CMPAB_OUT", "PWM_A3_TRG2",
                             "PWM_A3_TRG01", "PIT_SYNC", "SCI2_TXD ", "ADCC_SCAN_END", "XCMPA_OUT",
                             "", "PDB1_PULSEX"})
        EXPECT_FALSE(SourceOf(ESourceTable::ByName, 0, name)) << name;
}

TEST(CpmXBAR, EitherTriggerAndUnansweringModulesOfTheNewerGroups) {
    CXbarFixture f({grp::kFamD}, Info(1, {"VSS", "PWM_B1_TRG", "CMPD_OUT"}));
    auto& pwm = f.Source<CpmSourceFake>("PWM_B_1");
    f.Source<CpmMuteFake>("HSCMP_D");
    f.Open();
    f.Pick(0, 1);
    f.xbar->CheckWarnings();
    EXPECT_EQ(f.OutputWarning(0), "Cross Bar output \"0. O0\" has selected PWM_B_1 module "
                                  "Trigger 0 or Trigger 1 as input, but the triggers are not "
                                  "selected");
    pwm.triggers[1] = true;
    f.xbar->CheckWarnings();
    EXPECT_EQ(f.OutputWarning(0), "");
    f.Pick(0, 2);
    f.xbar->CheckWarnings();
    EXPECT_EQ(f.OutputWarning(0), "");
    // Other groups have no table at all.
    CXbarFixture other({}, Info(1, {"VSS", "CMPA_OUT"}));
    other.Source<CpmSourceFake>("HSCMP_A");
    other.Open();
    other.Pick(0, 1);
    other.xbar->CheckWarnings();
    EXPECT_TRUE(other.host.warnings.empty());
}

TEST(CpmXBAR, SignalInUseForms) {
    CXbarFixture b({grp::kFamF}, Info(3, Numbered("IN", 10)), "XBAR_B");
    b.Open();
    b.xbar->Item(0).dwValue = 0x0500; // output 1 selects input 5
    b.xbar->Item(1).dwValue = 0x0002; // output 2 selects input 2
    EXPECT_TRUE(b.xbar->IsSignalInUse("XB_IN5"));
    EXPECT_TRUE(b.xbar->IsSignalInUse("XB_IN0")); // output 0 selects input 0
    EXPECT_FALSE(b.xbar->IsSignalInUse("XB_IN3"));
    EXPECT_TRUE(b.xbar->IsSignalInUse("XB_IN3/XB_IN5"));
    EXPECT_FALSE(b.xbar->IsSignalInUse("XB_IN5/XB_IN3"));
    EXPECT_FALSE(b.xbar->IsSignalInUse("XB_OUT0"));
    EXPECT_TRUE(b.xbar->IsSignalInUse("XB_OUT1"));
    EXPECT_TRUE(b.xbar->IsSignalInUse("XB_OUT2"));
    EXPECT_FALSE(b.xbar->IsSignalInUse("XB_OUT3"));
    for (const char* bad : {"XB_IN", "XB_INx", "XB_IN5/", "XB_IN5/XB_OUT1", "XB_OUT", "XB_OUT-1",
                            "xb_in5", "XB_IN5 ", "", "XB_OUT99999"})
        EXPECT_FALSE(b.xbar->IsSignalInUse(bad)) << bad;
    EXPECT_TRUE(hwc::CrossbarSignalInUse(*b.xbar, "XBAR_B", "XB_IN2"));
    // The pin status counts crossbar signals only while selected, other signals always.
    EXPECT_FALSE(b.xbar->IsPinFunctionUsed("XB_OUT0"));
    EXPECT_TRUE(b.xbar->IsPinFunctionUsed("XB_IN2"));
    EXPECT_TRUE(b.xbar->IsPinFunctionUsed("SOMETHING_ELSE"));

    // Elsewhere the first of the two inputs counts.
    CXbarFixture a({grp::kFamF}, Info(1, Numbered("IN", 10)), "XBAR_A");
    a.Open();
    a.xbar->Item(0).dwValue = 3;
    EXPECT_TRUE(a.xbar->IsSignalInUse("XB_IN3/XB_IN5"));
    EXPECT_FALSE(a.xbar->IsSignalInUse("XB_IN5/XB_IN3"));
}

TEST(CpmXBAR, OtherModulesAskThroughTheFreeFunctions) {
    CXbarFixture f({grp::kFamE}, Info(3, {"VSS", "VDD", "CMPA_OUT"}));
    f.Source<CpmSourceFake>("HSCMP_A");
    f.Open();
    f.xbar->Item(1).dwValue = 2;
    const CModuleBase& asker = *f.host.modules.back();
    EXPECT_EQ(hwc::CrossbarOutputMode(asker, "XBAR_A", 2), 2);
    EXPECT_EQ(hwc::CrossbarOutputMode(asker, "XBAR_A", 3), -1);
    EXPECT_FALSE(hwc::CrossbarOutputConfigured(asker, "XBAR_A", 2));
    EXPECT_EQ(hwc::CrossbarSourceCheck(asker, "XBAR_A", 2).message,
              "HSCMP_A module as input, but HSCMP_A is not enabled");
    EXPECT_TRUE(hwc::CrossbarSourceCheck(asker, "XBAR_A", 7).passes);
    EXPECT_EQ(hwc::CrossbarOutputLabel(asker, "XBAR_A", 1), "1. O1.");
    const auto field = hwc::CrossbarOutputField(asker, "XBAR_A", 2);
    ASSERT_TRUE(field.has_value());
    EXPECT_EQ(field->registerName, "XBC1_INIT");
    EXPECT_EQ(field->width, 6);
    EXPECT_EQ(hwc::CrossbarInputNames(asker, "XBAR_A"),
              (std::vector<std::string>{"VSS", "VDD", "CMPA_OUT"}));
}

TEST(CrossbarSourceQueries, AbsentAndSilentModulesGiveTheAbsentAnswer) {
    CHost host;
    CModule& asker = host.Add<CpmMuteFake>("XBAR_A", "XBAR");
    host.Add<CpmMuteFake>("PWM_A_0", "PWM_FamC");
    for (const char* name : {"PWM_A_0", "PWM_A_1"}) {
        EXPECT_TRUE(hwc::PwmTriggerSelected(asker, name, 0, true));
        EXPECT_FALSE(hwc::PwmTriggerSelected(asker, name, -1, false));
    }
    host.Add<CpmMuteFake>("SCI_0", "SCI");
    for (const char* name : {"SCI_0", "SCI_1"}) {
        EXPECT_TRUE(hwc::SerialTransmitterEnabled(asker, name, true));
        EXPECT_FALSE(hwc::SerialTransmitterEnabled(asker, name, false));
    }
    host.Add<CpmMuteFake>("ADC_A", "ADC");
    for (const char* name : {"ADC_A", "ADC_B"}) {
        EXPECT_TRUE(hwc::AdcConverterPowered(asker, name, 'A', true));
        EXPECT_FALSE(hwc::AdcConverterPowered(asker, name, 'B', false));
    }
}

TEST(CrossbarSourceQueries, AnsweringModulesAreAsked) {
    CHost host;
    CModule& asker = host.Add<CpmMuteFake>("XBAR_A", "XBAR");
    auto& source = host.Add<CpmSourceFake>("SRC", "SRC");
    source.triggers[1] = true;
    source.powered = 'B';
    EXPECT_FALSE(hwc::PwmTriggerSelected(asker, "SRC", 0, true));
    EXPECT_TRUE(hwc::PwmTriggerSelected(asker, "SRC", 1, false));
    EXPECT_TRUE(hwc::PwmTriggerSelected(asker, "SRC", -1, false));
    EXPECT_FALSE(hwc::SerialTransmitterEnabled(asker, "SRC", true));
    EXPECT_FALSE(hwc::AdcConverterPowered(asker, "SRC", 'A', true));
    EXPECT_TRUE(hwc::AdcConverterPowered(asker, "SRC", 'B', false));
    // The interval timer answers its counter enable.
    auto& pit = host.Add<CpmPIT>("PIT0", "PIT");
    EXPECT_FALSE(hwc::ModuleEnabled(asker, "PIT0", true));
    pit.Item(CpmPIT::kCtrlItem).dwValue = 1;
    EXPECT_TRUE(hwc::ModuleEnabled(asker, "PIT0", false));
}
