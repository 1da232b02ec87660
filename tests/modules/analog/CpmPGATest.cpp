#include <gtest/gtest.h>

#include <string>

#include "model/DialogTemplate.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/analog/CpmADC_FamA.h"
#include "modules/analog/CpmPGA.h"
#include "modules/timers/TimerQueries.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;

// A clock module that publishes a chosen bus clock.
class CpmPgaClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPgaClock, CModule)
public:
    CpmPgaClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A delay block whose trigger enables are set by the test.
class CpmPgaDelayBlock : public CModule, public hwc::IDelayBlock {
    HWC_DECLARE_MODULE_CLASS(CpmPgaDelayBlock, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"SCR_INIT", 0, hwc::RegFlag::DW16}};
    CpmPgaDelayBlock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}
    bool IsTriggerEnabled(char trigger) const override {
        return trigger == 'A' ? triggerA : trigger == 'B' ? triggerB : false;
    }
    bool triggerA = false;
    bool triggerB = false;
};

// A document with an amplifier and, as asked, a clock module, its converter and a delay block.
struct CPgaFixture {
    explicit CPgaFixture(const std::string& instance = "PGA_0", float busMHz = 32.0f,
                         bool withAdc = true, bool withPdb = true) {
        host.groups = {CModule::kFamA};
        if (busMHz > 0.0f)
            host.Add<CpmPgaClock>("OCCS", "OCCS").busMHz = busMHz;
        if (withAdc) {
            adc0 = &host.Add<CpmADC_FamA>("ADC_0", "ADC_FamA");
            adc1 = &host.Add<CpmADC_FamA>("ADC_1", "ADC_FamA");
        }
        if (withPdb)
            pdb = &host.Add<CpmPgaDelayBlock>("PDB", "PDB");
        pga = &host.Add<CpmPGA>(instance, "PGA");
        host.BindAll();
        pga->CreatePage();
        pga->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *pga->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) {
        pga->Page()->UserSelect(Control(id), index);
        pga->Recalculate();
        pga->CheckWarnings();
    }
    void Edit(int id, const std::string& text) {
        pga->Page()->UserEdit(Control(id), text);
        pga->Recalculate();
        pga->CheckWarnings();
    }
    void Enable() {
        if (pga->Enable().IsChecked() != 1)
            pga->Page()->UserClick(Control(CpmPGA::kEnableId));
        pga->CheckWarnings();
    }
    // Sets a converter's clock divisor field (input clock / 2^field).
    void SetAdcDivisor(CpmADC_FamA& adc, unsigned field) {
        tPerCfgItem& cfg = adc.Item(CpmADC_FamA::kCfgItem);
        cfg.dwValue = (cfg.dwValue & ~(3u << 5)) | (field << 5);
        pga->Recalculate();
        pga->CheckWarnings();
    }
    std::string Warning(int id) { return host.Warning(*pga, id); }

    CHost host;
    CpmADC_FamA* adc0 = nullptr;
    CpmADC_FamA* adc1 = nullptr;
    CpmPgaDelayBlock* pdb = nullptr;
    CpmPGA* pga = nullptr;
};

constexpr const char* kReminder =
    "Please note that in your code, ADC initialization must be performed before PGA "
    "initialization; also use PGA_TEST_STARTUP_COMPLETE command to make sure PGA is initialized "
    "before first use.";

} // namespace

TEST(CpmPGA, RegistersAndDefaults) {
    CPgaFixture f;
    ASSERT_EQ(f.pga->ItemCount(), 3);
    EXPECT_EQ(f.pga->GetDefineName(f.pga->Item(0)), "PGA_0_CNTL0_INIT");
    EXPECT_EQ(f.pga->GetDefineName(f.pga->Item(2)), "PGA_0_CNTL2_INIT");
    EXPECT_EQ(f.pga->Item(CpmPGA::kCntl0Item).dwValue, 0u);
    EXPECT_EQ(f.pga->Item(CpmPGA::kCntl1Item).dwValue, 2u);
    EXPECT_EQ(f.pga->Item(CpmPGA::kCntl2Item).dwValue, 0xEu);
    // The defaults: input clock / 4 and three pulses per conversion.
    EXPECT_EQ(f.Control(CpmPGA::kClockDivisorId).Selection(), 2);
    EXPECT_EQ(f.Text(CpmPGA::kPulsesId), "3");
    EXPECT_EQ(f.Text(CpmPGA::kChargePumpId), "2");
    EXPECT_EQ(f.pga->CommentItems().size(), 10u);
}

TEST(CpmPGA, TotalGainFollowsEveryGainChange) {
    CPgaFixture f;
    EXPECT_EQ(f.Text(CpmPGA::kTotalGainId), "1x");
    f.Select(CpmPGA::kSampleHoldGainId, 1);
    EXPECT_EQ(f.Text(CpmPGA::kTotalGainId), "2x");
    f.Select(CpmPGA::kDiffGainId, 3);
    f.Select(CpmPGA::kDseGainId, 3);
    EXPECT_EQ(f.Text(CpmPGA::kTotalGainId), "32x");
    EXPECT_EQ(f.pga->Item(CpmPGA::kCntl0Item).dwValue, (3u << 5) | (3u << 3) | (1u << 2));
    f.Select(CpmPGA::kDiffGainId, 2);
    EXPECT_EQ(f.Text(CpmPGA::kTotalGainId), "24x");

    // Loaded from the register: the page opens on the product.
    CPgaFixture loaded;
    loaded.pga->Item(CpmPGA::kCntl0Item).dwValue = 0x7C;
    loaded.pga->RefreshControls();
    loaded.pga->OnInitialUpdate();
    EXPECT_EQ(loaded.Text(CpmPGA::kTotalGainId), "32x");
}

TEST(CpmPGA, ClockFromTheConverterAndItsLimit) {
    CPgaFixture f; // converter on the 32 MHz bus clock, amplifier at input clock / 4
    EXPECT_EQ(f.Text(CpmPGA::kClockId), "8 MHz");
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockLimitId));
    EXPECT_EQ(f.Text(CpmPGA::kClockLimitId), "should be < 8 MHz");

    f.Select(CpmPGA::kClockDivisorId, 1);
    EXPECT_EQ(f.Text(CpmPGA::kClockId), "16 MHz");
    EXPECT_EQ(f.Warning(CpmPGA::kClockLimitId),
              "PGA clock frequency exceeds maximum operating frequency (8.000 MHz)");
    EXPECT_EQ(f.Text(CpmPGA::kClockLimitId), "max: 8.000 MHz");

    f.Select(CpmPGA::kClockDivisorId, 2);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockLimitId));
    EXPECT_EQ(f.Text(CpmPGA::kClockLimitId), "should be < 8 MHz");

    // The converter's own divisor does not slow the amplifier: it takes the input clock.
    f.SetAdcDivisor(*f.adc0, 3);
    EXPECT_EQ(f.Text(CpmPGA::kClockId), "8 MHz");
}

TEST(CpmPGA, SamplingTimeAndLatency) {
    CPgaFixture f;
    f.Edit(CpmPGA::kPulsesId, "7");
    EXPECT_EQ(f.Text(CpmPGA::kLatencyId), "17.25 us");
    EXPECT_EQ(f.Text(CpmPGA::kSamplingTimeId), "1 us");
    f.Edit(CpmPGA::kPulsesId, "0");
    EXPECT_EQ(f.Text(CpmPGA::kLatencyId), "1.5 us");
    // Out of the field's range: refused, the register keeps 0.
    f.Edit(CpmPGA::kPulsesId, "8");
    EXPECT_EQ((f.pga->Item(CpmPGA::kCntl2Item).dwValue >> 2) & 7u, 0u);
}

TEST(CpmPGA, WithoutAClockEveryTimeIsUnknown) {
    for (bool withAdc : {true, false}) {
        CPgaFixture f("PGA_0", 0.0f, withAdc);
        f.pga->Recalculate();
        EXPECT_EQ(f.Text(CpmPGA::kClockId), "OFF") << withAdc;
        EXPECT_EQ(f.Text(CpmPGA::kSamplingTimeId), "???") << withAdc;
        EXPECT_EQ(f.Text(CpmPGA::kLatencyId), "???") << withAdc;
        EXPECT_FALSE(f.host.Warns(CpmPGA::kClockLimitId));
    }
}

TEST(CpmPGA, ClockDivisorMustMatchTheConverter) {
    CPgaFixture f;
    f.SetAdcDivisor(*f.adc0, 1);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockDivisorLabelId)); // disabled: no check
    f.Enable();
    EXPECT_EQ(f.Warning(CpmPGA::kClockDivisorLabelId),
              "PGA_0 clock divisor (now 4) must be equal to ADC_0 clock divisor (now 2).");
    // The label keeps its caption; the warnings list carries the text.
    EXPECT_EQ(f.Text(CpmPGA::kClockDivisorLabelId), "Clock Divisor:");
    f.Select(CpmPGA::kClockDivisorId, 1);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockDivisorLabelId));
    // The other converter does not count for amplifier 0.
    f.SetAdcDivisor(*f.adc1, 3);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockDivisorLabelId));

    CPgaFixture second("PGA_1");
    second.Enable();
    second.SetAdcDivisor(*second.adc1, 0);
    EXPECT_EQ(second.Warning(CpmPGA::kClockDivisorLabelId),
              "PGA_1 clock divisor (now 4) must be equal to ADC_1 clock divisor (now 1).");

    // Without its converter there is nothing to compare with.
    CPgaFixture alone("PGA_0", 32.0f, false);
    alone.Enable();
    alone.Select(CpmPGA::kClockDivisorId, 0);
    EXPECT_FALSE(alone.host.Warns(CpmPGA::kClockDivisorLabelId));
}

TEST(CpmPGA, HardwareTriggerNeedsTheDelayBlockAndItsTrigger) {
    CPgaFixture f;
    f.pdb->SetSelected(false);
    f.Enable();
    EXPECT_EQ(f.Warning(CpmPGA::kTriggerModeLabelId),
              "PDB must be enabled and Trigger A must be enabled in PDB when hardware trigger "
              "mode is selected.");
    f.pdb->SetSelected(true);
    f.pga->CheckWarnings();
    EXPECT_EQ(f.Warning(CpmPGA::kTriggerModeLabelId),
              "Trigger A must be enabled in PDB when hardware trigger mode is selected.");
    f.pdb->triggerB = true; // the other amplifier's trigger
    f.pga->CheckWarnings();
    EXPECT_TRUE(f.host.Warns(CpmPGA::kTriggerModeLabelId));
    f.pdb->triggerA = true;
    f.pga->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(CpmPGA::kTriggerModeLabelId));
    f.pdb->SetSelected(false);
    f.pga->CheckWarnings();
    EXPECT_EQ(f.Warning(CpmPGA::kTriggerModeLabelId),
              "PDB must be enabled in PDB when hardware trigger mode is selected.");
    EXPECT_EQ(f.Text(CpmPGA::kTriggerModeLabelId), "Trigger Mode:");

    // The software trigger needs no delay block.
    f.Select(CpmPGA::kTriggerModeId, 1);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kTriggerModeLabelId));

    CPgaFixture second("PGA_1");
    second.pdb->SetSelected(true);
    second.pdb->triggerA = true;
    second.Enable();
    EXPECT_EQ(second.Warning(CpmPGA::kTriggerModeLabelId),
              "Trigger B must be enabled in PDB when hardware trigger mode is selected.");
    second.pdb->triggerB = true;
    second.pga->CheckWarnings();
    EXPECT_FALSE(second.host.Warns(CpmPGA::kTriggerModeLabelId));

    // Without a delay block the check is skipped.
    CPgaFixture alone("PGA_0", 32.0f, true, false);
    alone.Enable();
    EXPECT_FALSE(alone.host.Warns(CpmPGA::kTriggerModeLabelId));
}

TEST(CpmPGA, ReminderWhileEnabledAndDisablingClearsAll) {
    CPgaFixture f;
    f.SetAdcDivisor(*f.adc0, 0);
    f.Enable();
    EXPECT_EQ(f.Warning(CpmPGA::kEnableId), kReminder);
    EXPECT_TRUE(f.host.Warns(CpmPGA::kClockDivisorLabelId));
    EXPECT_TRUE(f.host.Warns(CpmPGA::kTriggerModeLabelId));
    EXPECT_EQ(f.Text(CpmPGA::kEnableId), "PGA Module Enabled");
    f.pga->Page()->UserClick(f.Control(CpmPGA::kEnableId));
    f.pga->CheckWarnings();
    EXPECT_EQ(f.pga->Item(CpmPGA::kCntl0Item).dwValue & 1u, 0u);
    EXPECT_FALSE(f.host.Warns(CpmPGA::kEnableId));
    EXPECT_FALSE(f.host.Warns(CpmPGA::kClockDivisorLabelId));
    EXPECT_FALSE(f.host.Warns(CpmPGA::kTriggerModeLabelId));
    // The check box stays on the page while the reminder is off.
    EXPECT_TRUE(f.Control(CpmPGA::kEnableId).IsVisible());
}

TEST(CpmPGA, InstanceNamesAndTheirConverter) {
    struct {
        const char* instance;
        int number;
        bool readable;
    } cases[] = {{"PGA_0", 0, true},  {"PGA_1", 1, true},  {"PGA_2", 2, true},
                 {"PGA", 0, false},   {"PGA_x", 0, false}, {"PGA_-1", -1, true},
                 {"PGA_ 1", 1, true}, {"AMP_1", 0, false}, {"PGA_-7", -7, true}};
    for (const auto& c : cases) {
        CPgaFixture f(c.instance);
        bool readable = !c.readable;
        EXPECT_EQ(f.pga->AmplifierNumber(&readable), c.number) << c.instance;
        EXPECT_EQ(readable, c.readable) << c.instance;
    }

    // Far too large a number still reads as one above 1.
    CPgaFixture huge("PGA_99999999999");
    EXPECT_GT(huge.pga->AmplifierNumber(), 1);

    // Above 1: the clock comes from converter 0, and nothing is checked.
    CPgaFixture third("PGA_2");
    third.SetAdcDivisor(*third.adc0, 0);
    third.Enable();
    EXPECT_EQ(third.Text(CpmPGA::kClockId), "8 MHz");
    EXPECT_TRUE(third.host.warnings.empty());
    CPgaFixture negative("PGA_-1");
    negative.Enable();
    EXPECT_TRUE(negative.host.warnings.empty());

    // An unreadable name is amplifier 0, with its checks.
    CPgaFixture unnamed("PGA");
    unnamed.SetAdcDivisor(*unnamed.adc0, 0);
    unnamed.Enable();
    EXPECT_EQ(unnamed.Warning(CpmPGA::kClockDivisorLabelId),
              "PGA_0 clock divisor (now 4) must be equal to ADC_0 clock divisor (now 1).");
}

TEST(CpmPGA, StrayBitsInTheRegistersAreSafe) {
    CPgaFixture f;
    f.pga->Item(CpmPGA::kCntl0Item).dwValue = 0xFFFFFFFF;
    f.pga->Item(CpmPGA::kCntl1Item).dwValue = 0xFFFFFFFF;
    f.pga->Item(CpmPGA::kCntl2Item).dwValue = 0xFFFFFFFF;
    f.pga->RefreshControls();
    f.pga->Recalculate();
    f.pga->CheckWarnings();
    EXPECT_EQ(f.Text(CpmPGA::kTotalGainId), "32x");
    EXPECT_EQ(f.Text(CpmPGA::kClockId), "4 MHz");
    EXPECT_EQ(f.Text(CpmPGA::kPulsesId), "7");
    EXPECT_EQ(f.Control(CpmPGA::kCalibrationId).Selection(), 3);
}
