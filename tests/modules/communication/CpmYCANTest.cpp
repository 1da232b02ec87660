#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/FixedText.h"
#include "model/BitGraph.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/communication/CanBitTiming.h"
#include "modules/communication/CpmYCAN.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"

using namespace hwc;
using namespace hwc::test;

namespace {

using Y = CpmYCAN;

// A clock module that publishes a chosen bus clock and crystal oscillator.
class CpmYcanClockTest : public CModule, public IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmYcanClockTest, CModule)
public:
    CpmYcanClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float CrystalClockMHz() const override { return crystalMHz; }
    bool IsRelaxationOscillatorDisabled() const override { return false; }
    bool IsLowSpeedOscillatorDisabled() const override { return false; }
    bool IsCrystalOscillatorPoweredDown() const override { return false; }
    float busMHz = 0.0f;
    float crystalMHz = 0.0f;
};

// Records the controls the module asks to focus.
class CFocusRecorder : public IPageObserver {
public:
    void OnControlChanged(CPageControl&) override {}
    void OnSubPageInserted(CPageControl&) override {}
    void OnFocusRequested(CPageControl& control) override { focused.push_back(control.Id()); }
    void OnToolTip(CPageControl&, const std::string&, const std::string&) override {}
    std::vector<int> focused;
};

constexpr const char* kFamDReset = "MCR_RESET=0xD890001F";

// A document with the controller (and, unless the bus clock is negative, a clock module).
struct CYcanFixture {
    explicit CYcanFixture(std::set<int> groups = {kFamK}, float busMHz = 4.0f,
                          float crystalMHz = 8.0f, const std::string& info = {}) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f) {
            clock = &host.Add<CpmYcanClockTest>("OCCS", "OCCS");
            clock->busMHz = busMHz;
            clock->crystalMHz = crystalMHz;
        }
        can = &host.Add<Y>("YCAN", "YCAN", info, "INT:47,48,49,50:");
        host.BindAll();
        can->CreatePage();
        can->Page()->SetObserver(&focus);
        can->OnInitialUpdate();
        can->CheckWarnings();
    }
    CPage& Page() { return *can->Page(); }
    CPageControl& Control(int id) { return *Page().FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    std::string SetText(int set, int offset) { return Text(Y::SetBase(set) + offset); }
    void Edit(int id, const std::string& text) { Page().UserEdit(Control(id), text); }
    std::uint32_t& Reg(int item) { return can->Item(item).dwValue; }
    // Registers as a loaded header sets them, then the page follows.
    void Refresh() {
        can->RefreshControls();
        can->CheckWarnings();
    }
    // Types the fields of a set and leaves the last one, as a user does.
    void TypeTiming(int set, int prescaler, int prop, int pseg1, int pseg2, int rjw) {
        const int values[] = {prescaler, prop, pseg1, pseg2, rjw};
        for (int field = 0; field < Y::kFieldCount; ++field)
            Edit(Y::FieldId(set, field), std::to_string(values[field]));
        Page().UserFocus(&Control(Y::FieldId(set, Y::kRjw)));
        Page().UserFocus(nullptr);
        can->CheckWarnings();
    }
    void TypeRate(int set, const std::string& text) {
        Edit(Y::SetBase(set) + Y::kBitRateOffset, text);
        can->CheckWarnings();
    }

    CModuleTestHost host;
    CpmYcanClockTest* clock = nullptr;
    Y* can = nullptr;
    CFocusRecorder focus;
};

std::vector<std::string> RegisterNames(const Y& can) {
    std::vector<std::string> names;
    for (int i = 0; i < can.ItemCount(); ++i)
        names.emplace_back(FieldText(can.Item(i).szName));
    return names;
}

} // namespace

TEST(CpmYCAN, QuantumBitRateAndSamplePointOfTheFirstLayout) {
    CYcanFixture f({kFamK}, 4.0f);
    f.TypeTiming(Y::kBasicSet, 8, 3, 3, 3, 1);
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSourceClockOffset), "4 MHz");
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kQuantumClockOffset), "500 kHz");
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kQuantumLengthOffset), "2 us");
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kBitRateOffset), "50 kHz");
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSamplePointOffset), "70.0 %");
    // CTL1: prescaler 7 in 8..15, PHASE_SEG1 2 in 3..5, PHASE_SEG2 2 in 0..2; CTL0 PROP_SEG 2.
    EXPECT_EQ(f.Reg(Y::kCtl1Item), 0x0712u);
    EXPECT_EQ(f.Reg(Y::kCtl0Item), 0x0002u);
    const std::optional<tBitGraph> graph = ParseBitGraph(f.SetText(Y::kBasicSet, Y::kGraphOffset));
    ASSERT_TRUE(graph.has_value());
    EXPECT_EQ(graph->quanta, 10);
    EXPECT_EQ(graph->segments, (std::vector<tBitGraphSegment>{
                                   {"sync", 1}, {"prop", 3}, {"pseg1", 3}, {"pseg2", 3}}));
    EXPECT_EQ(graph->sampleAfter, 7);
    EXPECT_EQ(graph->jumpWidth, 1);
    EXPECT_EQ(graph->colour, 0x800000u);
    // The current rate's exact splits are listed with the current one selected.
    const std::vector<tCanCandidate>& rows = f.can->Candidates(Y::kBasicSet);
    ASSERT_FALSE(rows.empty());
    const CPageControl& list = f.Control(Y::kBasicBase + Y::kCandidatesOffset);
    ASSERT_GE(list.Selection(), 0);
    EXPECT_EQ(list.Items()[static_cast<std::size_t>(list.Selection())], "8\t10\t3\t3\t3\t1");
}

TEST(CpmYCAN, RegistersByLayout) {
    CYcanFixture first({kFamK});
    EXPECT_EQ(RegisterNames(*first.can),
              (std::vector<std::string>{"MCR_INIT", "CTL0_INIT", "CTL1_INIT", "MAXMB_INIT",
                                        "RXGMASK_H_INIT", "RXGMASK_L_INIT", "RX14MASK_H_INIT",
                                        "RX14MASK_L_INIT", "RX15MASK_H_INIT", "RX15MASK_L_INIT"}));
    EXPECT_EQ(first.can->TemplateId(), Y::kTemplateId);
    for (int i = 0; i < first.can->ItemCount(); ++i) {
        EXPECT_EQ(first.can->Item(i).dwFlags & RegFlag::NODEFAULT, 0u) << i;
        EXPECT_EQ(first.can->Item(i).dwDefault, 0u) << i;
    }

    CYcanFixture famE({kFamE}, 60.0f, 8.0f, kFamDReset);
    const std::vector<std::string> wide = {"MCR_INIT",      "CTRL1_INIT",    "CTRL2_INIT",
                                           "RXMGMASK_INIT", "RX14MASK_INIT", "RX15MASK_INIT",
                                           "RXFGMASK_INIT", "ECR_INIT",      "IMASK1_INIT",
                                           "IMASK2_INIT",   "MECR_INIT",     "RXFIR_INIT"};
    EXPECT_EQ(RegisterNames(*famE.can), wide);
    EXPECT_EQ(famE.can->TemplateId(), Y::kFamETemplateId);
    EXPECT_NE(famE.can->Item(Y::kMcrItem).dwFlags & RegFlag::NODEFAULT, 0u);
    EXPECT_EQ(famE.can->Item(Y::kMcrItem).dwDefault, 0xD890001Fu);
    EXPECT_EQ(famE.Reg(Y::kMcrItem), 0xD890001Fu);
    EXPECT_EQ(famE.Text(Y::kLastBufferId), "31");

    CYcanFixture famD({kFamD}, 60.0f, 8.0f, kFamDReset);
    std::vector<std::string> fd = wide;
    fd.insert(fd.end(), {"CBT_INIT", "FDCTRL_INIT", "FDCBT_INIT"});
    EXPECT_EQ(RegisterNames(*famD.can), fd);
    EXPECT_EQ(famD.can->TemplateId(), Y::kFamDTemplateId);
    EXPECT_EQ(famD.can->Item(Y::kMcrItem).dwDefault, 0xD890001Fu);
    for (int i = 1; i < famD.can->ItemCount(); ++i)
        EXPECT_EQ(famD.can->Item(i).dwFlags & RegFlag::NODEFAULT, 0u) << i;

    // Without the reset value the mode register starts at 0, and nothing breaks.
    CYcanFixture bare({kFamD}, 60.0f);
    EXPECT_EQ(bare.Reg(Y::kMcrItem), 0u);
}

TEST(CpmYCAN, TimingFieldsOfEachLayoutAndSet) {
    CYcanFixture famE({kFamE}, 60.0f);
    famE.Reg(Y::kCtrl1Item) = 0x04DB0086; // three samples as well
    famE.Refresh();
    const tCanTiming basic = famE.can->Timing(Y::kBasicSet);
    EXPECT_EQ(basic.prescaler, 5);
    EXPECT_EQ(basic.propSeg, 7);
    EXPECT_EQ(basic.phaseSeg1, 4);
    EXPECT_EQ(basic.phaseSeg2, 4);
    EXPECT_EQ(basic.rjw, 4);
    EXPECT_TRUE(basic.threeSamples);
    EXPECT_EQ(famE.Text(Y::FieldId(Y::kBasicSet, Y::kPrescaler)), "5");
    EXPECT_EQ(famE.Text(Y::FieldId(Y::kBasicSet, Y::kPropSeg)), "7");
    EXPECT_EQ(famE.Control(Y::kThreeSamplesId).Selection(), 1);
    // Largest values of every field: all ones read as the field plus 1.
    famE.Reg(Y::kCtrl1Item) = 0xFFFF0007;
    const tCanTiming top = famE.can->Timing(Y::kBasicSet);
    EXPECT_EQ(top.prescaler, 256);
    EXPECT_EQ(top.rjw, 4);
    EXPECT_EQ(top.phaseSeg1, 8);
    EXPECT_EQ(top.phaseSeg2, 8);
    EXPECT_EQ(top.propSeg, 8);

    CYcanFixture famD({kFamD}, 60.0f);
    famD.Reg(Y::kCbtItem) = 0xFFFFFFFF;
    famD.Reg(Y::kFdCbtItem) = 0xFFFFFFFF;
    const tCanTiming extended = famD.can->Timing(Y::kExtendedSet);
    EXPECT_EQ(extended.prescaler, 1024);
    EXPECT_EQ(extended.rjw, 16);
    EXPECT_EQ(extended.propSeg, 64);
    EXPECT_EQ(extended.phaseSeg1, 32);
    EXPECT_EQ(extended.phaseSeg2, 32);
    const tCanTiming data = famD.can->Timing(Y::kDataSet);
    EXPECT_EQ(data.prescaler, 1024);
    EXPECT_EQ(data.rjw, 4);
    EXPECT_EQ(data.propSeg, 32);
    EXPECT_EQ(data.phaseSeg1, 8);
    EXPECT_EQ(data.phaseSeg2, 8);
    // Writing a set touches only its own bits.
    famD.Reg(Y::kCbtItem) = 0x80000000u;
    famD.Reg(Y::kFdCbtItem) = 0xC0000000u;
    famD.can->SetTiming(Y::kExtendedSet, {8, 40, 12, 12, 3, false});
    EXPECT_EQ(famD.Reg(Y::kCbtItem), 0x80E29D6Bu);
    famD.can->SetTiming(Y::kDataSet, {2, 12, 4, 4, 4, false});
    EXPECT_EQ(famD.Reg(Y::kFdCbtItem), 0xC0132C63u);
}

TEST(CpmYCAN, TypedTargetListsEveryExactSplit) {
    CYcanFixture f({kFamK}, 60.0f);
    f.TypeRate(Y::kBasicSet, "500k");
    const std::vector<tCanCandidate>& rows = f.can->Candidates(Y::kBasicSet);
    std::set<std::pair<int, int>> splits;
    for (const tCanCandidate& row : rows) {
        splits.insert({row.quanta, row.prescaler});
        EXPECT_EQ(row.prescaler * row.quanta * 500000, 60000000);
        EXPECT_TRUE(CheckCanTiming(
                        {row.prescaler, row.propSeg, row.phaseSeg1, row.phaseSeg2, row.rjw, false},
                        kCanBasicNominalLimits)
                        .ok());
    }
    EXPECT_EQ(splits, (std::set<std::pair<int, int>>{
                          {8, 15}, {10, 12}, {12, 10}, {15, 8}, {20, 6}, {24, 5}}));
    // The typed text stays while the page recomputes, and the list shows its rows.
    f.can->Recalculate();
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kBitRateOffset), "500k");
    const CPageControl& list = f.Control(Y::kBasicBase + Y::kCandidatesOffset);
    EXPECT_EQ(list.Items().size(), rows.size());
    EXPECT_EQ(list.Items().front(), "15\t8\t1\t3\t3\t1");

    // A number alone is not snapped: 499999 has no exact split of 60 MHz.
    f.TypeRate(Y::kBasicSet, "499999");
    EXPECT_TRUE(f.can->Candidates(Y::kBasicSet).empty());
    // With a unit it is snapped: 333k becomes 60 MHz / 180.
    f.TypeRate(Y::kBasicSet, "333k");
    ASSERT_FALSE(f.can->Candidates(Y::kBasicSet).empty());
    for (const tCanCandidate& row : f.can->Candidates(Y::kBasicSet))
        EXPECT_EQ(row.prescaler * row.quanta, 180);
    f.TypeRate(Y::kBasicSet, "0.5 M");
    EXPECT_EQ(f.can->Candidates(Y::kBasicSet).size(), rows.size());
    // No number, a negative one and a rate above the clock give no rows.
    for (const char* text : {"fast", "", "-500k", "200M"}) {
        f.TypeRate(Y::kBasicSet, text);
        EXPECT_TRUE(f.can->Candidates(Y::kBasicSet).empty()) << text;
        EXPECT_TRUE(f.Control(Y::kBasicBase + Y::kCandidatesOffset).Items().empty()) << text;
    }
    // Editing a timing field gives the edit back to the computed rate.
    f.TypeTiming(Y::kBasicSet, 8, 3, 3, 3, 1);
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kBitRateOffset), "0.75 MHz");
}

TEST(CpmYCAN, PrescalerOneSearchStartsAtEightQuanta) {
    // 9 MHz at 1 Mbit/s: nine quanta with prescaler 1 is the only split.
    CYcanFixture f({kFamK}, 9.0f);
    f.TypeTiming(Y::kBasicSet, 1, 3, 3, 3, 1);
    f.TypeRate(Y::kBasicSet, "1M");
    const std::vector<tCanCandidate>& rows = f.can->Candidates(Y::kBasicSet);
    ASSERT_FALSE(rows.empty());
    for (const tCanCandidate& row : rows) {
        EXPECT_EQ(row.prescaler, 1);
        EXPECT_EQ(row.quanta, 9);
        EXPECT_EQ(row.phaseSeg2, std::max(row.phaseSeg1, 3));
    }
}

TEST(CpmYCAN, SelectingARowWritesTheSet) {
    CYcanFixture f({kFamK}, 60.0f);
    f.TypeRate(Y::kBasicSet, "500k");
    const std::vector<tCanCandidate> rows = f.can->Candidates(Y::kBasicSet);
    ASSERT_GT(rows.size(), 3u);
    const tCanCandidate chosen = rows[3];
    f.Page().UserSelect(f.Control(Y::kBasicBase + Y::kCandidatesOffset), 3);
    const tCanTiming timing = f.can->Timing(Y::kBasicSet);
    EXPECT_EQ(timing.prescaler, chosen.prescaler);
    EXPECT_EQ(timing.propSeg, chosen.propSeg);
    EXPECT_EQ(timing.phaseSeg1, chosen.phaseSeg1);
    EXPECT_EQ(timing.phaseSeg2, chosen.phaseSeg2);
    EXPECT_EQ(timing.rjw, chosen.rjw);
    EXPECT_EQ(f.Text(Y::FieldId(Y::kBasicSet, Y::kPrescaler)), std::to_string(chosen.prescaler));
    EXPECT_EQ(f.Control(Y::kBasicBase + Y::kCandidatesOffset).Selection(), 3);
    // A selection outside the list changes nothing.
    f.Page().UserSelect(f.Control(Y::kBasicBase + Y::kCandidatesOffset), -1);
    EXPECT_EQ(f.can->Timing(Y::kBasicSet).prescaler, chosen.prescaler);
}

TEST(CpmYCAN, BitRateButtonSelectsByPrescalerOrSaysWhy) {
    CYcanFixture f({kFamK}, 60.0f);
    CScriptedMessages messages;
    const int button = Y::kBasicBase + Y::kFindOffset;
    // Prescaler 10 has a split at 500 kbit/s: the first row with it is taken, no message.
    f.TypeTiming(Y::kBasicSet, 10, 1, 1, 2, 1);
    messages.shown.clear();
    f.TypeRate(Y::kBasicSet, "500k");
    f.Page().UserClick(f.Control(button));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(f.can->Timing(Y::kBasicSet).prescaler, 10);
    EXPECT_EQ(CanTotalQuanta(f.can->Timing(Y::kBasicSet)), 12);
    // Prescaler 7 has none: the message, then the first row.
    f.TypeTiming(Y::kBasicSet, 7, 3, 3, 3, 1);
    messages.shown.clear();
    f.TypeRate(Y::kBasicSet, "500k");
    f.Page().UserClick(f.Control(button));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, Y::kChangePrescaler);
    EXPECT_EQ(f.can->Timing(Y::kBasicSet).prescaler, 15);
    // A rate no split reaches, and a text without a number.
    for (const char* text : {"499999", "abc"}) {
        messages.shown.clear();
        f.TypeRate(Y::kBasicSet, text);
        f.Page().UserClick(f.Control(button));
        ASSERT_EQ(messages.shown.size(), 1u) << text;
        EXPECT_EQ(messages.shown[0].text, Y::kNotAchievable) << text;
        EXPECT_EQ(f.can->Timing(Y::kBasicSet).prescaler, 15) << text;
    }
}

TEST(CpmYCAN, EditedTimingIsCheckedWithAMessageAndFocus) {
    CYcanFixture f({kFamK}, 60.0f);
    CScriptedMessages messages;
    // PROP_SEG 1, PHASE_SEG1 1, PHASE_SEG2 2, prescaler 4: only five quanta.
    f.TypeTiming(Y::kBasicSet, 4, 1, 1, 2, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The sum of timing parameters must be between 8 and 25. (SYNC_SEG + PROP_SEG + "
              "PHASE_SEG1 + PHASE_SEG2)");
    ASSERT_FALSE(f.focus.focused.empty());
    EXPECT_EQ(f.focus.focused.back(), Y::FieldId(Y::kBasicSet, Y::kPropSeg));
    // The values stand as typed and are computed as they are.
    EXPECT_EQ(f.can->Timing(Y::kBasicSet).propSeg, 1);
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSamplePointOffset), "60.0 %");

    messages.shown.clear();
    f.TypeTiming(Y::kBasicSet, 1, 2, 2, 3, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "At least nine clocks per bit must be programmed when prescaler is one.");
    EXPECT_EQ(f.focus.focused.back(), Y::FieldId(Y::kBasicSet, Y::kPrescaler));

    messages.shown.clear();
    f.TypeTiming(Y::kBasicSet, 4, 3, 3, 2, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=2) is "
                                      "less than or equal to PHASE_SEG1.");
    EXPECT_EQ(f.focus.focused.back(), Y::FieldId(Y::kBasicSet, Y::kPhaseSeg2));

    // Three samples with PHASE_SEG1 1.
    f.Page().UserSelect(f.Control(Y::kThreeSamplesId), 1);
    messages.shown.clear();
    f.TypeTiming(Y::kBasicSet, 4, 3, 1, 2, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "PHASE_SEG1 must be at least 2 when three samples per bit are enabled.");

    // A valid set says nothing; leaving a field that was not edited says nothing either.
    messages.shown.clear();
    f.TypeTiming(Y::kBasicSet, 4, 3, 3, 3, 2);
    EXPECT_TRUE(messages.shown.empty());
    f.Reg(Y::kCtl1Item) &= ~0x7u; // PHASE_SEG2 1 from a header: broken, but not edited
    f.Page().UserFocus(&f.Control(Y::FieldId(Y::kBasicSet, Y::kRjw)));
    f.Page().UserFocus(nullptr);
    EXPECT_TRUE(messages.shown.empty());
    // The first layout raises no page warnings for a broken set.
    EXPECT_FALSE(f.host.Warns(Y::kNominalWarningId));
}

TEST(CpmYCAN, NoClockShowsQuestionMarksButStillTheSampleAndGraph) {
    CYcanFixture f({kFamK}, -1.0f);
    CScriptedMessages messages;
    f.TypeTiming(Y::kBasicSet, 8, 3, 3, 3, 1);
    for (int offset : {Y::kSourceClockOffset, Y::kQuantumClockOffset, Y::kQuantumLengthOffset,
                       Y::kBitRateOffset})
        EXPECT_EQ(f.SetText(Y::kBasicSet, offset), "???") << offset;
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSamplePointOffset), "70.0 %");
    EXPECT_TRUE(ParseBitGraph(f.SetText(Y::kBasicSet, Y::kGraphOffset)).has_value());
    EXPECT_TRUE(f.can->Candidates(Y::kBasicSet).empty());
    f.TypeRate(Y::kBasicSet, "500k");
    EXPECT_TRUE(f.can->Candidates(Y::kBasicSet).empty());
    f.Page().UserClick(f.Control(Y::kBasicBase + Y::kFindOffset));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, Y::kNotAchievable);

    // The oscillator chosen where none runs: the same.
    CYcanFixture famE({kFamE}, 60.0f, 0.0f);
    famE.Reg(Y::kCtrl1Item) = 0x04DB0006; // clock source bit clear: oscillator
    famE.Refresh();
    EXPECT_EQ(famE.SetText(Y::kBasicSet, Y::kQuantumClockOffset), "???");
    EXPECT_EQ(famE.SetText(Y::kBasicSet, Y::kBitRateOffset), "???");
    EXPECT_EQ(famE.SetText(Y::kBasicSet, Y::kSamplePointOffset), "75.0 %");
    EXPECT_FALSE(famE.host.Warns(Y::kOscillatorWarningId));
}

TEST(CpmYCAN, SourceClockOfTheWideLayouts) {
    // Oscillator 8 MHz, bus 60 MHz: the rate and the splits come from the oscillator.
    CYcanFixture f({kFamE}, 60.0f, 8.0f);
    f.Reg(Y::kCtrl1Item) = 0x01DB0006; // prescaler 2, 16 quanta, oscillator
    f.Refresh();
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSourceClockOffset), "8 MHz");
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kBitRateOffset), "250 kHz");
    f.TypeRate(Y::kBasicSet, "500k");
    ASSERT_FALSE(f.can->Candidates(Y::kBasicSet).empty());
    for (const tCanCandidate& row : f.can->Candidates(Y::kBasicSet))
        EXPECT_EQ(row.prescaler * row.quanta, 16);
    EXPECT_FALSE(f.host.Warns(Y::kOscillatorWarningId));
    // The bus clock chosen.
    f.Page().UserSelect(f.Control(Y::kClockSourceId), 1);
    f.TypeRate(Y::kBasicSet, "500k");
    EXPECT_EQ(f.Reg(Y::kCtrl1Item) & (1u << 13), 1u << 13);
    EXPECT_EQ(f.SetText(Y::kBasicSet, Y::kSourceClockOffset), "60 MHz");
    for (const tCanCandidate& row : f.can->Candidates(Y::kBasicSet))
        EXPECT_EQ(row.prescaler * row.quanta, 120);

    // First layout: the bus clock whatever bit 13 of its control register holds.
    CYcanFixture first({kFamK}, 60.0f, 8.0f);
    first.Reg(Y::kCtl0Item) = 0;
    first.Refresh();
    EXPECT_EQ(first.SetText(Y::kBasicSet, Y::kSourceClockOffset), "60 MHz");
}

TEST(CpmYCAN, OscillatorWarningComparesTheOscillatorWithTheBusClock) {
    CYcanFixture f({kFamE}, 8.0f, 8.0f);
    // Prescaler 5: the quantum clock is far below the bus clock, the oscillator is not.
    f.Reg(Y::kCtrl1Item) = 0x04DB0006;
    f.Refresh();
    EXPECT_EQ(f.host.Warning(Y::kOscillatorWarningId),
              "If the clock source is oscillator clock, its frequency must be lower than the bus "
              "clock");
    f.clock->crystalMHz = 7.99f;
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kOscillatorWarningId));
    f.clock->crystalMHz = 16.0f;
    f.can->CheckWarnings();
    EXPECT_TRUE(f.host.Warns(Y::kOscillatorWarningId));
    // The bus clock chosen: no warning.
    f.Reg(Y::kCtrl1Item) |= 1u << 13;
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kOscillatorWarningId));
    // The first layout has no oscillator choice.
    CYcanFixture first({kFamK}, 4.0f, 16.0f);
    EXPECT_FALSE(first.host.Warns(Y::kOscillatorWarningId));
}

TEST(CpmYCAN, FamDWarnsForTheSetsInUse) {
    CYcanFixture f({kFamD}, 60.0f, 8.0f, kFamDReset);
    // Basic set in use: PHASE_SEG2 breaks the rule.
    f.Reg(Y::kCtrl1Item) = 0x01DB0005 | (1u << 13); // PHASE_SEG1 4, PHASE_SEG2 4; bus clock
    f.Reg(Y::kCtrl1Item) = (f.Reg(Y::kCtrl1Item) & ~0x00070000u) | (2u << 16);
    f.Refresh();
    EXPECT_EQ(f.host.Warning(Y::kNominalWarningId),
              "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=2) is less than or equal to "
              "PHASE_SEG1.");
    EXPECT_FALSE(f.host.Warns(Y::kDataWarningId));
    f.Reg(Y::kCtrl1Item) = 0x01DB0005 | (1u << 13);
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kNominalWarningId));

    // Extended timing in use: its set is checked with its own limits, the basic one no more.
    f.Reg(Y::kCtrl1Item) = 1u << 13;
    f.Reg(Y::kCbtItem) = 0x80E2A14B; // 41, 11, 12: PHASE_SEG2 breaks the rule
    f.can->CheckWarnings();
    EXPECT_EQ(f.host.Warning(Y::kNominalWarningId),
              "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=2) is less than or equal to "
              "PHASE_SEG1.");
    f.Reg(Y::kCbtItem) = 0x80E29D6B; // 40, 12, 12: 65 quanta, within the extended limit
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kNominalWarningId));
    EXPECT_EQ(f.SetText(Y::kExtendedSet, Y::kBitRateOffset), "115.38462 kHz");

    // Flexible data rate: the data-phase set too, with its limits.
    f.Reg(Y::kMcrItem) |= 1u << 11;
    f.Reg(Y::kFdCbtItem) = 0x00131CE3; // 8, 8, 4
    f.can->CheckWarnings();
    EXPECT_EQ(f.host.Warning(Y::kDataWarningId),
              "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=2) is less than or equal to "
              "PHASE_SEG1.");
    f.Reg(Y::kFdCbtItem) = 0x00132C63; // 12, 4, 4
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kDataWarningId));
    f.can->SetTiming(Y::kDataSet, {2, 20, 4, 4, 4, false}); // 29 quanta: above 25
    f.can->CheckWarnings();
    EXPECT_EQ(f.host.Warning(Y::kDataWarningId),
              "The sum of timing parameters must be between 8 and 25. (SYNC_SEG + PROP_SEG + "
              "PHASE_SEG1 + PHASE_SEG2)");
    // Without flexible data rate the data-phase set is not checked.
    f.Reg(Y::kMcrItem) &= ~(1u << 11);
    f.can->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(Y::kDataWarningId));
}

TEST(CpmYCAN, FamDEnablesTheSetsInUseAndKeepsTheExtendedFieldsFlexibleDataRateUses) {
    CYcanFixture f({kFamD}, 60.0f, 8.0f, kFamDReset);
    const auto enabled = [&](int set) {
        return f.Control(Y::FieldId(set, Y::kPrescaler)).IsEnabled();
    };
    f.can->UpdateControlStates();
    EXPECT_TRUE(enabled(Y::kBasicSet));
    EXPECT_FALSE(enabled(Y::kExtendedSet));
    EXPECT_FALSE(enabled(Y::kDataSet));
    EXPECT_FALSE(f.Control(Y::kBitRateSwitchId).IsEnabled());

    f.Page().UserClick(f.Control(Y::kFdEnableId));
    EXPECT_EQ(f.Reg(Y::kMcrItem) & (1u << 11), 1u << 11);
    EXPECT_FALSE(enabled(Y::kBasicSet));
    EXPECT_TRUE(enabled(Y::kExtendedSet));
    EXPECT_TRUE(enabled(Y::kDataSet));
    EXPECT_TRUE(f.Control(Y::kBitRateSwitchId).IsEnabled());
    f.can->SetTiming(Y::kExtendedSet, {8, 40, 12, 12, 3, false});
    const std::uint32_t fields = f.Reg(Y::kCbtItem);

    // Extended timing on, then off again while flexible data rate still uses the fields.
    f.Page().UserClick(f.Control(Y::kExtendedEnableId));
    EXPECT_EQ(f.Reg(Y::kCbtItem), fields | 0x80000000u);
    f.Page().UserClick(f.Control(Y::kExtendedEnableId));
    EXPECT_EQ(f.Reg(Y::kCbtItem), fields);
    EXPECT_TRUE(enabled(Y::kExtendedSet));
    // Neither in use: the fields go back to reset.
    f.Page().UserClick(f.Control(Y::kFdEnableId));
    EXPECT_EQ(f.Reg(Y::kCbtItem), 0u);
    EXPECT_EQ(f.Text(Y::FieldId(Y::kExtendedSet, Y::kPropSeg)), "1");
    EXPECT_TRUE(enabled(Y::kBasicSet));
    EXPECT_FALSE(enabled(Y::kExtendedSet));

    // Values loaded from a header are kept as they stand, even unused.
    f.Reg(Y::kCbtItem) = 0x00E29D6B;
    f.Refresh();
    EXPECT_EQ(f.Reg(Y::kCbtItem), 0x00E29D6Bu);
}

TEST(CpmYCAN, DataPhaseListUsesItsOwnLimits) {
    CYcanFixture f({kFamD}, 80.0f, 8.0f, kFamDReset);
    f.Page().UserSelect(f.Control(Y::kClockSourceId), 1);
    f.Page().UserClick(f.Control(Y::kFdEnableId));
    f.TypeRate(Y::kDataSet, "2M");
    const std::vector<tCanCandidate>& data = f.can->Candidates(Y::kDataSet);
    ASSERT_FALSE(data.empty());
    for (const tCanCandidate& row : data) {
        EXPECT_LE(row.quanta, 25);
        EXPECT_EQ(row.prescaler * row.quanta, 40);
    }
    f.TypeRate(Y::kExtendedSet, "500k");
    const std::vector<tCanCandidate>& extended = f.can->Candidates(Y::kExtendedSet);
    ASSERT_FALSE(extended.empty());
    bool beyondBasic = false;
    for (const tCanCandidate& row : extended)
        beyondBasic = beyondBasic || row.quanta > 25;
    EXPECT_TRUE(beyondBasic);
    // Picking a data-phase row leaves the nominal sets alone.
    const std::uint32_t ctrl1 = f.Reg(Y::kCtrl1Item);
    const std::uint32_t cbt = f.Reg(Y::kCbtItem);
    f.Page().UserSelect(f.Control(Y::kDataBase + Y::kCandidatesOffset), 0);
    EXPECT_EQ(f.can->Timing(Y::kDataSet).prescaler, data.front().prescaler);
    EXPECT_EQ(f.Reg(Y::kCtrl1Item), ctrl1);
    EXPECT_EQ(f.Reg(Y::kCbtItem), cbt);
    const std::optional<tBitGraph> graph = ParseBitGraph(f.SetText(Y::kDataSet, Y::kGraphOffset));
    ASSERT_TRUE(graph.has_value());
    EXPECT_EQ(graph->quanta, data.front().quanta);
}

TEST(CpmYCAN, GraphDescribesTheBit) {
    const tBitGraph graph = CpmYCAN_Graph_Base::Describe({4, 5, 6, 6, 3, false});
    EXPECT_EQ(graph.quanta, 18);
    EXPECT_EQ(graph.sampleAfter, 12);
    EXPECT_EQ(graph.jumpWidth, 3);
    EXPECT_EQ(ParseBitGraph(FormatBitGraph(graph)), graph);
    // Nonsense values draw no negative segment.
    const tBitGraph odd = CpmYCAN_Graph_Base::Describe({0, -2, 0, 1, -1, false});
    EXPECT_EQ(odd.quanta, 2);
    EXPECT_EQ(odd.sampleAfter, 1);
    EXPECT_EQ(odd.jumpWidth, 0);
}

TEST(CpmYCAN, MasksShowTheirIdentifierParts) {
    CYcanFixture first({kFamK});
    first.Reg(4) = 0xFFE7; // standard 0x7FF, extended bits 17..15 = 7
    first.Reg(5) = 0xFFFE;
    first.Reg(6) = 0x0020; // standard 1
    first.Reg(7) = 0x0002; // extended bit 0
    first.Refresh();
    EXPECT_EQ(first.Text(Y::MaskIdsId(0)), "Standard ID 0x7FF, extended ID 0x1FFFFFFF");
    EXPECT_EQ(first.Text(Y::MaskIdsId(1)), "Standard ID 0x001, extended ID 0x00040001");
    EXPECT_EQ(first.Text(Y::MaskEditId(0)), "0xFFE7");
    EXPECT_EQ(first.Page().FindControl(Y::MaskIdsId(3)), nullptr);

    CYcanFixture famE({kFamE}, 60.0f);
    famE.Reg(Y::kGlobalMaskItem) = 0xFFFFFFFF;
    famE.Reg(Y::kFifoMaskItem) = 0x00040001;
    famE.Refresh();
    EXPECT_EQ(famE.Text(Y::MaskIdsId(0)), "Standard ID 0x7FF, extended ID 0x1FFFFFFF");
    EXPECT_EQ(famE.Text(Y::MaskIdsId(3)), "Standard ID 0x001, extended ID 0x00040001");
    famE.Edit(Y::kBufferInt2Id, "0x80000001");
    EXPECT_EQ(famE.Reg(Y::kImask2Item), 0x80000001u);
}

TEST(CpmYCAN, OtherSettingsLandInTheirBits) {
    CYcanFixture first({kFamK});
    first.Page().UserClick(first.Control(Y::kLoopBackId));
    first.Page().UserClick(first.Control(Y::kListenOnlyId));
    first.Page().UserClick(first.Control(Y::kBusOffRecoveryId));
    first.Page().UserClick(first.Control(Y::kBusOffIntId));
    EXPECT_EQ(first.Reg(Y::kCtl0Item), (1u << 15) | (1u << 12) | (1u << 6) | (1u << 3));
    first.Edit(Y::kLastBufferId, "15");
    EXPECT_EQ(first.Reg(Y::kMaxMbItem), 15u);
    first.Edit(Y::kLastBufferId, "16"); // beyond the field: refused
    EXPECT_EQ(first.Reg(Y::kMaxMbItem), 15u);
    EXPECT_EQ(first.Page().FindControl(Y::kClockSourceId), nullptr);

    CYcanFixture famD({kFamD}, 60.0f, 8.0f, kFamDReset);
    famD.Edit(Y::kLastBufferId, "63");
    EXPECT_EQ(famD.Reg(Y::kMcrItem), 0xD890003Fu);
    famD.Page().UserClick(famD.Control(Y::kModuleDisableId));
    EXPECT_EQ(famD.Reg(Y::kMcrItem), 0x5890003Fu);
    famD.Page().UserClick(famD.Control(Y::kTxWarningIntId));
    famD.Page().UserClick(famD.Control(Y::kErrorIntId));
    EXPECT_EQ(famD.Reg(Y::kCtrl1Item), (1u << 14) | (1u << 11));
    famD.Page().UserClick(famD.Control(Y::kBitRateSwitchId));
    EXPECT_EQ(famD.Reg(Y::kFdCtrlItem), 0x80000000u);
}

TEST(CpmYCAN, InterruptRowsAndSummary) {
    CYcanFixture f({kFamK}, 4.0f);
    ASSERT_EQ(f.can->InterruptRows().size(), 4u);
    for (const CModule::CInterruptRow& row : f.can->InterruptRows())
        EXPECT_NE(row.page, nullptr);
    f.TypeTiming(Y::kBasicSet, 8, 3, 3, 3, 1);
    std::string summary;
    f.can->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    ASSERT_NE(at("Prescaler Divide Factor: 8"), std::string::npos) << summary;
    EXPECT_NE(at("Propagation Segment (PROP_SEG): 3"), std::string::npos) << summary;
    EXPECT_EQ(at("Extended"), std::string::npos) << summary;
    // The sampling choice speaks for itself, without the caption of the box before it.
    EXPECT_NE(at("\n    Sampling: One sample per bit"), std::string::npos) << summary;

    CYcanFixture famD({kFamD}, 60.0f, 8.0f, kFamDReset);
    summary.clear();
    famD.can->GetSummary(summary);
    EXPECT_NE(summary.find("Extended prescaler Divide Factor"), std::string::npos) << summary;
    EXPECT_NE(summary.find("FD Phase Buffer Segment 2 (PHASE_SEG2)"), std::string::npos) << summary;
}

TEST(CpmYCAN, HeaderLinesByLayout) {
    struct tCase {
        std::set<int> groups;
        int lines;
        const char* first;
    };
    const tCase cases[] = {{{kFamK}, 10, "#define YCAN_MCR_INIT                     0xFFFFU"},
                           {{kFamE}, 12, "#define YCAN_MCR_INIT                     0xFFFFFFFFU"},
                           {{kFamD}, 15, "#define YCAN_MCR_INIT                     0xFFFFFFFFU"}};
    for (const tCase& c : cases) {
        CYcanFixture f(c.groups, 60.0f, 8.0f, kFamDReset);
        f.can->SetSelected(true);
        for (int i = 0; i < f.can->ItemCount(); ++i)
            f.Reg(i) = c.lines == 10 ? 0xFFFFu : 0xFFFFFFFFu;
        f.Refresh();
        std::string text;
        f.can->GetHeaderText(text);
        int lines = 0;
        for (std::size_t at = text.find("#define YCAN_"); at != std::string::npos;
             at = text.find("#define YCAN_", at + 1))
            ++lines;
        EXPECT_EQ(lines, c.lines) << text;
        EXPECT_NE(text.find(c.first), std::string::npos) << text;
    }
}

TEST(CpmYCAN, BusPinsAreUsedOnlyWhileTheControllerRuns) {
    CYcanFixture first({kFamK});
    first.Reg(0) = 0x0010;
    first.can->SetSelected(false);
    EXPECT_FALSE(first.can->IsPinFunctionUsed("CANTX")) << "not in the header";
    first.can->SetSelected(true);
    EXPECT_TRUE(first.can->IsPinFunctionUsed("CANTX"));
    first.Reg(0) = 0x8010; // bit 15 disables the first layout
    EXPECT_FALSE(first.can->IsPinFunctionUsed("CANRX"));

    CYcanFixture famE({kFamE}, 60.0f);
    famE.can->SetSelected(true);
    famE.Reg(0) = 0xD890000F; // the reset value: bit 31 disables the wide layouts
    EXPECT_FALSE(famE.can->IsPinFunctionUsed("CANTX"));
    famE.Reg(0) = 0x5890000F;
    EXPECT_TRUE(famE.can->IsPinFunctionUsed("CANTX"));
}
