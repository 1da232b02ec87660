#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/analog/CpmADC_FamA.h"
#include "modules/clocks/ClockQueries.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using C = CpmADC_FamA;

// A clock module that publishes a chosen bus clock and crystal clock.
class CpmSarClock : public CModule, public hwc::IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmSarClock, CModule)
public:
    CpmSarClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float CrystalClockMHz() const override { return crystalMHz; }
    bool IsRelaxationOscillatorDisabled() const override { return false; }
    bool IsLowSpeedOscillatorDisabled() const override { return false; }
    bool IsCrystalOscillatorPoweredDown() const override { return false; }
    float busMHz = 0.0f;
    float crystalMHz = 0.0f;
};

struct CFixture {
    explicit CFixture(float busMHz = 32.0f, float crystalMHz = 0.0f) {
        host.groups = {CModule::kFamA};
        if (busMHz > 0.0f) {
            clock = &host.Add<CpmSarClock>("OCCS", "OCCS");
            clock->busMHz = busMHz;
            clock->crystalMHz = crystalMHz;
        }
        adc = &host.Add<C>("ADC_0", "ADC_FamA", "", "INT:25:");
        host.BindAll();
        adc->SetSelected(true);
        adc->CreatePage();
        adc->OnInitialUpdate();
        adc->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *adc->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) {
        adc->Page()->UserSelect(Control(id), index);
        adc->Recalculate();
        adc->UpdateControlStates();
    }
    void Click(int id) {
        adc->Page()->UserClick(Control(id));
        adc->Recalculate();
        adc->UpdateControlStates();
    }
    std::uint32_t Value(int item) { return adc->Item(item).dwValue; }

    CHost host;
    CpmSarClock* clock = nullptr;
    C* adc = nullptr;
};

} // namespace

TEST(CpmADC_FamA, RegistersAndDefaults) {
    CFixture f;
    ASSERT_EQ(f.adc->ItemCount(), 4);
    const char* names[] = {"ADC_0_ADCSC1A_INIT", "ADC_0_ADCSC1B_INIT", "ADC_0_ADCSC2_INIT",
                           "ADC_0_ADCCFG_INIT"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.adc->GetDefineName(f.adc->Item(i)), names[i]);
    EXPECT_EQ(f.Value(C::kSc1aItem), 0x1Fu);
    EXPECT_EQ(f.Value(C::kSc1bItem), 0x1Fu);
    EXPECT_EQ(f.Text(C::kChannelAId), "Module disabled");
    EXPECT_EQ(f.Control(C::kChannelAId).Items().size(), 32u);
    EXPECT_EQ(f.Text(C::kResolutionId), "8-bit");
    EXPECT_EQ(f.Text(C::kInputClockId), "Bus clock");
}

TEST(CpmADC_FamA, SettingsWriteTheirFields) {
    CFixture f;
    f.Select(C::kChannelAId, 5);
    f.Click(C::kInterruptAId);
    EXPECT_EQ(f.Value(C::kSc1aItem), 0x45u);
    f.Select(C::kChannelBId, 26);
    EXPECT_EQ(f.Value(C::kSc1bItem), 26u);
    EXPECT_EQ(f.Text(C::kChannelBId), "Temperature sensor");

    f.Select(C::kTriggerId, 1);
    EXPECT_FALSE(f.Control(C::kCompareGreaterId).IsEnabled());
    f.Click(C::kCompareEnableId);
    EXPECT_TRUE(f.Control(C::kCompareGreaterId).IsEnabled());
    EXPECT_TRUE(f.Control(C::kCompareRangeId).IsEnabled());
    f.Select(C::kCompareGreaterId, 1);
    f.Click(C::kCompareRangeId);
    f.Click(C::kDmaEnableId);
    EXPECT_EQ(f.Value(C::kSc2Item), 0x7Cu);

    // Resolution by size: 10-bit is code 2, 12-bit code 1.
    f.Select(C::kResolutionId, 1);
    EXPECT_EQ(f.Value(C::kCfgItem), 2u << 2);
    f.Select(C::kResolutionId, 2);
    EXPECT_EQ(f.Value(C::kCfgItem), 1u << 2);
    f.Select(C::kClockDivideId, 3);
    f.Select(C::kInputClockId, 1);
    f.Click(C::kLongSampleId);
    f.Click(C::kLowPowerId);
    EXPECT_EQ(f.Value(C::kCfgItem), 0x80u | (3u << 5) | 0x10u | (1u << 2) | 1u);

    // A header value is shown by its meaning.
    f.adc->Item(C::kCfgItem).dwValue = 0x0098;
    f.adc->RefreshControls();
    EXPECT_EQ(f.Text(C::kResolutionId), "10-bit");
    EXPECT_EQ(f.Control(C::kLongSampleId).Check(), 1);
    EXPECT_EQ(f.Control(C::kLowPowerId).Check(), 1);
}

TEST(CpmADC_FamA, ConverterClockAndItsLimit) {
    CFixture f(32.0f, 4.0f);
    f.adc->Recalculate();
    EXPECT_EQ(f.Text(C::kClockId), "32 MHz");
    EXPECT_EQ(f.host.Warning(C::kClockLimitId),
              "ADC clock frequency exceeds maximum operating frequency (8.000 MHz)");
    EXPECT_EQ(f.Text(C::kClockLimitId), "max: 8.000 MHz");
    f.Select(C::kClockDivideId, 2);
    EXPECT_EQ(f.Text(C::kClockId), "8 MHz");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    EXPECT_EQ(f.Text(C::kClockLimitId), "should be < 8 MHz");
    // Low power halves the limit.
    f.Click(C::kLowPowerId);
    EXPECT_EQ(f.Text(C::kClockLimitId), "max: 4.000 MHz");
    EXPECT_TRUE(f.host.Warns(C::kClockLimitId));
    f.Select(C::kInputClockId, 1);
    EXPECT_EQ(f.Text(C::kClockId), "4 MHz");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    EXPECT_EQ(f.Text(C::kClockLimitId), "should be < 4 MHz");
    f.Select(C::kInputClockId, 2);
    EXPECT_EQ(f.Text(C::kClockId), "1 MHz");
    f.Select(C::kInputClockId, 3);
    EXPECT_EQ(f.Text(C::kClockId), "500 kHz");
    f.Click(C::kLowPowerId);
    EXPECT_EQ(f.Text(C::kClockId), "0.825 MHz");
}

TEST(CpmADC_FamA, ConversionTime) {
    CFixture f(20.0f);
    f.Select(C::kClockDivideId, 2); // 5 MHz
    // 8-bit: 20 converter cycles and 5 bus cycles.
    EXPECT_EQ(f.adc->ConversionCycles(), 20);
    EXPECT_EQ(f.Text(C::kConversionTimeId), "4.25 us");
    f.Select(C::kResolutionId, 2);
    EXPECT_EQ(f.adc->ConversionCycles(), 23);
    EXPECT_EQ(f.Text(C::kConversionTimeId), "4.85 us");
    f.Click(C::kLongSampleId);
    EXPECT_EQ(f.adc->ConversionCycles(), 43);
    EXPECT_EQ(f.Text(C::kConversionTimeId), "8.85 us");
    // The reserved resolution code counts as the longer conversion and selects nothing.
    f.adc->Item(C::kCfgItem).dwValue = (2u << 5) | (3u << 2);
    f.adc->RefreshControls();
    EXPECT_EQ(f.Control(C::kResolutionId).Selection(), -1);
    EXPECT_EQ(f.adc->ConversionCycles(), 23);
}

TEST(CpmADC_FamA, WithoutAClockModuleNothingIsKnownButTheOwnClock) {
    CFixture f(0.0f);
    f.adc->Recalculate();
    EXPECT_EQ(f.Text(C::kClockId), "??");
    EXPECT_EQ(f.Text(C::kConversionTimeId), "??");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    // The alternate clock is the crystal of the clock module: unknown too.
    f.Select(C::kInputClockId, 2);
    EXPECT_EQ(f.Text(C::kClockId), "??");
    // The asynchronous clock runs on its own; the conversion still starts on the bus clock.
    f.Select(C::kInputClockId, 3);
    EXPECT_EQ(f.Text(C::kClockId), "3.3 MHz");
    EXPECT_EQ(f.Text(C::kConversionTimeId), "??");
}

TEST(CpmADC_FamA, PublishesInputClockAndDivisor) {
    CFixture f(32.0f);
    f.Select(C::kClockDivideId, 3);
    f.Select(C::kInputClockId, 1);
    EXPECT_FLOAT_EQ(hwc::SarConverterInputClock(*f.adc, "ADC_0"), 16.0f);
    EXPECT_EQ(hwc::SarConverterDivisorField(*f.adc, "ADC_0", -1), 3);
    // Absent converters, and modules of another kind, give the absent answers.
    EXPECT_EQ(hwc::SarConverterInputClock(*f.adc, "ADC_1"), 0.0f);
    EXPECT_EQ(hwc::SarConverterDivisorField(*f.adc, "ADC_1", -1), -1);
    EXPECT_EQ(hwc::SarConverterDivisorField(*f.adc, "OCCS", -7), -7);
}

TEST(CpmADC_FamA, LoadsAndWritesItsOwnDefines) {
    CAppcfgFile header;
    Define(header, "ADC_0_ADCSC1A_INIT", "0x0041");
    Define(header, "ADC_0_ADCCFG_INIT", "0x0098");
    Define(header, "ADC_1_ADCCFG_INIT", "0x0060");
    CHost host;
    C& adc = host.Add<C>("ADC_0", "ADC_FamA");
    host.BindAll();
    EXPECT_TRUE(adc.LoadFromHeader(&header));
    EXPECT_EQ(adc.Item(C::kSc1aItem).dwValue, 0x41u);
    EXPECT_EQ(adc.Item(C::kCfgItem).dwValue, 0x98u);
    std::string text;
    ASSERT_TRUE(adc.WriteHeaderText(text));
    EXPECT_NE(text.find("ADC_0_ADCCFG_INIT"), std::string::npos) << text;
    EXPECT_EQ(text.find("ADC_1_"), std::string::npos) << text;
    EXPECT_EQ(text.find("ADC_0_ADCSC1B_INIT"), std::string::npos) << text;
}

TEST(CpmADC_FamA, UnwrittenConverterRaisesNoClockWarning) {
    CFixture f(32.0f);
    f.adc->Recalculate();
    EXPECT_TRUE(f.host.Warns(C::kClockLimitId));
    f.adc->SetSelected(false);
    f.adc->Recalculate();
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    EXPECT_EQ(f.Text(C::kClockLimitId), "should be < 8 MHz");
    EXPECT_EQ(f.Text(C::kClockId), "32 MHz");
}
