#include "modules/routing/CpmEVTG.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/TextUtil.h"
#include "model/ModuleSubDlg.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;

class CpmEvtgClockTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmEvtgClockTest, CModule)
public:
    CpmEvtgClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 100.0f;
};

// A crossbar "XBAR_A" of 72 outputs whose every output fails its source check.
class CpmEvtgCrossbarTest : public CModule, public hwc::ICrossbar {
    HWC_DECLARE_MODULE_CLASS(CpmEvtgCrossbarTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"XBC32_INIT", 0, hwc::RegFlag::DW16}};
    CpmEvtgCrossbarTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}
    bool IsOutputConfigured(int) const override { return false; }
    int OutputMode(int) const override { return -1; }
    hwc::tCrossbarSourceCheck CheckOutputSource(int) const override {
        return {false, "PIT0 module as input, but the PIT0 counter is not enabled"};
    }
    bool IsSignalInUse(std::string_view) const override { return false; }
    std::string OutputLabel(int output) const override {
        return hwc::Format("%d. EVTG_IN%d.", output, output - 64);
    }
    std::optional<hwc::tCrossbarField> OutputField(int output) const override {
        if (output != 64 && output != 65)
            return std::nullopt;
        return hwc::tCrossbarField{"XBC32_INIT", output == 65 ? 8 : 0, 6};
    }
    std::vector<std::string> InputNames() const override { return {"VSS", "VDD", "PIT0_SYNC"}; }
};

struct CEvtgFixture {
    explicit CEvtgFixture(std::set<int> groups, const std::string& info = {},
                          float busMHz = 100.0f) {
        host.groups = std::move(groups);
        if (busMHz > 0.0f)
            host.Add<CpmEvtgClockTest>("OCCS", "OCCS").busMHz = busMHz;
        xbar = &host.Add<CpmEvtgCrossbarTest>("XBAR_A", "XBAR");
        evtg = &host.Add<CpmEVTG>("EVTG", "EVTG", info);
        host.BindAll();
        evtg->CreatePage();
        evtg->OnInitialUpdate();
    }
    std::uint32_t& Reg(int channel, int item) {
        return evtg->Item(CpmEVTG::ItemIndex(channel, item)).dwValue;
    }
    CPageControl* ChannelControl(int channel, int id) {
        return Control(CpmEVTG::kFirstChannelPageId + channel, id);
    }
    CPageControl* BlockControl(int channel, int block, int id) {
        return Control(CpmEVTG_EVENT_Dlg::kFirstBlockPageId + 2 * channel + block, id);
    }
    CPageControl* Control(int subPage, int id) {
        const std::uint32_t full =
            (static_cast<std::uint32_t>(subPage) << 16) | static_cast<std::uint32_t>(id);
        return evtg->Page()->FindControl(static_cast<int>(full));
    }

    CModuleTestHost host;
    CpmEvtgCrossbarTest* xbar = nullptr;
    CpmEVTG* evtg = nullptr;
};

} // namespace

TEST(CpmEVTG, SevenRegistersPerChannel) {
    CEvtgFixture f({CModule::kFamD});
    ASSERT_EQ(f.evtg->ItemCount(), 28);
    EXPECT_EQ(f.evtg->GetDefineName(f.evtg->Item(0)), "EVTG_A_AOI0_BFT01_INIT");
    EXPECT_EQ(f.evtg->GetDefineName(f.evtg->Item(4)), "EVTG_A_CTRL_INIT");
    EXPECT_EQ(f.evtg->GetDefineName(f.evtg->Item(13)), "EVTG_B_AOI1_FILT_INIT");
    EXPECT_EQ(f.evtg->GetDefineName(f.evtg->Item(27)), "EVTG_D_AOI1_FILT_INIT");
    // One page per channel, each holding its two blocks.
    EXPECT_EQ(f.evtg->Page()->SubPages().size(), 4u);
    EXPECT_EQ(f.ChannelControl(2, CpmEVTG_EVENT_Dlg::kGroupId)->Text(), "Channel C");
    EXPECT_EQ(f.BlockControl(3, 1, CpmEVTG_EVENT_AOI_Dlg::kGroupId)->Text(), "AOI1");
}

TEST(CpmEVTG, ControlsCodeTheirFields) {
    CEvtgFixture f({CModule::kFamD});
    CPage& page = *f.evtg->Page();
    // The product terms are coded as in the and-or-invert module.
    page.UserSelect(*f.BlockControl(1, 1, CAoiTermFields::FieldId(1, 2)), hwc::kAoiInverted);
    EXPECT_EQ(f.Reg(1, CpmEVTG::kAoi1Bft01), 0x0008u);
    page.UserSelect(*f.BlockControl(1, 0, CAoiTermFields::FieldId(2, 0)), hwc::kAoiPlain);
    EXPECT_EQ(f.Reg(1, CpmEVTG::kAoi0Bft23), 0x4000u);

    // Bits outside the fields are kept.
    f.Reg(0, CpmEVTG::kCtrl) = 0xF0E8;
    f.evtg->UpdateControlStates();
    page.UserSelect(*f.ChannelControl(0, CpmEVTG_EVENT_Dlg::kOutputStageId), CpmEVTG::kJKFlipFlop);
    page.UserSelect(*f.ChannelControl(0, CpmEVTG_EVENT_Dlg::kInitialValueId), 1);
    EXPECT_EQ(f.Reg(0, CpmEVTG::kCtrl), 0xF0FCu);
    page.UserClick(*f.ChannelControl(0, CpmEVTG_EVENT_Dlg::kFirstSyncId + 2));
    EXPECT_EQ(f.Reg(0, CpmEVTG::kCtrl), 0xF4FCu);
    EXPECT_EQ(f.evtg->OutputStage(0), CpmEVTG::kJKFlipFlop);

    f.Reg(1, CpmEVTG::kAoi0Filt) = 0xF800;
    f.evtg->UpdateControlStates();
    page.UserSelect(*f.BlockControl(1, 0, CpmEVTG_EVENT_AOI_Dlg::kFilterCountId), 5);
    page.UserEdit(*f.BlockControl(1, 0, CpmEVTG_EVENT_AOI_Dlg::kFilterPeriodId), "200");
    EXPECT_EQ(f.Reg(1, CpmEVTG::kAoi0Filt), 0xF800u | (5u << 8) | 200u);
    // A period beyond the field is refused.
    page.UserEdit(*f.BlockControl(1, 0, CpmEVTG_EVENT_AOI_Dlg::kFilterPeriodId), "256");
    EXPECT_EQ(f.Reg(1, CpmEVTG::kAoi0Filt) & 0xFFu, 200u);
    EXPECT_FALSE(f.evtg->Validate(false));

    std::string summary;
    f.evtg->GetSummary(summary);
    EXPECT_NE(summary.find("Channel A: AOI0 = 0, AOI1 = 0, JK flip-flop, initial value 1"),
              std::string::npos)
        << summary;
}

TEST(CpmEVTG, FilterLatencyFromTheBusClock) {
    CEvtgFixture f({CModule::kFamD});
    EXPECT_EQ(f.evtg->LatencyText(0, 0), "OFF");
    // (2 + 3) x 10 + 2 = 52 bus clocks at 100 MHz.
    f.Reg(0, CpmEVTG::kAoi1Filt) = (2u << 8) | 10u;
    EXPECT_EQ(f.evtg->LatencyText(0, 1), "0.52 us");
    // The largest count and period: (7 + 3) x 255 + 2 = 2552 clocks.
    f.Reg(3, CpmEVTG::kAoi0Filt) = 0xFFFF;
    EXPECT_EQ(f.evtg->LatencyText(3, 0), "25.52 us");
    // A count with the filter off stays off.
    f.Reg(2, CpmEVTG::kAoi0Filt) = 7u << 8;
    EXPECT_EQ(f.evtg->LatencyText(2, 0), "OFF");
    f.evtg->Recalculate();
    EXPECT_EQ(f.BlockControl(0, 1, CpmEVTG_EVENT_AOI_Dlg::kLatencyId)->Text(), "0.52 us");
    EXPECT_EQ(f.BlockControl(2, 0, CpmEVTG_EVENT_AOI_Dlg::kLatencyId)->Text(), "OFF");

    CEvtgFixture noClock({CModule::kFamD}, {}, 0.0f);
    noClock.Reg(0, CpmEVTG::kAoi0Filt) = 1;
    EXPECT_EQ(noClock.evtg->LatencyText(0, 0), "??");
}

TEST(CpmEVTG, InputNamesFromTheModuleInformation) {
    CEvtgFixture plain({CModule::kFamD});
    EXPECT_EQ(plain.ChannelControl(1, CLogicInputs::kFirstNameId + 3)->Text(), "Input D");
    EXPECT_FALSE(plain.ChannelControl(1, CLogicInputs::kFirstSourceId)->IsVisible());
    EXPECT_FALSE(plain.ChannelControl(1, CLogicInputs::kFirstCaptionId + 3)->IsVisible());

    CEvtgFixture named({CModule::kFamE}, "b, XBAR_A.XB_OUT64:XBAR_A.XB_OUT65:TRIG\nE, X\n1, Y\n");
    EXPECT_EQ(named.ChannelControl(1, CLogicInputs::kFirstNameId)->Text(), "64. EVTG_IN0.");
    EXPECT_EQ(named.ChannelControl(1, CLogicInputs::kFirstNameId + 2)->Text(), "TRIG");
    EXPECT_EQ(named.ChannelControl(1, CLogicInputs::kFirstCaptionId + 2)->Text(), "Input C:");
    EXPECT_TRUE(named.ChannelControl(1, CLogicInputs::kFirstCaptionId + 2)->IsVisible());
    EXPECT_EQ(named.ChannelControl(1, CLogicInputs::kFirstNameId + 3)->Text(), "Input D");
    EXPECT_EQ(named.ChannelControl(0, CLogicInputs::kFirstNameId)->Text(), "Input A");
    CPageControl* source = named.ChannelControl(1, CLogicInputs::kFirstSourceId + 1);
    ASSERT_TRUE(source->IsVisible());
    named.evtg->Page()->UserSelect(*source, 2);
    EXPECT_EQ(named.xbar->Item(0).dwValue, 0x0200u);

    // Input warnings as the AOI module's: block AOI1 uses input B of channel B.
    named.Reg(1, CpmEVTG::kAoi1Bft23) = 0x1000;
    named.evtg->CheckWarnings();
    EXPECT_EQ(named.host.Warning(*named.evtg, CpmEVTG::InputLabelId(1, 1)),
              "EVTG Channel B, input B is not configured: (PIT0 module as input, but the PIT0 "
              "counter is not enabled)");
    EXPECT_EQ(named.host.Warning(*named.evtg, CpmEVTG::InputLabelId(1, 0)), "");
    named.Reg(1, CpmEVTG::kAoi1Bft23) = 0;
    named.evtg->CheckWarnings();
    EXPECT_TRUE(named.host.warnings.empty());
}

TEST(CpmEVTG, ReservedOutputStageWarns) {
    CEvtgFixture f({CModule::kFamD}, "A, XBAR_A.XB_OUT64");
    f.Reg(0, CpmEVTG::kAoi0Bft01) = 0x4000; // uses input A; no warning on FamD
    f.Reg(2, CpmEVTG::kCtrl) = 6;
    f.evtg->UpdateControlStates();
    f.evtg->CheckWarnings();
    EXPECT_EQ(f.host.Active(),
              (std::map<int, std::string>{{CpmEVTG::StageNoteId(2),
                                           "EVTG Channel C: output stage 6 is reserved; the "
                                           "channel gives no output"}}));
    EXPECT_EQ(f.ChannelControl(2, CpmEVTG_EVENT_Dlg::kOutputStageId)->Selection(), 6);
    f.Reg(2, CpmEVTG::kCtrl) = CpmEVTG::kSetReset;
    f.evtg->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
    EXPECT_EQ(f.ChannelControl(2, CpmEVTG_EVENT_Dlg::kStageRoleId)->Text(),
              "AOI0 sets the output, AOI1 resets it.");
}
