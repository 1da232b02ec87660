#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "header/AppcfgFile.h"
#include "model/BitGraph.h"
#include "model/ModelTestSupport.h"
#include "model/ModuleSubDlg.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/clocks/CpmOCCSTables.h"
#include "modules/communication/CpmLSCAN.h"
#include "modules/communication/LscanTiming.h"
#include "support/ModuleTestHost.h"

using namespace hwc;
using namespace hwc::test;

namespace {

using L = CpmLSCAN;
using F = CpmLSCAN_FiltDlg;

// A clock module that publishes a chosen bus clock and oscillator input.
class CpmCanClockTest : public CModule, public IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmCanClockTest, CModule)
public:
    CpmCanClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float CrystalClockMHz() const override { return 0.0f; } // a first-generation part
    float OscillatorInputClockMHz() const override { return oscillatorMHz; }
    bool IsRelaxationOscillatorDisabled() const override { return false; }
    bool IsLowSpeedOscillatorDisabled() const override { return false; }
    bool IsCrystalOscillatorPoweredDown() const override { return false; }
    float busMHz = 0.0f;
    float oscillatorMHz = 0.0f;
};

// Records the messages shown and answers Ok.
class CMessages : public IMessageHandler {
public:
    EAnswer Show(std::string_view text, EButtons, EAnswer) override {
        texts.emplace_back(text);
        return EAnswer::Ok;
    }
    std::vector<std::string> texts;
};

// A document with the controller (and, when asked, a clock module), page open.
struct CCanFixture {
    explicit CCanFixture(std::set<int> groups = {kFamK}, float busMHz = 4.0f,
                         float oscillatorMHz = 8.0f, bool withClock = true) {
        host.groups = std::move(groups);
        if (withClock) {
            clock = &host.Add<CpmCanClockTest>("OCCS", "OCCS");
            clock->busMHz = busMHz;
            clock->oscillatorMHz = oscillatorMHz;
        }
        can = &host.Add<CpmLSCAN>("LSCAN", "LSCAN", "", "INT:17,18,19,20:");
        host.BindAll();
        can->SetSelected(true); // written to the header
        can->CreatePage();
        can->OnInitialUpdate();
        can->CheckWarnings();
    }
    CPage& Page() { return *can->Page(); }
    CPageControl& Control(int id) { return *Page().FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Edit(int id, const std::string& text) { Page().UserEdit(Control(id), text); }
    void Select(int id, int index) { Page().UserSelect(Control(id), index); }
    void Click(int id) { Page().UserClick(Control(id)); }
    std::uint32_t& Reg(int item) { return can->Item(item).dwValue; }
    // Sets the timing registers directly, as a loaded header does, and recomputes.
    void Load(std::uint32_t ctl1, std::uint32_t btr0, std::uint32_t btr1) {
        Reg(L::kCtl1Item) = ctl1;
        Reg(L::kBtr0Item) = btr0;
        Reg(L::kBtr1Item) = btr1;
        can->RefreshControls();
        can->CheckWarnings();
    }
    std::vector<std::string> Rows() { return Control(L::kCandidatesId).Items(); }
    CModuleSubDlg& FilterPage(int filter) { return *can->FilterDialog(filter).Page(); }
    CPageControl& FilterControl(int filter, int id) { return *FilterPage(filter).FindControl(id); }

    CModuleTestHost host;
    CpmCanClockTest* clock = nullptr;
    CpmLSCAN* can = nullptr;
};

constexpr std::uint32_t kBusClock = 1u << 6; // CANCTL1 clock source

tBitGraph GraphOf(CCanFixture& f) {
    const std::optional<tBitGraph> graph = ParseBitGraph(f.Text(L::kGraphId));
    EXPECT_TRUE(graph.has_value()) << f.Text(L::kGraphId);
    return graph.value_or(tBitGraph{});
}

} // namespace


TEST(CpmLSCAN, TwentyThreeByteRegistersInOrderAndTemplatePerGroup) {
    CCanFixture f;
    const std::vector<std::string> expected = {
        "CANCTL0_INIT",  "CANCTL1_INIT",  "CANBTR0_INIT",  "CANBTR1_INIT",  "CANRIER_INIT",
        "CANTIER_INIT",  "CANIDAC_INIT",  "CANIDAR0_INIT", "CANIDAR1_INIT", "CANIDAR2_INIT",
        "CANIDAR3_INIT", "CANIDAR4_INIT", "CANIDAR5_INIT", "CANIDAR6_INIT", "CANIDAR7_INIT",
        "CANIDMR0_INIT", "CANIDMR1_INIT", "CANIDMR2_INIT", "CANIDMR3_INIT", "CANIDMR4_INIT",
        "CANIDMR5_INIT", "CANIDMR6_INIT", "CANIDMR7_INIT"};
    ASSERT_EQ(f.can->ItemCount(), 23);
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(f.can->Item(i).szName, expected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(f.can->Item(i).dwFlags & RegFlag::DW8, RegFlag::DW8) << i;
    }
    EXPECT_EQ(f.can->DialogTemplate()->Id(), 193u);
    EXPECT_EQ(CCanFixture({kFamC}).can->DialogTemplate()->Id(), 2052u);
    EXPECT_EQ(CCanFixture({kFamF}).can->DialogTemplate()->Id(), 2052u);
    EXPECT_EQ(CCanFixture({kFamB}).can->DialogTemplate()->Id(), 193u);
    // Four vectors, four rows.
    EXPECT_EQ(f.can->InterruptRows().size(), 4u);
}

TEST(CpmLSCAN, FieldsAreShownPlusOneAndWriteTheirBits) {
    CCanFixture f;
    f.Edit(L::kPrescalerId, "64");
    f.Edit(L::kSjwId, "4");
    EXPECT_EQ(f.Reg(L::kBtr0Item), 0xFFu);
    f.Edit(L::kTseg1Id, "16");
    f.Edit(L::kTseg2Id, "8");
    f.Click(L::kThreeSamplesId);
    EXPECT_EQ(f.Reg(L::kBtr1Item), 0xFFu);
    f.Edit(L::kPrescalerId, "1");
    f.Edit(L::kTseg2Id, "1");
    EXPECT_EQ(f.Reg(L::kBtr0Item), 0xC0u);
    EXPECT_EQ(f.Reg(L::kBtr1Item), 0x8Fu);
    // Out of the field: refused, the register keeps its value.
    f.Edit(L::kPrescalerId, "65");
    f.Edit(L::kPrescalerId, "0");
    EXPECT_EQ(f.Reg(L::kBtr0Item), 0xC0u);

    f.Select(L::kClockSourceId, 1);
    f.Click(L::kEnableId);
    f.Click(L::kLoopBackId);
    f.Click(L::kListenOnlyId);
    f.Click(L::kWakeUpFilterId);
    EXPECT_EQ(f.Reg(L::kCtl1Item), 0xF4u);
    f.Click(L::kStopInWaitId);
    f.Click(L::kTimerId);
    f.Click(L::kWakeUpId);
    EXPECT_EQ(f.Reg(L::kCtl0Item), 0x2Cu);
    f.Click(L::kWakeUpIntId);
    f.Select(L::kReceiverStatusId, 2);
    f.Select(L::kTransmitterStatusId, 1);
    f.Click(L::kReceiveFullIntId);
    EXPECT_EQ(f.Reg(L::kRierItem), 0xA5u);
    f.Click(L::kFirstTransmitEmptyIntId + 2);
    EXPECT_EQ(f.Reg(L::kTierItem), 0x04u);
    f.Select(L::kFilterModeId, 3);
    EXPECT_EQ(f.Reg(L::kIdacItem), 0x30u);
    // The bus pins are in use only while the controller is enabled.
    EXPECT_TRUE(f.can->IsPinFunctionUsed("CANTX"));
    f.Click(L::kEnableId);
    EXPECT_FALSE(f.can->IsPinFunctionUsed("canrx"));
    EXPECT_TRUE(f.can->IsPinFunctionUsed("OTHER"));
}

TEST(CpmLSCAN, TimingTable) {
    struct tCase {
        float busMHz, oscillatorMHz;
        std::uint32_t ctl1, btr0, btr1;
        const char *source, *quantum, *length, *quanta, *rate, *sample;
    };
    const tCase cases[] = {
        // The oscillator: 8 MHz / 4 = 2 MHz, 16 quanta.
        {60, 8, 0x80, 0x03, 0x1C, "8 MHz", "2 MHz", "500 ns", "16", "125 kHz", "87.5 %"},
        // The bus clock: 60 MHz / 15, 8 quanta.
        {60, 8, 0x80 | kBusClock, 0x0E, 0x23, "60 MHz", "4 MHz", "250 ns", "8", "500 kHz",
         "62.5 %"},
        // A quantum clock below 1 MHz: 4 MHz / 8 = 500 kHz, 2 us, 10 quanta.
        {4, 0, kBusClock, 0x07, 0x25, "4 MHz", "500 kHz", "2 us", "10", "50 kHz", "70.0 %"},
        // The largest settings: 16 MHz / 64, 25 quanta, SJW 4.
        {16, 16, 0, 0xFF, 0x7F, "16 MHz", "250 kHz", "4 us", "25", "10 kHz", "68.0 %"},
        // No oscillator runs: no clock, but the sample point still shows.
        {60, 0, 0, 0x03, 0x1C, "???", "???", "???", "16", "???", "87.5 %"},
    };
    for (const tCase& c : cases) {
        CCanFixture f({kFamK}, c.busMHz, c.oscillatorMHz);
        f.Load(c.ctl1, c.btr0, c.btr1);
        EXPECT_EQ(f.Text(L::kSourceClockId), c.source) << c.btr1;
        EXPECT_EQ(f.Text(L::kQuantumClockId), c.quantum) << c.btr1;
        EXPECT_EQ(f.Text(L::kQuantumLengthId), c.length) << c.btr1;
        EXPECT_EQ(f.Text(L::kQuantaId), c.quanta) << c.btr1;
        EXPECT_EQ(f.Text(L::kBitRateId), c.rate) << c.btr1;
        EXPECT_EQ(f.Text(L::kSamplePointId), c.sample) << c.btr1;
    }

    // The graph: sync 1, TSEG1, TSEG2; sampled after 1 + TSEG1; moved by SJW.
    CCanFixture f({kFamK}, 60, 8);
    f.Load(0x80, 0x43, 0x1C);
    const tBitGraph graph = GraphOf(f);
    EXPECT_EQ(graph.quanta, 16);
    ASSERT_EQ(graph.segments.size(), 3u);
    EXPECT_EQ(graph.segments[0], (tBitGraphSegment{"sync", 1}));
    EXPECT_EQ(graph.segments[1], (tBitGraphSegment{"tseg1", 13}));
    EXPECT_EQ(graph.segments[2], (tBitGraphSegment{"tseg2", 2}));
    EXPECT_EQ(graph.sampleAfter, 14);
    EXPECT_EQ(graph.jumpWidth, 2);
    EXPECT_EQ(graph.colour, 0x800000u);

    // Without a clock module: "???" everywhere, no rows, graph still there.
    CCanFixture bare({kFamK}, 0, 0, false);
    bare.Load(kBusClock, 0x03, 0x1C);
    EXPECT_EQ(bare.Text(L::kBitRateId), "???");
    EXPECT_EQ(bare.Text(L::kQuantumClockId), "???");
    EXPECT_TRUE(bare.Rows().empty());
    EXPECT_EQ(GraphOf(bare).quanta, 16);
    EXPECT_EQ(bare.can->BitRate(), 0.0);
}

TEST(CpmLSCAN, EachBrokenRuleWarnsOnItsFieldAtExactBounds) {
    // The rules alone, at and beyond each bound.
    const auto rules = [](int prescaler, int tseg1, int tseg2, int sjw) {
        std::vector<ELscanRule> broken;
        for (const tLscanRuleBreak& item : CheckLscanTiming({prescaler, tseg1, tseg2, sjw}))
            broken.push_back(item.rule);
        return broken;
    };
    using R = ELscanRule;
    EXPECT_TRUE(rules(1, 5, 2, 1).empty());  // 8 quanta
    EXPECT_EQ(rules(1, 4, 2, 1), std::vector<R>{R::Quanta}); // 7 quanta
    EXPECT_TRUE(rules(64, 16, 8, 4).empty()); // 25 quanta
    EXPECT_EQ(rules(1, 16, 9, 1), (std::vector<R>{R::Quanta, R::Tseg2})); // 26
    EXPECT_TRUE(rules(1, 4, 3, 1).empty());
    EXPECT_EQ(rules(1, 3, 4, 1), std::vector<R>{R::Tseg1});
    EXPECT_EQ(rules(1, 17, 2, 1), (std::vector<R>{R::Tseg1}));
    EXPECT_EQ(rules(1, 6, 1, 1), std::vector<R>{R::Tseg2});
    EXPECT_TRUE(rules(1, 6, 2, 2).empty());
    EXPECT_EQ(rules(1, 6, 2, 3), std::vector<R>{R::Sjw});
    EXPECT_EQ(rules(1, 6, 8, 5), std::vector<R>{R::Sjw});
    EXPECT_EQ(rules(1, 6, 8, 0), std::vector<R>{R::Sjw});
    // Every rule at once, in order.
    EXPECT_EQ(rules(1, 1, 1, 4), (std::vector<R>{R::Quanta, R::Tseg1, R::Tseg2, R::Sjw}));
    EXPECT_EQ(CheckLscanTiming({1, 4, 2, 1}).front().message,
              "A bit must have between 8 and 25 time quanta (1 + TSEG1 + TSEG2); this one has 7.");
    EXPECT_EQ(CheckLscanTiming({1, 3, 4, 1}).front().message, "TSEG1 must be between 4 and 16.");
    EXPECT_EQ(CheckLscanTiming({1, 6, 1, 1}).front().message, "TSEG2 must be between 2 and 8.");
    EXPECT_EQ(CheckLscanTiming({1, 6, 2, 3}).front().message,
              "SJW must be less than or equal to TSEG2.");

    // On the page: a header's broken timing is kept and computed as it stands, each rule
    // warning on its field's label; edits mend them one by one.
    CCanFixture f({kFamK}, 4, 8);
    f.Load(kBusClock, 0xC0, 0x02); // SJW 4, TSEG1 3, TSEG2 1: 5 quanta
    EXPECT_EQ(f.Reg(L::kBtr1Item), 0x02u);
    EXPECT_EQ(f.Text(L::kQuantaId), "5");
    EXPECT_EQ(f.Text(L::kBitRateId), "0.8 MHz");
    EXPECT_EQ(f.host.Warning(*f.can, L::kQuantaLabelId),
              "A bit must have between 8 and 25 time quanta (1 + TSEG1 + TSEG2); this one has 5.");
    EXPECT_EQ(f.host.Warning(*f.can, L::kTseg1LabelId), "TSEG1 must be between 4 and 16.");
    EXPECT_EQ(f.host.Warning(*f.can, L::kTseg2LabelId), "TSEG2 must be between 2 and 8.");
    EXPECT_EQ(f.host.Warning(*f.can, L::kSjwLabelId), "SJW must be less than or equal to TSEG2.");
    EXPECT_EQ(f.Text(L::kTseg1LabelId), "TSEG1:");
    EXPECT_EQ(f.Control(L::kTseg1LabelId).TextColour(), (tColour{128, 0, 0}));
    f.Edit(L::kTseg1Id, "4");
    EXPECT_TRUE(f.host.Warning(*f.can, L::kTseg1LabelId).empty());
    EXPECT_EQ(f.Control(L::kTseg1LabelId).TextColour(), (tColour{0, 0, 0}));
    f.Edit(L::kTseg2Id, "2");
    EXPECT_TRUE(f.host.Warning(*f.can, L::kTseg2LabelId).empty());
    EXPECT_FALSE(f.host.Warning(*f.can, L::kQuantaLabelId).empty()); // 7 quanta
    f.Edit(L::kTseg2Id, "3");
    EXPECT_TRUE(f.host.Warning(*f.can, L::kQuantaLabelId).empty());
    EXPECT_FALSE(f.host.Warning(*f.can, L::kSjwLabelId).empty()); // 4 > 3
    f.Edit(L::kSjwId, "3");
    EXPECT_TRUE(f.host.Active().empty());

    // A controller left out of the header keeps its reset timing without warnings.
    f.Load(0, 0, 0);
    EXPECT_FALSE(f.host.Active().empty());
    f.can->SetSelected(false);
    f.can->CheckWarnings();
    EXPECT_TRUE(f.host.Active().empty());
    f.can->SetSelected(true);
    f.can->CheckWarnings();
    EXPECT_EQ(f.host.Active().size(), 3u);
}

TEST(CpmLSCAN, CandidateSearchForATypedRate) {
    CMessages messages;
    ScopedMessageHandler scope(messages);
    CCanFixture f({kFamK}, 60, 8);
    f.Load(kBusClock, 0x0E, 0x23); // 60 MHz / 15, 8 quanta: 500 kHz
    // The shown rate is the target: its rows, and the row of the current timing chosen.
    std::vector<std::string> rows = f.Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(f.Text(L::kCandidateHeaderId), "Prescaler\tQuanta\tTSEG1\tTSEG2\tSJW");
    EXPECT_EQ(rows.front(), "15\t8\t4\t3\t1");
    EXPECT_EQ(f.Control(L::kCandidatesId).Selection(), 0);
    // The 8-quanta splits: TSEG1 4 with TSEG2 3 (SJW 1..3), TSEG1 5 with TSEG2 2 (SJW 1..2).
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 6),
              (std::vector<std::string>{"15\t8\t4\t3\t1", "15\t8\t4\t3\t2", "15\t8\t4\t3\t3",
                                        "15\t8\t5\t2\t1", "15\t8\t5\t2\t2", "12\t10\t4\t5\t1"}));
    // Every row is exact and keeps the rules; the quanta are those 60 MHz divides into.
    std::set<int> quanta;
    for (const std::string& row : rows) {
        const tLscanCandidate c = ParseLscanCandidateRow(row);
        EXPECT_EQ(c.prescaler * c.quanta * 500000, 60000000) << row;
        EXPECT_EQ(c.quanta, 1 + c.tseg1 + c.tseg2) << row;
        EXPECT_TRUE(CheckLscanTiming({c.prescaler, c.tseg1, c.tseg2, c.sjw}).empty()) << row;
        quanta.insert(c.quanta);
    }
    EXPECT_EQ(quanta, (std::set<int>{8, 10, 12, 15, 20, 24}));

    // Typing a target lists its rows; the button picks the row of the current prescaler.
    f.Edit(L::kBitRateId, "250k");
    rows = f.Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), "30\t8\t4\t3\t1");
    f.Click(L::kBitRateButtonId);
    EXPECT_TRUE(messages.texts.empty()); // 15 x 16 quanta gives 250 kHz
    EXPECT_EQ(f.Rows()[static_cast<std::size_t>(f.Control(L::kCandidatesId).Selection())],
              "15\t16\t7\t8\t1");
    // 1 Mbit/s: 60 quanta per bit, which a prescaler of 15 cannot split.
    f.Edit(L::kBitRateId, "1M");
    f.Click(L::kBitRateButtonId);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts.back(), "The prescaler must be changed to achieve this baud rate !");
    EXPECT_EQ(f.Control(L::kCandidatesId).Selection(), 0);
    EXPECT_EQ(f.Rows().front(), "6\t10\t4\t5\t1");
    f.Edit(L::kBitRateId, "250k");
    rows = f.Rows();
    // A recalculation with the timing unchanged keeps the typed target.
    f.can->CheckWarnings();
    EXPECT_EQ(f.Text(L::kBitRateId), "250k");
    // Choosing a row writes the timing: 60 MHz / 12 / 20 = 250 kHz.
    const auto at = std::find(rows.begin(), rows.end(), "12\t20\t13\t6\t2");
    ASSERT_NE(at, rows.end());
    f.Select(L::kCandidatesId, static_cast<int>(at - rows.begin()));
    EXPECT_EQ(f.Reg(L::kBtr0Item), 0x4Bu);
    EXPECT_EQ(f.Reg(L::kBtr1Item), 0x5Cu);
    EXPECT_EQ(f.Text(L::kPrescalerId), "12");
    EXPECT_EQ(f.Text(L::kTseg1Id), "13");
    EXPECT_EQ(f.Text(L::kBitRateId), "250 kHz");
    EXPECT_EQ(f.Rows()[static_cast<std::size_t>(f.Control(L::kCandidatesId).Selection())],
              "12\t20\t13\t6\t2");
    f.Click(L::kBitRateButtonId);
    EXPECT_EQ(messages.texts.size(), 1u); // prescaler 12 has rows: no message

    // No number, a rate above the clock, a rate no split reaches: no rows, and the button
    // says so.
    for (const char* text : {"fast", "", "100M", "-5k", "0"}) {
        f.Edit(L::kBitRateId, text);
        EXPECT_TRUE(f.Rows().empty()) << text;
        f.Click(L::kBitRateButtonId);
        EXPECT_EQ(messages.texts.back(), "This baud rate can not be achieved.") << text;
    }
    messages.texts.clear();
    f.Edit(L::kBitRateId, "7"); // 7 bit/s would need a prescaler far above 64
    EXPECT_TRUE(f.Rows().empty());
}

TEST(CpmLSCAN, CandidatesUseTheSourceClockOfTheController) {
    // The oscillator runs at 8 MHz, the bus at 60 MHz: rows divide the oscillator.
    CCanFixture f({kFamK}, 60, 8);
    f.Load(0x80, 0x03, 0x1C);
    EXPECT_EQ(f.Text(L::kBitRateId), "125 kHz");
    const std::vector<std::string> rows = f.Rows();
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) {
        const tLscanCandidate c = ParseLscanCandidateRow(row);
        EXPECT_EQ(c.prescaler * c.quanta * 125000, 8000000) << row;
    }
    EXPECT_EQ(f.Rows()[static_cast<std::size_t>(f.Control(L::kCandidatesId).Selection())],
              "4\t16\t13\t2\t1");
    // A target typed with a unit is snapped to the source clock: 8 MHz / 24 for "333k",
    // which 8, 12 and 24 quanta reach.
    f.Edit(L::kBitRateId, "333k");
    std::set<int> quanta;
    for (const std::string& row : f.Rows())
        quanta.insert(ParseLscanCandidateRow(row).quanta);
    EXPECT_EQ(quanta, (std::set<int>{8, 12, 24}));
    EXPECT_EQ(f.Rows().front(), "3\t8\t4\t3\t1");
    // Switching to the bus clock moves the rate, and the rows follow it.
    f.Select(L::kClockSourceId, 1);
    EXPECT_EQ(f.Text(L::kBitRateId), "0.9375 MHz");
    // A processor with the oscillator chosen but none running: no rows, "???".
    CCanFixture none({kFamK}, 60, 0);
    none.Load(0x80, 0x03, 0x1C);
    EXPECT_TRUE(none.Rows().empty());
    EXPECT_TRUE(LscanCandidates(0.0, 125000.0).empty());
    EXPECT_TRUE(LscanCandidates(8000000.0, 0.0).empty());
    EXPECT_TRUE(LscanCandidates(8000000.0, -1.0).empty());
    // Rows that cannot be read are no timing.
    EXPECT_EQ(ParseLscanCandidateRow("4\t16\t13\t2"), tLscanCandidate{});
    EXPECT_EQ(ParseLscanCandidateRow("4\t16\tx\t2\t1"), tLscanCandidate{});
    EXPECT_EQ(ParseLscanCandidateRow("4\t16\t\t2\t1"), tLscanCandidate{});
    EXPECT_EQ(ParseLscanCandidateRow("4\t16\t13\t2\t1"), (tLscanCandidate{4, 16, 13, 2, 1}));
}

TEST(CpmLSCAN, FilterValuesDecodedPerMode) {
    // Four bytes, standard: ID10..3, then ID2..0 with the frame type and IDE clear.
    EXPECT_EQ(LscanIdentifierText(0x24600000u, 4), "standard 0x123, data frame");
    EXPECT_EQ(LscanIdentifierText(0x24700000u, 4), "standard 0x123, remote frame");
    EXPECT_EQ(LscanIdentifierText(0xFFE00000u, 4), "standard 0x7FF, data frame");
    // Four bytes, extended (IDE set): each end of every identifier piece.
    EXPECT_EQ(LscanIdentifierText(0xFFFFFFFEu, 4), "extended 0x1FFFFFFF, data frame");
    EXPECT_EQ(LscanIdentifierText(0x00180003u, 4), "extended 0x00000001, remote frame");
    EXPECT_EQ(LscanIdentifierText(0x80180000u, 4), "extended 0x10000000, data frame");
    EXPECT_EQ(LscanIdentifierText(0x00380000u, 4), "extended 0x00040000, data frame");
    EXPECT_EQ(LscanIdentifierText(0x00190000u, 4), "extended 0x00008000, data frame");
    EXPECT_EQ(LscanIdentifierText(0x00180100u, 4), "extended 0x00000080, data frame");
    // Two bytes: a standard identifier with its frame type, or the top of an extended one.
    EXPECT_EQ(LscanIdentifierText(0x2460u, 2), "standard 0x123, data frame");
    EXPECT_EQ(LscanIdentifierText(0x0010u, 2), "standard 0x000, remote frame");
    EXPECT_EQ(LscanIdentifierText(0xFFFFu, 2), "extended 0x1FFF8000 (ID28..15)");
    EXPECT_EQ(LscanIdentifierText(0x0009u, 2), "extended 0x00008000 (ID28..15)");
    // One byte: the top eight bits of either format.
    EXPECT_EQ(LscanIdentifierText(0x24u, 1),
              "standard 0x120 (ID10..3) or extended 0x04800000 (ID28..21)");
    EXPECT_EQ(LscanIdentifierText(0x24u, 0), "");
    // Masks read in their identifier's layout; a set bit ignores that bit.
    EXPECT_EQ(LscanMaskText(0x00E00000u, 4, false), "ignores ID bits 0x007, frame type compared");
    EXPECT_EQ(LscanMaskText(0xFFFFFFFFu, 4, false), "ignores ID bits 0x7FF, any frame type");
    EXPECT_EQ(LscanMaskText(0xFFFFFFFFu, 4, true), "ignores ID bits 0x1FFFFFFF, any frame type");
    EXPECT_EQ(LscanMaskText(0x0007u, 2, true), "ignores ID bits 0x00038000 (ID28..15)");
    EXPECT_EQ(LscanMaskText(0x01u, 1, false),
              "ignores ID bits 0x008 (ID10..3) or 0x00200000 (ID28..21)");

    // Filter values as text: the filter's width in hex digits, read back as hex or decimal.
    EXPECT_EQ(LscanFilterText(0x2460u, 2), "0x2460");
    EXPECT_EQ(LscanFilterText(0x5u, 1), "0x05");
    EXPECT_EQ(LscanFilterText(0u, 4), "0x00000000");
    EXPECT_EQ(ReadLscanFilterText(" 0xffffFFFF "), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLscanFilterText("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLscanFilterText("0X1a"), 0x1Au);
    EXPECT_EQ(ReadLscanFilterText("0"), 0u);
    for (const char* bad : {"", "0x", "0x100000000", "4294967296", "1a", "0x1g", "+1", "1 2"})
        EXPECT_FALSE(ReadLscanFilterText(bad).has_value()) << bad;

    // The bytes of each filter, first byte most significant; filters the mode lacks are
    // neither read nor written.
    std::array<std::uint8_t, 8> bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    EXPECT_EQ(LscanFilterValue(bytes, kLscanTwo32, 1), 0x55667788u);
    EXPECT_EQ(LscanFilterValue(bytes, kLscanFour16, 3), 0x7788u);
    EXPECT_EQ(LscanFilterValue(bytes, kLscanEight8, 7), 0x88u);
    EXPECT_EQ(LscanFilterValue(bytes, kLscanTwo32, 2), 0u);
    EXPECT_EQ(LscanFilterValue(bytes, kLscanClosed, 0), 0u);
    EXPECT_EQ(LscanFilterValue(bytes, kLscanEight8, -1), 0u);
    SetLscanFilterValue(bytes, kLscanFour16, 1, 0xABCD);
    EXPECT_EQ(bytes[2], 0xABu);
    EXPECT_EQ(bytes[3], 0xCDu);
    const std::array<std::uint8_t, 8> before = bytes;
    SetLscanFilterValue(bytes, kLscanFour16, 4, 0xFFFF);
    SetLscanFilterValue(bytes, kLscanClosed, 0, 0xFFFF);
    EXPECT_EQ(bytes, before);
}

TEST(CpmLSCAN, FilterPagesFollowTheMode) {
    CCanFixture f;
    const auto shown = [&] {
        int count = 0;
        for (int filter = 0; filter < L::kFilterCount; ++filter)
            count += f.Control(L::kFirstFilterPageId + filter).IsVisible() ? 1 : 0;
        return count;
    };
    EXPECT_EQ(shown(), 2);
    // Two 32-bit filters: filter 1 is bytes 4..7.
    f.Page().UserEdit(f.FilterControl(1, F::kIdentifierId), "0x24600000");
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 4), 0x24u);
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 5), 0x60u);
    EXPECT_EQ(f.FilterControl(1, F::kIdentifierTextId).Text(), "standard 0x123, data frame");
    f.Page().UserEdit(f.FilterControl(1, F::kMaskId), "0x00E00000");
    EXPECT_EQ(f.Reg(L::kFirstIdmrItem + 5), 0xE0u);
    EXPECT_EQ(f.FilterControl(1, F::kMaskTextId).Text(),
              "ignores ID bits 0x007, frame type compared");
    EXPECT_EQ(f.FilterControl(1, F::kGroupId).Text(), "Filter 1");
    EXPECT_EQ(f.FilterControl(1, F::kIdentifierId).Text(), "0x24600000");
    EXPECT_EQ(f.FilterControl(0, F::kMaskId).Text(), "0x00000000");
    // What is being typed stays as typed; the decoded line follows it.
    f.Page().UserEdit(f.FilterControl(0, F::kMaskId), "0xFFE");
    EXPECT_EQ(f.FilterControl(0, F::kMaskId).Text(), "0xFFE");
    EXPECT_EQ(f.Reg(L::kFirstIdmrItem + 2), 0x0Fu);
    EXPECT_EQ(f.Reg(L::kFirstIdmrItem + 3), 0xFEu);
    EXPECT_EQ(f.FilterControl(0, F::kMaskTextId).Text(),
              "ignores ID bits 0x000, frame type compared");
    f.Page().UserEdit(f.FilterControl(0, F::kMaskId), "0");

    // Four 16-bit filters: the same bytes are now filters 2 and 3.
    f.Select(L::kFilterModeId, 1);
    EXPECT_EQ(shown(), 4);
    EXPECT_EQ(f.FilterControl(2, F::kIdentifierTextId).Text(), "standard 0x123, data frame");
    EXPECT_EQ(f.can->FilterDialog(2).Value(0), 0x2460u);
    EXPECT_EQ(f.FilterControl(2, F::kIdentifierId).Text(), "0x2460");
    // A value wider than the filter is refused.
    f.Page().UserEdit(f.FilterControl(0, F::kIdentifierId), "0x12345");
    EXPECT_EQ(f.Reg(L::kFirstIdarItem), 0u);
    f.Page().UserEdit(f.FilterControl(0, F::kIdentifierId), "0xFFFF");
    EXPECT_EQ(f.Reg(L::kFirstIdarItem), 0xFFu);
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 1), 0xFFu);
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 2), 0u);
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 4), 0x24u);

    // Eight 8-bit filters: one byte each.
    f.Select(L::kFilterModeId, 2);
    EXPECT_EQ(shown(), 8);
    EXPECT_EQ(f.can->FilterDialog(5).Value(0), 0x60u);
    EXPECT_EQ(f.FilterControl(5, F::kIdentifierId).Text(), "0x60");
    // Decimal is read too; text that is no number leaves the register alone.
    f.Page().UserEdit(f.FilterControl(6, F::kIdentifierId), "255");
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 6), 0xFFu);
    for (const char* bad : {"0x", "12g", "0x1FF", "256", "-1"}) {
        f.Page().UserEdit(f.FilterControl(6, F::kIdentifierId), bad);
        EXPECT_EQ(f.Reg(L::kFirstIdarItem + 6), 0xFFu) << bad;
    }
    f.Page().UserEdit(f.FilterControl(7, F::kMaskId), "0x80");
    EXPECT_EQ(f.Reg(L::kFirstIdmrItem + 7), 0x80u);

    // Closed: the filters keep their bytes but their pages are disabled.
    f.Select(L::kFilterModeId, 3);
    EXPECT_EQ(shown(), 2);
    for (int filter = 0; filter < 2; ++filter) {
        EXPECT_FALSE(f.FilterControl(filter, F::kIdentifierId).IsEnabled());
        EXPECT_FALSE(f.FilterControl(filter, F::kMaskId).IsEnabled());
    }
    EXPECT_EQ(f.Reg(L::kFirstIdarItem + 4), 0x24u);
    f.Select(L::kFilterModeId, 0);
    EXPECT_TRUE(f.FilterControl(0, F::kIdentifierId).IsEnabled());
}

TEST(CpmLSCAN, FirstGenerationOscillatorFromTheClockModuleAndHeaderRoundTrip) {
    // A first-generation part: the crystal query answers 0 there, the oscillator input does not.
    CModuleTestHost host;
    host.groups = {kFamH, kFamJ, kFamB, 24};
    host.external = 8.0f;
    CpmOCCS& occs = host.Add<CpmOCCS>("OCCS", "OCCS");
    CpmLSCAN& can = host.Add<CpmLSCAN>("LSCAN", "LSCAN", "", "INT:15,16,17,18:");
    host.BindAll();
    CAppcfgFile header;
    Define(header, "LSCAN_CANCTL1_INIT", "0x80U");
    Define(header, "LSCAN_CANBTR0_INIT", "0x01U");
    Define(header, "LSCAN_CANBTR1_INIT", "0x3AU");
    ASSERT_TRUE(can.LoadFromHeader(&header));
    EXPECT_EQ(can.Item(L::kBtr1Item).dwValue, 0x3Au);
    can.CreatePage();
    can.OnInitialUpdate();
    EXPECT_FLOAT_EQ(occs.CrystalClockMHz(), 0.0f);
    // The relaxation oscillator runs the part: no external oscillator, no rate.
    EXPECT_EQ(can.Page()->FindControl(L::kSourceClockId)->Text(), "???");
    EXPECT_EQ(can.Page()->FindControl(L::kBitRateId)->Text(), "???");
    // The external clock in use: 8 MHz / 2 / 16 quanta.
    occs.Item(kOccsControl).dwValue |= 1u << 2;
    can.CheckWarnings();
    EXPECT_EQ(can.Page()->FindControl(L::kSourceClockId)->Text(), "8 MHz");
    EXPECT_EQ(can.Page()->FindControl(L::kBitRateId)->Text(), "250 kHz");
    EXPECT_DOUBLE_EQ(can.BitRate(), 250000.0);
    EXPECT_TRUE(host.Active().empty());

    std::string text;
    ASSERT_TRUE(can.WriteHeaderText(text));
    for (const char* expected : {"LSCAN_CANCTL1_INIT", "LSCAN_CANBTR0_INIT", "LSCAN_CANBTR1_INIT"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("CANIDAR"), std::string::npos) << text;
    std::string summary;
    can.GetSummary(summary);
    for (const char* expected : {"Bit rate: 250 kHz", "TSEG1: 11", "TSEG2: 4", "Prescaler: 2",
                                 "Clock source: Oscillator clock"})
        EXPECT_NE(summary.find(expected), std::string::npos) << expected << "\n" << summary;
}
