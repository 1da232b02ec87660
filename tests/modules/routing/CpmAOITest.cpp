#include "modules/routing/CpmAOI.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/ModuleSubDlg.h"
#include "modules/routing/AoiLogic.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;

// A crossbar of 16 outputs in eight selection registers, its fields `width` bits wide. An
// output that selects input 10 fails the source check.
class CpmAoiCrossbarTest : public CModule, public hwc::ICrossbar {
    HWC_DECLARE_MODULE_CLASS(CpmAoiCrossbarTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {
        {"XBC0_INIT", 0, hwc::RegFlag::DW16}, {"XBC1_INIT", 0, hwc::RegFlag::DW16},
        {"XBC2_INIT", 0, hwc::RegFlag::DW16}, {"XBC3_INIT", 0, hwc::RegFlag::DW16},
        {"XBC4_INIT", 0, hwc::RegFlag::DW16}, {"XBC5_INIT", 0, hwc::RegFlag::DW16},
        {"XBC6_INIT", 0, hwc::RegFlag::DW16}, {"XBC7_INIT", 0, hwc::RegFlag::DW16}};
    static constexpr int kFailingInput = 10;

    CpmAoiCrossbarTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 8) {
        for (int input = 0; input < 40; ++input)
            inputs.push_back(hwc::Format("XB_IN%d", input));
    }
    int Selected(int output) const {
        const hwc::tCrossbarField field = *OutputField(output);
        return static_cast<int>((Item(output / 2).dwValue >> field.lowBit) &
                                ((1u << field.width) - 1u));
    }
    bool IsOutputConfigured(int output) const override { return CheckOutputSource(output).passes; }
    int OutputMode(int) const override { return -1; }
    hwc::tCrossbarSourceCheck CheckOutputSource(int output) const override {
        if (!OutputField(output) || Selected(output) != kFailingInput)
            return {};
        return {false, "HSCMP_A module as input, but HSCMP_A is not enabled"};
    }
    bool IsSignalInUse(std::string_view) const override { return false; }
    std::string OutputLabel(int output) const override {
        return hwc::Format("%d. AOI_IN%d.", output, output);
    }
    std::optional<hwc::tCrossbarField> OutputField(int output) const override {
        if (output < 0 || output >= 16)
            return std::nullopt;
        return hwc::tCrossbarField{hwc::Format("XBC%d_INIT", output / 2), output % 2 ? 8 : 0,
                                   width};
    }
    std::vector<std::string> InputNames() const override { return inputs; }

    int width = 5;
    std::vector<std::string> inputs;
};

class CpmAoiOtherTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmAoiOtherTest, CModule)
public:
    CpmAoiOtherTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
};

constexpr const char* kFourEvents =
    "0, XBAR_B.XB_OUT0:XBAR_B.XB_OUT1:XBAR_B.XB_OUT2:XBAR_B.XB_OUT3, XBAR_A.XB_IN42\n"
    "1, XBAR_B.XB_OUT4:XBAR_B.XB_OUT5:XBAR_B.XB_OUT6:XBAR_B.XB_OUT7, XBAR_A.XB_IN43\n"
    "2, XBAR_B.XB_OUT8:XBAR_B.XB_OUT9:XBAR_B.XB_OUT10:XBAR_B.XB_OUT11, XBAR_A.XB_IN44\n"
    "3, XBAR_B.XB_OUT12:XBAR_B.XB_OUT13:XBAR_B.XB_OUT14:XBAR_B.XB_OUT15, XBAR_A.XB_IN45\n";

// A document with an optional crossbar "XBAR_B" and the AOI module, bound, page open.
struct CAoiFixture {
    CAoiFixture(std::set<int> groups, const std::string& info, bool crossbar = true, int width = 5,
                bool openPage = true) {
        host.groups = std::move(groups);
        if (crossbar) {
            xbar = &host.Add<CpmAoiCrossbarTest>("XBAR_B", "XBAR");
            xbar->width = width;
        }
        aoi = &host.Add<CpmAOI>("AOI", "AOI", info);
        host.BindAll();
        if (openPage) {
            aoi->CreatePage();
            aoi->OnInitialUpdate();
        }
    }
    CPageControl* Control(int event, int id) {
        const std::uint32_t full =
            (static_cast<std::uint32_t>(CpmAOI::kFirstEventPageId + event) << 16) |
            static_cast<std::uint32_t>(id);
        return aoi->Page()->FindControl(static_cast<int>(full));
    }
    void SelectTerm(int event, int term, int input, int use) {
        CPageControl* list = Control(event, CAoiTermFields::FieldId(term, input));
        ASSERT_NE(list, nullptr);
        aoi->Page()->UserSelect(*list, use);
    }
    std::string Warning(int event, int input) {
        return host.Warning(*aoi, CpmAOI::InputLabelId(event, input));
    }

    CModuleTestHost host;
    CpmAoiCrossbarTest* xbar = nullptr;
    CpmAOI* aoi = nullptr;
};

} // namespace

TEST(AoiLogic, TermFieldsAndExpressions) {
    // Term 0 in the upper byte, input A in its top bits; term 1 in the lower byte.
    EXPECT_EQ(hwc::AoiField(0, 0).lowBit, 14);
    EXPECT_EQ(hwc::AoiField(0, 3).lowBit, 8);
    EXPECT_EQ(hwc::AoiField(1, 2).lowBit, 2);
    EXPECT_EQ(hwc::AoiField(3, 0).reg, 1);
    EXPECT_EQ(hwc::AoiField(3, 0).lowBit, 6);
    EXPECT_EQ(hwc::AoiFieldItems(2),
              (std::vector<std::string>{"Fixed 0", "Input C", "Inverted C", "Fixed 1"}));

    // A & ~B (C, D fixed 1) in term 0; term 3 takes C; the others hold fixed 0s.
    EXPECT_EQ(hwc::AoiExpression({0x6F00, 0}), "A & ~B");
    EXPECT_EQ(hwc::AoiExpression({0x6F00, 0x00F7}), "A & ~B | C");
    EXPECT_EQ(hwc::AoiExpression({0x6F00, 0xFF00}), "1");
    EXPECT_EQ(hwc::AoiExpression({0, 0}), "0");
    EXPECT_TRUE(hwc::AoiInputUsed({0x6F00, 0}, 1));
    EXPECT_FALSE(hwc::AoiInputUsed({0x6F00, 0}, 2));
    EXPECT_TRUE(hwc::AoiInputUsed({0, 0x0004}, 2));
}

TEST(AoiLogic, ParameterLinesAndSignalNames) {
    const auto line = hwc::ParseLogicLine(" 1 ,\t\"A\" : B:C:D:E , \"OUT\" ");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->key, "1");
    EXPECT_EQ(line->inputs, (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(line->output, "OUT");
    EXPECT_FALSE(hwc::ParseLogicLine("  "));
    EXPECT_FALSE(hwc::ParseLogicLine(",A:B"));
    EXPECT_TRUE(hwc::ParseLogicLine("2")->inputs.empty());
    const std::string longName(40, 'N');
    EXPECT_EQ(hwc::ParseLogicLine("0," + longName + "," + longName)->inputs.front().size(), 31u);
    EXPECT_EQ(hwc::ParseLogicLine("0,X," + longName)->output.size(), 31u);

    const auto ref = hwc::ParseSignalRef("XBAR_B.XB_OUT12", "XB_OUT");
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->module, "XBAR_B");
    EXPECT_EQ(ref->number, 12);
    for (const char* plain : {"XBAR_B.XB_OUT", "XBAR_B.XB_OUT-1", "XBAR_B.XB_OUT1x", ".XB_OUT1",
                              "XB_OUT1", "XBAR_B.XB_IN1", "XBAR_B.XB_OUT99999999999"})
        EXPECT_FALSE(hwc::ParseSignalRef(plain, "XB_OUT")) << plain;
}

TEST(CpmAOI, ParameterTextConfiguresEvents) {
    const std::string info = "5, XBAR_B.XB_OUT0, X\n"
                             "2, XBAR_B.XB_OUT40:XBAR_B.XB_OUT41\n"
                             "-1, A\n"
                             "abc, A\n"
                             "3x, A\n"
                             "0, P, Q\n"
                             "0, R:S:T:U:V, W\n"
                             "0x3, K\n";
    CAoiFixture f({CModule::kFamE}, info, false);
    EXPECT_EQ(f.aoi->ItemCount(), 8);
    EXPECT_EQ(f.aoi->GetDefineName(f.aoi->Item(1)), "AOI_BFCRT230_INIT");
    EXPECT_EQ(f.aoi->GetDefineName(f.aoi->Item(6)), "AOI_BFCRT013_INIT");
    EXPECT_EQ(f.aoi->EventDialog(1), nullptr);
    ASSERT_NE(f.aoi->EventDialog(2), nullptr);
    EXPECT_EQ(f.aoi->EventDialog(2)->Inputs().Count(), 2);
    EXPECT_EQ(f.aoi->EventDialog(2)->Inputs().Name(1), "XBAR_B.XB_OUT41");
    // A repeated event takes its last line; more than four inputs give the first four.
    const CpmAOI_Dlg* first = f.aoi->EventDialog(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Inputs().Count(), 4);
    EXPECT_EQ(first->Inputs().Name(3), "U");
    EXPECT_EQ(first->OutputName(), "W");
    ASSERT_NE(f.aoi->EventDialog(3), nullptr);
    EXPECT_EQ(f.aoi->EventDialog(3)->Inputs().Name(0), "K");
    EXPECT_EQ(f.aoi->EventDialog(3)->OutputName(), "");

    // Only configured events get a page; its caption names the event.
    const CPage& page = *f.aoi->Page();
    EXPECT_EQ(page.SubPages().size(), 3u);
    EXPECT_FALSE(page.FindControl(CpmAOI::kFirstEventPageId + 1)->IsVisible());
    EXPECT_EQ(f.Control(2, CpmAOI_Dlg::kGroupId)->Text(), "AOI EVENT2");
    EXPECT_FALSE(page.FindControl(CpmAOI::kNoEventsId)->IsVisible());
    // Without a crossbar the names are plain text: shown as written, no source list.
    EXPECT_EQ(f.Control(2, CLogicInputs::kFirstNameId + 1)->Text(), "XBAR_B.XB_OUT41");
    EXPECT_FALSE(f.Control(2, CLogicInputs::kFirstSourceId)->IsVisible());
    // Missing names show their input letter.
    EXPECT_EQ(f.Control(2, CLogicInputs::kFirstNameId + 3)->Text(), "Input D");

    CAoiFixture none({CModule::kFamE}, "7, A\n");
    EXPECT_TRUE(none.aoi->Page()->FindControl(CpmAOI::kNoEventsId)->IsVisible());
    EXPECT_TRUE(none.aoi->Page()->SubPages().empty());
}

TEST(CpmAOI, TermListsCodeTheirFields) {
    CAoiFixture f({CModule::kFamE}, kFourEvents);
    f.SelectTerm(0, 1, 2, hwc::kAoiInverted);
    EXPECT_EQ(f.aoi->Item(0).dwValue, 0x0008u); // bits 2..3 of the first register = 2
    f.SelectTerm(0, 0, 0, hwc::kAoiPlain);
    EXPECT_EQ(f.aoi->Item(0).dwValue, 0x4008u);
    f.SelectTerm(3, 3, 3, hwc::kAoiFixed1);
    EXPECT_EQ(f.aoi->Item(7).dwValue, 0x0003u);
    f.SelectTerm(3, 2, 0, hwc::kAoiInverted);
    EXPECT_EQ(f.aoi->Item(7).dwValue, 0x8003u);
    EXPECT_EQ(f.Control(0, CAoiTermFields::FieldId(0, 1))->Items().at(2), "Inverted B");

    // The summary gives each event as an expression.
    f.aoi->Item(2).dwValue = 0x6F00;
    f.aoi->Item(3).dwValue = 0x00F7;
    std::string summary;
    f.aoi->GetSummary(summary);
    EXPECT_NE(summary.find("Event 1 = A & ~B | C"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Event 2 = 0"), std::string::npos) << summary;
}

TEST(CpmAOI, SourceListsEditTheCrossbarsOwnField) {
    CAoiFixture f({CModule::kFamD},
                  "0, XBAR_B.XB_OUT3:XBAR_B.XB_OUT2:XBAR_B.XB_OUT16, XBAR_B.XB_IN7", true, 6);
    // Output 3 is the upper field of XBC1, six bits wide: input 33 has bit 5 set.
    f.xbar->Item(1).dwValue = 0xC000 | (33u << 8) | 0x0015;
    f.aoi->UpdateControlStates();
    CPageControl* list = f.Control(0, CLogicInputs::kFirstSourceId);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsVisible());
    EXPECT_EQ(list->Items(), f.xbar->inputs);
    EXPECT_EQ(list->Selection(), 33);
    f.aoi->Page()->UserSelect(*list, 35);
    EXPECT_EQ(f.xbar->Item(1).dwValue, 0xC000u | (35u << 8) | 0x0015u);
    EXPECT_EQ(f.xbar->Selected(3), 35);
    // The lower field serves input B, the other bits stay.
    f.aoi->Page()->UserSelect(*f.Control(0, CLogicInputs::kFirstSourceId + 1), 2);
    EXPECT_EQ(f.xbar->Item(1).dwValue, 0xC000u | (35u << 8) | 0x0002u);
    // The registers view lists the crossbar register with the module's.
    EXPECT_EQ(f.aoi->ForeignItems(), std::vector<tPerCfgItem*>{&f.xbar->Item(1)});

    // Labels show the crossbar's label of the output; the output its input's name.
    EXPECT_EQ(f.Control(0, CLogicInputs::kFirstNameId)->Text(), "3. AOI_IN3.");
    EXPECT_EQ(f.Control(0, CLogicInputs::kFirstCaptionId)->Text(), "Input A, XBAR_B:");
    EXPECT_EQ(f.Control(0, CpmAOI_Dlg::kOutputId)->Text(), "Output: XB_IN7 (XBAR_B.XB_IN7)");
    // An output beyond the crossbar's is plain text.
    EXPECT_EQ(f.Control(0, CLogicInputs::kFirstNameId + 2)->Text(), "XBAR_B.XB_OUT16");
    EXPECT_FALSE(f.Control(0, CLogicInputs::kFirstSourceId + 2)->IsVisible());
    EXPECT_FALSE(f.aoi->EventDialog(0)->Inputs().Crossbar(2));
}

TEST(CpmAOI, SourceBeyondTheInputsIsKept) {
    CAoiFixture f({CModule::kFamE}, "0, XBAR_B.XB_OUT0", true, 6);
    f.xbar->Item(0).dwValue = 50;
    f.aoi->UpdateControlStates();
    CPageControl* list = f.Control(0, CLogicInputs::kFirstSourceId);
    ASSERT_EQ(list->Items().size(), 41u);
    EXPECT_EQ(list->Items().back(), "(input 50)");
    EXPECT_EQ(list->Selection(), 40);
    // Neither a save nor the page's check changes or refuses it.
    EXPECT_TRUE(f.aoi->Validate(false));
    f.aoi->ApplyControls();
    EXPECT_EQ(f.xbar->Item(0).dwValue, 50u);
    f.aoi->Page()->UserSelect(*list, 4);
    EXPECT_EQ(f.xbar->Item(0).dwValue, 4u);
    f.aoi->UpdateControlStates();
    EXPECT_EQ(list->Items().size(), 40u);
}

TEST(CpmAOI, NamesOfOtherModulesArePlainText) {
    CModuleTestHost host;
    host.groups = {CModule::kFamE};
    host.Add<CpmAoiOtherTest>("XBAR_B", "XBAR");
    CpmAOI& aoi = host.Add<CpmAOI>("AOI", "AOI", "0, XBAR_B.XB_OUT0, XBAR_B.XB_IN3");
    host.BindAll();
    aoi.CreatePage();
    EXPECT_FALSE(aoi.EventDialog(0)->Inputs().Crossbar(0));
    EXPECT_EQ(aoi.EventDialog(0)->OutputText(), "XBAR_B.XB_IN3");
    EXPECT_TRUE(aoi.ForeignItems().empty());
}

TEST(CpmAOI, InputWarningsFollowTheCrossbarSource) {
    CAoiFixture f({CModule::kFamE}, kFourEvents, true, 5, false);
    // Raised and cleared without a page too.
    f.xbar->Item(0).dwValue = CpmAoiCrossbarTest::kFailingInput; // output 0 = event 0 input A
    f.aoi->CheckWarnings();
    EXPECT_EQ(f.Warning(0, 0), "");  // no term uses input A yet
    f.aoi->Item(0).dwValue = 0x4000; // term 0 takes A
    f.aoi->CheckWarnings();
    EXPECT_EQ(f.Warning(0, 0), "AOI Event 0, input A is not configured: (HSCMP_A module as "
                               "input, but HSCMP_A is not enabled)");
    f.aoi->Item(0).dwValue = 0xC000; // fixed 1 does not use it
    f.aoi->CheckWarnings();
    EXPECT_EQ(f.Warning(0, 0), "");
    f.aoi->Item(1).dwValue = 0x0080; // term 3, inverted A
    f.aoi->CheckWarnings();
    EXPECT_NE(f.Warning(0, 0), "");
    f.xbar->Item(0).dwValue = 2; // another source
    f.aoi->CheckWarnings();
    EXPECT_EQ(f.Warning(0, 0), "");

    // With the page the label keeps its text and turns dark red.
    f.xbar->Item(1).dwValue = CpmAoiCrossbarTest::kFailingInput << 8; // output 3 = event 0, D
    f.aoi->CreatePage();
    f.aoi->OnInitialUpdate();
    f.SelectTerm(0, 1, 3, hwc::kAoiPlain);
    f.aoi->CheckWarnings();
    EXPECT_NE(f.Warning(0, 3), "");
    CPageControl* label = f.Control(0, CLogicInputs::kFirstNameId + 3);
    EXPECT_EQ(label->Text(), "3. AOI_IN3.");
    EXPECT_EQ(label->TextColour(), (tColour{128, 0, 0}));
    f.SelectTerm(0, 1, 3, hwc::kAoiFixed0);
    f.aoi->CheckWarnings();
    EXPECT_EQ(f.Warning(0, 3), "");
    EXPECT_EQ(label->TextColour(), (tColour{0, 0, 0}));
}

TEST(CpmAOI, NoInputWarningsOutsideFamEAndFamF) {
    for (int group :
         {static_cast<int>(CModule::kFamF), static_cast<int>(CModule::kFamD), hwc::test::kFamC}) {
        CAoiFixture f({group}, kFourEvents, true, 5, false);
        f.xbar->Item(0).dwValue = CpmAoiCrossbarTest::kFailingInput;
        f.aoi->Item(0).dwValue = 0x4000;
        f.aoi->CheckWarnings();
        EXPECT_EQ(!f.Warning(0, 0).empty(), group == CModule::kFamF) << group;
    }
    // A crossbar-fed input warns only while the crossbar answers.
    CAoiFixture absent({CModule::kFamE}, kFourEvents, false, 5, false);
    absent.aoi->Item(0).dwValue = 0x4000;
    absent.aoi->CheckWarnings();
    EXPECT_TRUE(absent.host.warnings.empty());
}
